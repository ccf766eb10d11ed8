// Comparisons: the comparator cell, its operands by order, the gates of the
// two-way and three-way branches, the texts printed, and the refusals.
#include <gtest/gtest.h>

#include "datanet_builder.hpp"

namespace syn::test {
namespace {

const std::vector<std::string> operands_ab8 = {"a[7:0]", "a_bar[7:0]", "b[7:0]", "b_bar[7:0]"};

std::string comparator(int instance, const std::string& t, std::vector<std::string> operands,
                       const std::string& request, int width = 8) {
  operands.insert(operands.end(), {request, t + "_great", t + "_equal", t + "_less"});
  return cell("comp_" + std::to_string(width), instance, operands);
}

// cmp7 compares a (first) with b (second), both of width 8, started by go;
// `outputs` are its output control places with their relations, in file order.
DataNetBuilder cmp7(const std::vector<std::pair<std::string, std::string>>& outputs) {
  DataNetBuilder b;
  b.local_places = {"go"};
  b.widths = {{"a", 8}, {"b", 8}};
  for (const auto& [place, relation] : outputs) {
    b.local_places.insert(place);
    b.line("cmp7", place, 'o', 'c', "", 0, relation);
  }
  b.line("cmp7", "a", 'i', 'd').line("cmp7", "b", 'i', 'd').line("cmp7", "go", 'i', 'c');
  return b;
}

TEST(DatanetComparator, GreaterOrEqualOnOnePlaceAndItsComplementOnTheOther) {
  Design d = cmp7({{"k1", ">="}, {"k2", ""}}).build();
  Mapped m = map_data(d);
  EXPECT_EQ(m.netlist, comparator(1, "cmp7", operands_ab8, "go") +
                           cell("OR2", 2, {"cmp7_great", "cmp7_equal", "k1"}) +
                           cell("buff", 3, {"cmp7_less", "k2"}));
  EXPECT_EQ(m.console, "D");
  EXPECT_EQ(m.diagnostics, "syn-tool: warning: data transition cmp7: control input place go is produced by no transition of any net, so its request never comes\n");
  EXPECT_EQ(m.data_size, 8);
}

TEST(DatanetComparator, LessOrEqualTakesLessAndEqual) {
  // The relation stands on the second place in list order here.
  Design d = cmp7({{"k2", "<="}, {"k1", ""}}).build();
  Mapped m = map_data(d);
  EXPECT_EQ(m.netlist, comparator(1, "cmp7", operands_ab8, "go") +
                           cell("OR2", 2, {"cmp7_less", "cmp7_equal", "k2"}) +
                           cell("buff", 3, {"cmp7_great", "k1"}));
}

TEST(DatanetComparator, OperandsTakeTheirSlotsByOrderNotByName) {
  DataNetBuilder b;
  b.local_places = {"go", "k1", "k2"};
  b.widths = {{"a", 2}, {"b", 2}};
  b.line("cmp1", "k1", 'o', 'c', "", 0, ">");
  b.line("cmp1", "b", 'i', 'd').line("cmp1", "a", 'i', 'd').line("cmp1", "go", 'i', 'c');
  b.line("cmp1", "k2", 'o', 'c', "", 0, "<");
  Design d = b.build();
  Mapped m = map_data(d);
  EXPECT_EQ(m.netlist,
            comparator(1, "cmp1", {"b[1:0]", "b_bar[1:0]", "a[1:0]", "a_bar[1:0]"}, "go", 2) +
                cell("buff", 2, {"cmp1_great", "k1"}) + cell("buff", 3, {"cmp1_less", "k2"}));
}

TEST(DatanetComparator, ConstantOperandHasItsDriversFirst) {
  DataNetBuilder b;
  b.local_places = {"go", "k1", "k2"};
  b.widths = {{"a", 2}};
  b.line("cmp7", "k1", 'o', 'c', "", 0, "!=").line("cmp7", "k2", 'o', 'c', "", 0, "=");
  b.line("cmp7", "a", 'i', 'd').line("cmp7", "n", 'i', 'd', "C", 2).line("cmp7", "go", 'i', 'c');
  Design d = b.build();
  Mapped m = map_data(d);
  EXPECT_EQ(m.netlist,
            cell("buff", 1, {"DCasyncValue1", "n[1]"}) +
                cell("buff", 2, {"DCasyncValue0", "n_bar[1]"}) +
                cell("buff", 3, {"DCasyncValue0", "n[0]"}) +
                cell("buff", 4, {"DCasyncValue1", "n_bar[0]"}) +
                comparator(5, "cmp7", {"a[1:0]", "a_bar[1:0]", "n[1:0]", "n_bar[1:0]"}, "go", 2) +
                cell("OR2", 6, {"cmp7_great", "cmp7_less", "k1"}) +
                cell("buff", 7, {"cmp7_equal", "k2"}));
}

TEST(DatanetComparator, ThreeWayBranchGivesTheRemainingOutputToThePlaceWithoutRelation) {
  Design d = cmp7({{"x1", ">"}, {"x2", ""}, {"x3", "<"}}).build();
  Mapped m = map_data(d);
  EXPECT_EQ(m.netlist,
            comparator(1, "cmp7", operands_ab8, "go") + cell("buff", 2, {"cmp7_great", "x1"}) +
                cell("buff", 3, {"cmp7_less", "x3"}) + cell("buff", 4, {"cmp7_equal", "x2"}));

  Design e = cmp7({{"x1", "="}, {"x2", "<"}, {"x3", ""}}).build();
  Mapped n = map_data(e);
  EXPECT_EQ(n.netlist,
            comparator(1, "cmp7", operands_ab8, "go") + cell("buff", 2, {"cmp7_equal", "x1"}) +
                cell("buff", 3, {"cmp7_less", "x2"}) + cell("buff", 4, {"cmp7_great", "x3"}));
}

TEST(DatanetComparator, OutputNetsFollowThePlaceListClassification) {
  // p is a place of both control nets: the transition's own record calls it
  // local, the place list global. The comparator drives cmp7_p, the name the
  // global control cell expects; the local place q keeps its name.
  DataNetBuilder b = cmp7({{"p", ">="}, {"q", ""}});
  b.global_places = {"p"};
  Design d = b.build();
  ASSERT_EQ(d.DNT.find("cmp7")->out_link.front().from_to_inter, "LNP");
  ASSERT_EQ(d.DNP.find("p")->from_to_inter, "GNP");
  Mapped m = map_data(d);
  EXPECT_EQ(m.netlist, comparator(1, "cmp7", operands_ab8, "go") +
                           cell("OR2", 2, {"cmp7_great", "cmp7_equal", "cmp7_p"}) +
                           cell("buff", 3, {"cmp7_less", "q"}));
}

TEST(DatanetComparator, SeveralControlInputsAreJoinedIntoTheRequest) {
  DataNetBuilder b = cmp7({{"k1", ">="}, {"k2", ""}});
  b.local_places.insert("go2");
  b.line("cmp7", "go2", 'i', 'c');
  Design d = b.build();
  Mapped m = map_data(d);
  EXPECT_EQ(m.netlist, cell("c2", 1, {"go_go2", "go", "go2"}) +
                           comparator(2, "cmp7", operands_ab8, "go_go2") +
                           cell("OR2", 3, {"cmp7_great", "cmp7_equal", "k1"}) +
                           cell("buff", 4, {"cmp7_less", "k2"}));
}

TEST(DatanetComparator, OneOrFourOutputPlacesGetOnlyTheComparator) {
  Design one = cmp7({{"k1", ">"}}).build();
  Mapped m1 = map_data(one);
  EXPECT_EQ(m1.netlist, comparator(1, "cmp7", operands_ab8, "go"));
  EXPECT_FALSE(m1.problems);

  Design four = cmp7({{"k1", ">"}, {"k2", "<"}, {"k3", "="}, {"k4", ""}}).build();
  Mapped m4 = map_data(four);
  EXPECT_EQ(m4.netlist, comparator(1, "cmp7", operands_ab8, "go"));
}

TEST(DatanetComparator, NameWithoutCmpPrintsTheFourLinesAndTheRunGoesOn) {
  DataNetBuilder b = cmp7({{"k1", ">="}, {"k2", ""}});
  b.local_places.insert({"c", "k"});
  b.line("z", "a", 'i', 'd')
      .line("z", "b", 'o', 'd')
      .line("z", "c", 'i', 'c')
      .line("z", "k", 'o', 'c');
  b.line("less1", "k1", 'o', 'c', "", 0, ">=").line("less1", "k2", 'o', 'c');
  b.line("less1", "a", 'i', 'd').line("less1", "b", 'i', 'd').line("less1", "go", 'i', 'c');
  Design d = b.build();
  Mapped m = map_data(d);
  EXPECT_EQ(m.console,
            "DD"
            "The advanced-quorvel tool has not been fully developed\n"
            "This bug is caused by adding other kinds of components\n"
            "that the supplied library does not have.\n"
            "Please report it to the authors. Thanks\n"
            "D");
  EXPECT_TRUE(m.problems);
  EXPECT_NE(m.diagnostics.find("syn-tool: data transition less1: "), std::string::npos);
  // cmp7 (4 cells), less1 nothing, z (8 latches and its done cell).
  EXPECT_EQ(m.netlist.find("less1"), std::string::npos);
  EXPECT_NE(m.netlist.find("done_8          12\n"), std::string::npos);
}

TEST(DatanetComparator, TwoWayBranchWithoutRelationsSaysTheFormatIsWrong) {
  DataNetBuilder b;
  b.local_places = {"go", "k1", "k2"};
  b.widths = {{"a", 8}, {"b", 8}};
  // The relation on the first line, a data line, makes it a comparison, but
  // no control place carries one.
  b.line("cmp7", "a", 'i', 'd', "", 0, ">=")
      .line("cmp7", "b", 'i', 'd')
      .line("cmp7", "go", 'i', 'c');
  b.line("cmp7", "k1", 'o', 'c').line("cmp7", "k2", 'o', 'c');
  Design d = b.build();
  Mapped m = map_data(d);
  EXPECT_EQ(m.console, "DDatapath net format is not correct\n");
  EXPECT_EQ(m.netlist, comparator(1, "cmp7", operands_ab8, "go"));
  EXPECT_TRUE(m.problems);
  EXPECT_NE(m.diagnostics.find("data transition cmp7: "), std::string::npos);
}

void expect_only_comparator_and_problem(const DataNetBuilder& b, const std::string& message) {
  Design d = b.build();
  Mapped m = map_data(d);
  EXPECT_EQ(m.netlist, comparator(1, "cmp7", operands_ab8, "go"));
  EXPECT_EQ(m.console, "D");
  EXPECT_TRUE(m.problems);
  EXPECT_NE(m.diagnostics.find(message), std::string::npos) << m.diagnostics;
}

TEST(DatanetComparator, UnsupportedBranchesDriveNothingAndAreReported) {
  expect_only_comparator_and_problem(cmp7({{"k1", ">"}, {"k2", ""}}),
                                     "data transition cmp7: a two-way branch with the single "
                                     "relation \">\" on place k1 is not supported");
  expect_only_comparator_and_problem(
      cmp7({{"k1", "<"}, {"k2", "<"}, {"k3", ""}}),
      "data transition cmp7: a three-way branch needs two different");
  expect_only_comparator_and_problem(
      cmp7({{"k1", ">="}, {"k2", "<"}, {"k3", ""}}),
      "data transition cmp7: a three-way branch needs two different");
  expect_only_comparator_and_problem(
      cmp7({{"k1", ">"}, {"k2", "<"}, {"k3", "="}}),
      "data transition cmp7: a three-way branch needs two different");
}

TEST(DatanetComparator, TwoRelationsOneOfWhichNamesNoOutput) {
  Design d = cmp7({{"k1", "=>"}, {"k2", "="}}).build();
  Mapped m = map_data(d);
  EXPECT_EQ(m.netlist,
            comparator(1, "cmp7", operands_ab8, "go") + cell("buff", 2, {"cmp7_equal", "k2"}));
  EXPECT_TRUE(m.problems);
  EXPECT_NE(m.diagnostics.find("the relation \"=>\" on place k1 names no comparator output"),
            std::string::npos);
}

void expect_refused(const DataNetBuilder& b, const std::string& message, int data_size = 0) {
  Design d = b.build();
  Mapped m = map_data(d, data_size);
  EXPECT_EQ(m.netlist, "");
  EXPECT_EQ(m.console, "D");
  EXPECT_TRUE(m.problems);
  EXPECT_NE(m.diagnostics.find(message), std::string::npos) << m.diagnostics;
}

TEST(DatanetComparator, RefusedWithoutTwoOperandsAWidthOrARequest) {
  DataNetBuilder one_operand;
  one_operand.local_places = {"go", "h", "k1", "k2"};
  one_operand.widths = {{"a", 8}};
  one_operand.line("cmp7", "k1", 'o', 'c', "", 0, ">=").line("cmp7", "k2", 'o', 'c');
  one_operand.line("cmp7", "a", 'i', 'd').line("cmp7", "go", 'i', 'c').line("cmp7", "h", 'i', 'c');
  expect_refused(
      one_operand,
      "syn-tool: data transition cmp7: a comparison needs two data input places, it has 1;"
      " nothing mapped");

  DataNetBuilder three = cmp7({{"k1", ">="}, {"k2", ""}});
  three.line("cmp7", "c", 'i', 'd');
  expect_refused(three, "data transition cmp7: a comparison needs two data input places, it has 3");

  DataNetBuilder no_width = cmp7({{"k1", ">="}, {"k2", ""}});
  no_width.widths.clear();
  expect_refused(no_width,
                 "data transition cmp7: no width known for the operands of the comparison");

  DataNetBuilder no_request;
  no_request.local_places = {"k1", "k2"};
  no_request.widths = {{"a", 8}, {"b", 8}};
  no_request.line("cmp7", "k1", 'o', 'c', "", 0, ">=").line("cmp7", "k2", 'o', 'c');
  no_request.line("cmp7", "a", 'i', 'd').line("cmp7", "b", 'i', 'd');
  expect_refused(no_request, "data transition cmp7: a comparison needs a control input place");
}

TEST(DatanetComparator, WidthLeftBehindServesOperandsWithoutOne) {
  DataNetBuilder b = cmp7({{"k1", ">="}, {"k2", ""}});
  b.widths.clear();
  Design d = b.build();
  Mapped m = map_data(d, 3);
  EXPECT_EQ(m.netlist.substr(0, m.netlist.find("OR2")),
            comparator(1, "cmp7", {"a[2:0]", "a_bar[2:0]", "b[2:0]", "b_bar[2:0]"}, "go", 3));
  EXPECT_FALSE(m.problems);
}

}  // namespace
}  // namespace syn::test
