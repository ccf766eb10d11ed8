// The input mistakes the tool recognises, as the README lists them: each one
// on the bundled transfer example with one table changed, run through the
// built binary, with its exact message, the exit status and whether a
// netlist was written.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status = -1;
  std::string err;
  bool netlist = false;
};

const char* const kDataHeader =
    "Data net\n"
    "Trans     Place     Dir       Kind      Type      Value     Relation\n";
const char* const kTransferLines =
    "t1        x         i         d         V\n"
    "t1        y         o         d         V\n"
    "t1        q         i         c\n"
    "t1        k         o         c\n";
const char* const kLocalHeader =
    "Local control net\n"
    "Trans     Place     Dir\n";

class Catalogue : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/syn-catalogue-XXXXXX";
    dir_ = mkdtemp(pattern);
    for (const char* name : {"io.txt", "global.txt", "local.txt", "data.txt"}) {
      fs::copy_file(fs::path(SYN_EXAMPLES) / "transfer" / name, dir_ / name);
    }
  }
  void TearDown() override { fs::remove_all(dir_); }

  void write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
  }

  Outcome run(const std::string& files = "io.txt global.txt local.txt data.txt") {
    const std::string command = "cd '" + dir_.string() + "' && '" SYN_TOOL_BINARY "' -o out.net " +
                                files + " </dev/null >stdout.txt 2>stderr.txt";
    const int raw = std::system(command.c_str());
    Outcome o;
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::ifstream in(dir_ / "stderr.txt", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    o.err = text.str();
    o.netlist = fs::exists(dir_ / "out.net");
    return o;
  }

  fs::path dir_;
};

std::string undriven(const std::string& t, const std::string& place) {
  return "syn-tool: warning: data transition " + t + ": control input place " + place +
         " is produced by no transition of any net, so its request never comes\n";
}

// ---- errors: exit 1, no netlist -----------------------------------------

TEST_F(Catalogue, MissingAndUnreadableFiles) {
  Outcome o = run("missing.txt global.txt local.txt data.txt");
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "syn-tool: cannot open missing.txt: No such file or directory\n");
  EXPECT_FALSE(o.netlist);

  fs::create_directory(dir_ / "tables");
  o = run("io.txt global.txt tables data.txt");
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "syn-tool: cannot open tables: Is a directory\n");
  EXPECT_FALSE(o.netlist);
}

TEST_F(Catalogue, DataLineWithOneWord) {
  write("data.txt", std::string(kDataHeader) + kTransferLines + "t2\n");
  const Outcome o = run();
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "data.txt:7: data line needs a transition and a place (fewer than two words)\n");
  EXPECT_FALSE(o.netlist);
}

TEST_F(Catalogue, ConstantWithoutItsValue) {
  write("data.txt", std::string(kDataHeader) +
                        "t1        x         i         d         C\n"
                        "t1        y         o         d         V\n"
                        "t1        q         i         c\n"
                        "t1        k         o         c\n");
  const Outcome o = run();
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "data.txt:3: constant without its value (sixth word)\n");
  EXPECT_FALSE(o.netlist);
}

TEST_F(Catalogue, RelationWithoutItsWord) {
  // The relation runs past position 69, so no word ends inside its column.
  write("data.txt", std::string(kDataHeader) + kTransferLines +
                        "t1        k         o         c                             "
                        "greater_or_equal\n");
  const Outcome o = run();
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err,
            "data.txt:7: relation marker at position 60 without a blank-terminated word in "
            "positions 60 to 69\n");
  EXPECT_FALSE(o.netlist);
}

TEST_F(Catalogue, WidthOutOfRange) {
  write("io.txt", "IO\n\n\nreg [8] x\nreg [100000] y\n");
  const Outcome o = run();
  EXPECT_EQ(o.status, 1);
  EXPECT_EQ(o.err, "io.txt:5: width 100000 is out of range (0 to 65536 bits)\n");
  EXPECT_FALSE(o.netlist);

  // A mistyped closing bracket makes the rest of the line the width, read
  // by the digit rule.
  write("io.txt", "IO\n\n\nreg [8] x\nreg [8Y y\n");
  const Outcome lost = run();
  EXPECT_EQ(lost.status, 1);
  EXPECT_EQ(lost.err,
            "io.txt:5: warning: width between the brackets is not a plain number; read as "
            "120092\n"
            "io.txt:5: width 120092 is out of range (0 to 65536 bits)\n");
  EXPECT_FALSE(lost.netlist);
}

