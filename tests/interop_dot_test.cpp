// The Graphviz picture of a design, checked line by line on a design built
// in code, and rendered by the real program when it is installed.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "interop_support.hpp"
#include "netlist/write_dot.hpp"

namespace syn {
namespace {

namespace fs = std::filesystem;

// Global transition G1 passes its token through place s to the local net;
// L1 starts transfer t1 through q; t1 moves x to y and reports on k.
Design small_design() {
  Design design;
  GNT_node g;
  g.name = "G1";
  g.in_link = {{"gp", "GNP"}};
  g.out_link = {{"s", "LNP"}};
  design.GNT.items = {g};
  design.GNT.reindex();
  LNT_node l;
  l.name = "L1";
  l.in_link = {{"s"}};
  l.out_link = {{"q"}};
  design.LNT.items = {l};
  design.LNT.reindex();
  DNT_node t;
  t.name = "t1";
  DN_place_node x{"x", "R", "d", 0, "", "", 1};
  DN_place_node q{"q", "", "c", 0, "LNP", "", 0};
  DN_place_node k{"k", "", "c", 0, "LNP", "", 0};
  DN_place_node y{"y", "R", "d", 0, "", "", 1};
  DN_place_node w{"w\"\\1", "R", "d", 0, "", "", 2};  // width not known
  t.in_link = {q, x};
  t.out_link = {k, w, y};
  design.DNT.items = {t};
  design.DNT.reindex();
  DNP_node px;
  px.name = "x";
  px.data_size = 8;
  DNP_node py;
  py.name = "y";
  py.data_size = 1;
  design.DNP.items = {px, py};
  design.DNP.reindex();
  return design;
}

TEST(DotPicture, NetsInTheirColoursSharedPlacesMarkedDataWidthsShown) {
  std::ostringstream out;
  write_dot(small_design(), "small", out);
  const std::string blue = "\"#1f5fbf\"", green = "\"#2e8b57\"", orange = "\"#c0561b\"";
  EXPECT_EQ(out.str(),
            "digraph \"small\" {\n"
            "  rankdir=LR;\n"
            "  graph [fontname=\"Helvetica\", fontsize=10];\n"
            "  node [fontname=\"Helvetica\", fontsize=11];\n"
            "  edge [arrowsize=0.7];\n"
            "  labelloc=b;\n"
            "  label=\"blue: global control net   green: local control net   orange: data net   "
            "grey double circles: places shared by nets\";\n"
            "  g0 [shape=box, color=" + blue + ", fontcolor=" + blue + ", label=\"G1\"];\n"
            "  l0 [shape=box, color=" + green + ", fontcolor=" + green + ", label=\"L1\"];\n"
            "  d0 [shape=box, color=" + orange + ", fontcolor=" + orange + ", label=\"t1\"];\n"
            "  p0 [shape=circle, color=" + blue + ", label=\"gp\"];\n"
            "  p1 [shape=doublecircle, style=filled, fillcolor=\"#e6e6e6\", color=\"#333333\", "
            "label=\"s\\n(global + local)\"];\n"
            "  p2 [shape=doublecircle, style=filled, fillcolor=\"#e6e6e6\", color=\"#333333\", "
            "label=\"q\\n(local + data)\"];\n"
            "  p3 [shape=circle, color=" + orange + ", label=\"x\\n8 bits\"];\n"
            "  p4 [shape=circle, color=" + orange + ", label=\"k\"];\n"
            "  p5 [shape=circle, color=" + orange + ", label=\"w\\\"\\\\1\\nwidth unknown\"];\n"
            "  p6 [shape=circle, color=" + orange + ", label=\"y\\n1 bit\"];\n"
            "  p0 -> g0 [color=" + blue + "];\n"
            "  g0 -> p1 [color=" + blue + "];\n"
            "  p1 -> l0 [color=" + green + "];\n"
            "  l0 -> p2 [color=" + green + "];\n"
            "  p2 -> d0 [color=" + orange + "];\n"
            "  p3 -> d0 [color=" + orange + "];\n"
            "  d0 -> p4 [color=" + orange + "];\n"
            "  d0 -> p5 [color=" + orange + "];\n"
            "  d0 -> p6 [color=" + orange + "];\n"
            "}\n");
}

TEST(DotPicture, LabelsNeverBreakTheFile) {
  Design design;
  LNT_node l;
  l.name = "a\nb\x01\xC3\xA9\xFF";  // control bytes, good and broken UTF-8
  design.LNT.items = {l};
  std::ostringstream out;
  write_dot(design, "t\"", out);
  EXPECT_NE(out.str().find("digraph \"t\\\"\" {\n"), std::string::npos);
  EXPECT_NE(out.str().find("label=\"a?b?\xC3\xA9?\"];\n"), std::string::npos) << out.str();
}

TEST(DotPicture, RendersWithGraphviz) {
  if (!test::have_program("dot")) {
    GTEST_SKIP() << "dot is not installed: picture not rendered (apt-get install graphviz)";
  }
  char pattern[] = "/tmp/syn-dot-XXXXXX";
  const fs::path dir = mkdtemp(pattern);
  std::ofstream file(dir / "small.dot");
  write_dot(small_design(), "small", file);
  file.close();
  std::string log;
  EXPECT_EQ(test::run_command("dot -Tsvg -o '" + (dir / "small.svg").string() + "' '" +
                                  (dir / "small.dot").string() + "'", log),
            0);
  EXPECT_EQ(log, "");
  const std::string svg = test::slurp(dir / "small.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("</svg>"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace syn