TEST_F(Catalogue, DataNetHeaderWithoutItsSeventhTitle) {
  write("data.txt",
        "Data net\n"
        "Trans     Place     Dir       Kind      Type      Value\n" +
            std::string(kTransferLines));
  const Outcome o = run();
  EXPECT_EQ(o.status, 1);
  const std::string marker =
      ": relation marker at position 0 (the header has no 7th title, so every line has one) "
      "without a blank-terminated word in positions 60 to 69\n";
  EXPECT_EQ(o.err,
            "data.txt:2: warning: header has 6 titles; the data net reads the letters under "
            "titles 3, 4, 5 and 7, and a letter whose title is missing is read at position 0\n"
            "data.txt:3" + marker + "data.txt:4" + marker + "data.txt:5" + marker +
            "data.txt:6" + marker);
  EXPECT_FALSE(o.netlist);
}

// ---- warnings: the specified effect -------------------------------------

TEST_F(Catalogue, ShortControlNetHeadersReadMissingLettersAtPositionZero) {
  write("local.txt",
        "Local control net\n"
        "Trans     Place\n"
        "L1        start     i\n"
        "L1        q         o\n"
        "L2        k         i\n"
        "L2        fin       o\n");
  Outcome o = run();
  // The direction is read at position 0, the first letter of "L1": no arcs.
  EXPECT_EQ(o.err.rfind(
                "local.txt:2: warning: header has 2 titles; the local control net reads the "
                "letter under title 3, and a letter whose title is missing is read at "
                "position 0\n"
                "local.txt:3: warning: direction letter 'i' does not stand under the header's "
                "3rd title (position 0); no arc added\n",
                0),
            0u)
      << o.err;
  EXPECT_EQ(o.status, 1);  // local transitions without input places are refused
  EXPECT_FALSE(o.netlist);

  write("global.txt",
        "Global control net\n"
        "Trans     Place     Dir\n"
        "G1        g1        o\n"
        "G1        g2        i\n");
  o = run();
  EXPECT_EQ(o.err.rfind("global.txt:2: warning: header has 3 titles; the global control net "
                        "reads the letters under titles 3 and 5, and a letter whose title is "
                        "missing is read at position 0\n",
                        0),
            0u)
      << o.err;
}

TEST_F(Catalogue, TabCharacters) {
  write("local.txt", std::string(kLocalHeader) +
                         "L1        start     i\n"
                         "L1        q         o\t# starts the transfer\n"
                         "L2        k         i\n"
                         "L2        fin       o\n");
  Outcome o = run();
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err,
            "local.txt:4: warning: tab character: only blanks separate words, and a tab counts "
            "as one character, so the letters after it may not stand under their titles\n");
  EXPECT_TRUE(o.netlist);

  fs::copy_file(fs::path(SYN_EXAMPLES) / "transfer" / "local.txt", dir_ / "local.txt",
                fs::copy_options::overwrite_existing);
  write("io.txt", "IO\n\n\nreg [8] x\nreg [8]\ty\n");
  o = run();
  EXPECT_EQ(o.status, 0);  // y takes the width of x, its neighbour
  EXPECT_EQ(o.err,
            "io.txt:5: warning: tab character: only blanks separate words, so a keyword, width "
            "or name next to a tab is not read as meant\n");
}

TEST_F(Catalogue, ControlCharacterInAName) {
  write("data.txt", std::string(kDataHeader) + "t1        x" + std::string(1, '\0') +
                        "        i         d         V\n"
                        "t1        y         o         d         V\n"
                        "t1        q         i         c\n"
                        "t1        k         o         c\n");
  const Outcome o = run();
  // The place "x" + NUL has no declared width; it takes that of y.
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err,
            "data.txt:3: warning: control character (code 0) in the line; it is read as part of "
            "a word\n");
  EXPECT_TRUE(o.netlist);
}

TEST_F(Catalogue, DirectionLetterOutOfPlace) {
  write("local.txt", std::string(kLocalHeader) +
                         "L1        start     i\n"
                         "L1        q        o\n"
                         "L2        k         i\n"
                         "L2        fin       o\n");
  const Outcome o = run();
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err,
            "local.txt:4: warning: direction letter 'o' does not stand under the header's 3rd "
            "title (position 20); no arc added\n" +
                undriven("t1", "q"));
  EXPECT_TRUE(o.netlist);
}

TEST_F(Catalogue, KindLetterOutOfPlace) {
  write("data.txt", std::string(kDataHeader) +
                        "t1        x         i          d        V\n"
                        "t1        y         o         d         V\n"
                        "t1        q         i         c\n"
                        "t1        k         o         c\n");
  const Outcome o = run();
  // x becomes a control place of the data net: no mapping takes t1.
  EXPECT_EQ(o.status, 3);
  EXPECT_EQ(o.err,
            "data.txt:3: warning: kind letter 'd' does not stand under the header's 4th title "
            "(position 30); read as a control place\n" +
                undriven("t1", "x") +
                "syn-tool: data transition t1: control input place(s) x of the data net but no "
                "control output place of the data net; no mapping takes such a transition, "
                "nothing mapped\n");
  EXPECT_TRUE(o.netlist);
}

TEST_F(Catalogue, LetterTheTableDoesNotKnow) {
  write("data.txt", std::string(kDataHeader) +
                        "t1        x         i         d         V\n"
                        "t1        y         o         d         R\n"
                        "t1        q         i         c\n"
                        "t1        k         o         c\n");
  const Outcome o = run();
  EXPECT_EQ(o.status, 0);  // y takes the width of x and is written like a register
  EXPECT_EQ(o.err,
            "data.txt:4: warning: type letter 'R' is none of I, O, V, C; the place gets no "
            "terminal type\n");
  EXPECT_TRUE(o.netlist);
}

TEST_F(Catalogue, CarriageReturnsBeforeLineEnds) {
  write("io.txt", "IO\r\n\r\n\r\nreg [8] x\r\nreg [8] y\r\n");
  const Outcome o = run();
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err,
            "io.txt:1: warning: carriage return before the line end (CR LF line ends); carriage "
            "returns before line ends are dropped\n");
  EXPECT_TRUE(o.netlist);
  std::ifstream in(dir_ / "out.net");
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "buff          1");  // the local net comes first; x and y keep width 8
}

TEST_F(Catalogue, ControlInputThatNothingProduces) {
  write("local.txt", std::string(kLocalHeader) +
                         "L1        start     i\n"
                         "L1        q         o\n"
                         "L2        k         i\n"
                         "L2        fin       o\n"
                         "L3        go        i\n"
                         "L3        done      o\n");
  write("data.txt", std::string(kDataHeader) +
                        "t1        x         i         d         V\n"
                        "t1        y         o         d         V\n"
                        "t1        go        i         c\n"
                        "t1        k         o         c\n");
  const Outcome o = run();
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, undriven("t1", "go"));
  EXPECT_TRUE(o.netlist);
}

// ---- mapping problems: netlist written, exit 3 --------------------------

TEST_F(Catalogue, DataTransitionThatNoMappingTakes) {
  // Started by a place of the data net (s, made by t0) but finishing into
  // the local net.
  write("data.txt", std::string(kDataHeader) +
                        "t0        q         i         c\n"
                        "t0        s         o         c\n"
                        "t1        x         i         d         V\n"
                        "t1        y         o         d         V\n"
                        "t1        s         i         c\n"
                        "t1        k         o         c\n");
  const Outcome o = run();
  EXPECT_EQ(o.status, 3);
  // t0 has no data to move either, and says so.
  EXPECT_EQ(o.err,
            "syn-tool: data transition t0: transfer finished inside the data net whose data "
            "chain reaches no operation and no register or output fed by several transfers (a "
            "transition on the chain has no data input); nothing mapped\n"
            "syn-tool: data transition t1: control input place(s) s of the data net but no "
            "control output place of the data net; no mapping takes such a transition, nothing "
            "mapped\n");
  EXPECT_TRUE(o.netlist);
}

TEST_F(Catalogue, CycleOfTransfersNamesATransitionOnIt) {
  write("data.txt", std::string(kDataHeader) +
                        "t1        x         i         d         V\n"
                        "t1        a         o         d\n"
                        "t1        q         i         c\n"
                        "t1        c1        o         c\n"
                        "t2        a         i         d\n"
                        "t2        x         o         d\n"
                        "t2        c1        i         c\n"
                        "t2        c2        o         c\n");
  const Outcome o = run();
  EXPECT_EQ(o.status, 3);
  EXPECT_NE(o.err.find("syn-tool: data transition t1: transfer finished inside the data net whose "
                       "data chain reaches no operation and no register or output fed by several "
                       "transfers (the chain breaks off or comes back to itself); nothing "
                       "mapped\n"),
            std::string::npos)
      << o.err;
  EXPECT_TRUE(o.netlist);
}

}  // namespace
