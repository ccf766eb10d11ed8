// The walks along data chains: their codes and ends on small nets, and that
// cycles and long chains end.
#include <gtest/gtest.h>

#include "datapath_builder.hpp"
#include "map/datapath.hpp"

namespace syn::test {
namespace {

struct Walks {
  TraceResult down, up;
};

Walks walk(const Design& d, const std::string& t) {
  const DNT_node& start = *d.DNT.find(t);
  return {trace_down(d, start), trace_up(d, start)};
}

TEST(Tracing, TwoDataInputsAnswerFourAtOnce) {
  Design d = DatapathBuilder()
                 .arc("t", "a", 'i', 'd', "R")
                 .arc("t", "b", 'i', 'd', "R")
                 .arc("t", "c", 'o', 'd', "R")
                 .build();
  const DNT_node& t = *d.DNT.find("t");
  EXPECT_EQ(search_DNT_down(d, t), 4);
  EXPECT_EQ(DNT_terminated_at(d, t), std::nullopt);
}

TEST(Tracing, TransferIntoRegisterEndsThere) {
  Design d = DatapathBuilder().arc("t", "a", 'i', 'd', "R").arc("t", "r", 'o', 'd', "R").build();
  const DNT_node& t = *d.DNT.find("t");
  EXPECT_EQ(search_DNT_down(d, t), 2);
  EXPECT_EQ(DNT_terminated_at(d, t), "r");
}

TEST(Tracing, OutputPortEndsTheChainDownAndInputPortStartsItUp) {
  Design d = DatapathBuilder()
                 .arc("t1", "in1", 'i', 'd', "I")
                 .arc("t1", "m", 'o', 'd')
                 .arc("t2", "m", 'i', 'd')
                 .arc("t2", "out1", 'o', 'd', "O")
                 .build();
  const Walks w = walk(d, "t1");
  EXPECT_EQ(w.down.code, 2);
  EXPECT_EQ(w.down.end, "out1");
  EXPECT_EQ(w.up.code, 5);
  EXPECT_EQ(w.up.end, "in1");
  const Walks w2 = walk(d, "t2");
  EXPECT_EQ(w2.up.code, 5);
  EXPECT_EQ(w2.up.end, "in1");
}

TEST(Tracing, ChainOfTwoTransfersReachesTheOperation) {
  Design d = DatapathBuilder()
                 .arc("t1", "a", 'i', 'd', "R")
                 .arc("t1", "m", 'o', 'd')
                 .arc("t2", "m", 'i', 'd')
                 .arc("t2", "x", 'o', 'd')
                 .arc("op", "x", 'i', 'd')
                 .arc("op", "y", 'i', 'd')
                 .arc("op", "s", 'o', 'd')
                 .arc("t3", "s", 'i', 'd')
                 .arc("t3", "r", 'o', 'd', "R")
                 .function("op")
                 .build();
  const Walks w = walk(d, "t1");
  EXPECT_EQ(w.down.code, 1);
  EXPECT_EQ(w.down.end, "op");
  // Upward from the result transfer: the operation that wrote its input.
  const Walks w3 = walk(d, "t3");
  EXPECT_EQ(w3.up.code, 1);
  EXPECT_EQ(w3.up.end, "op");
  EXPECT_EQ(w3.down.code, 2);
  EXPECT_EQ(w3.down.end, "r");
}

TEST(Tracing, PlaceWithTwoReadersOnTheWayDownForks) {
  Design d = DatapathBuilder()
                 .arc("t1", "a", 'i', 'd', "R")
                 .arc("t1", "m", 'o', 'd')
                 .arc("t2", "m", 'i', 'd')
                 .arc("t2", "r", 'o', 'd', "R")
                 .arc("t3", "m", 'i', 'd')
                 .arc("t3", "s", 'o', 'd', "R")
                 .build();
  const Walks w = walk(d, "t1");
  EXPECT_EQ(w.down.code, 0);
  EXPECT_EQ(w.down.end, std::nullopt);
  EXPECT_EQ(DNT_terminated_at_same(d, *d.DNT.find("t1"), "r"), 2);
}

TEST(Tracing, TwoDataOutputsFork) {
  Design d = DatapathBuilder()
                 .arc("t", "a", 'i', 'd', "R")
                 .arc("t", "r", 'o', 'd', "R")
                 .arc("t", "s", 'o', 'd', "R")
                 .build();
  EXPECT_EQ(search_DNT_down(d, *d.DNT.find("t")), 0);
  EXPECT_EQ(DNT_terminated_at_same(d, *d.DNT.find("t"), "r"), 3);
}

TEST(Tracing, ConstantUpstream) {
  Design d = DatapathBuilder().arc("t", "k", 'i', 'd', "C", 5).arc("t", "r", 'o', 'd', "R").build();
  const Walks w = walk(d, "t");
  EXPECT_EQ(w.up.code, 3);
  ASSERT_TRUE(w.up.end);
  EXPECT_EQ(d.DNP.find(*w.up.end)->initial_value, 5);
}

TEST(Tracing, RegisterWrittenTwiceIsAMergeUpward) {
  Design d = DatapathBuilder()
                 .arc("t1", "a", 'i', 'd', "R")
                 .arc("t1", "r", 'o', 'd', "R")
                 .arc("t2", "b", 'i', 'd', "R")
                 .arc("t2", "r", 'o', 'd', "R")
                 .arc("t3", "r", 'i', 'd', "R")
                 .arc("t3", "s", 'o', 'd', "R")
                 .build();
  const Walks w = walk(d, "t3");
  EXPECT_EQ(w.up.code, 0);
  EXPECT_EQ(w.up.end, std::nullopt);
}

TEST(Tracing, ControlReaderOfADataPlaceIsFollowedWhenItSortsFirst) {
  // m is read as data by t_z and named as a control input by t_a: one data
  // reader, and the walk continues to t_a, the first in the place's list.
  Design d = DatapathBuilder()
                 .arc("t1", "a", 'i', 'd', "R")
                 .arc("t1", "m", 'o', 'd')
                 .arc("t_z", "m", 'i', 'd')
                 .arc("t_z", "r", 'o', 'd', "R")
                 .arc("t_a", "m", 'i', 'c')
                 .arc("t_a", "b", 'i', 'd', "R")
                 .arc("t_a", "s", 'o', 'd', "R")
                 .build();
  EXPECT_EQ(d.DNP.find("m")->datapath_num_out, 1);
  const Walks w = walk(d, "t1");
  EXPECT_EQ(w.down.code, 2);
  EXPECT_EQ(w.down.end, "s");
}

TEST(Tracing, TerminatedAtSameWalksThroughOperations) {
  Design d = DatapathBuilder()
                 .arc("mul1", "x", 'i', 'd', "R")
                 .arc("mul1", "y", 'i', 'd', "R")
                 .arc("mul1", "p", 'o', 'd')
                 .arc("t", "p", 'i', 'd')
                 .arc("t", "x", 'o', 'd', "R")
                 .function("mul1")
                 .build();
  const DNT_node& mul = *d.DNT.find("mul1");
  EXPECT_EQ(DNT_terminated_at_same(d, mul, "x"), 1);
  EXPECT_EQ(DNT_terminated_at_same(d, mul, "y"), 0);
  // The downstream search from an operation with two inputs stops at once.
  EXPECT_EQ(search_DNT_down(d, mul), 4);
}

TEST(Tracing, TransitionWithoutDataInput) {
  // No data input: the first output place decides, by its readers.
  Design d = DatapathBuilder()
                 .arc("g", "k", 'o', 'c')
                 .arc("op", "k", 'i', 'c')
                 .arc("op", "a", 'i', 'd', "R")
                 .arc("op", "s", 'o', 'd')
                 .function("op")
                 .arc("h", "j", 'o', 'c')
                 .arc("u", "j", 'i', 'c')
                 .arc("v", "j", 'i', 'c')
                 .arc("n", "e", 'o', 'c')
                 .build();
  EXPECT_EQ(walk(d, "g").down.code, 5);
  EXPECT_EQ(walk(d, "g").down.end, "op");
  EXPECT_EQ(walk(d, "h").down.code, 3);
  EXPECT_EQ(walk(d, "h").down.end, std::nullopt);
  EXPECT_EQ(walk(d, "n").down.code, 5);  // no reader at all
  EXPECT_EQ(walk(d, "n").down.end, std::nullopt);
  EXPECT_EQ(walk(d, "g").up.code, 0);  // nothing to walk up from
}

TEST(Tracing, MissingStepsAnswerZero) {
  Design d = DatapathBuilder()
                 // t1 reaches t2, which has a data input and no data output.
                 .arc("t1", "a", 'i', 'd', "R")
                 .arc("t1", "m", 'o', 'd')
                 .arc("t2", "m", 'i', 'd')
                 .arc("t2", "k", 'o', 'c')
                 // u writes a place that nobody reads.
                 .arc("u", "b", 'i', 'd', "R")
                 .arc("u", "n", 'o', 'd')
                 // w reads a place with no type and no writer.
                 .arc("w", "q", 'i', 'd')
                 .arc("w", "s", 'o', 'd', "R")
                 // z has no output place at all.
                 .arc("z", "c", 'i', 'c')
                 .build();
  for (const char* t : {"t1", "u"}) {
    EXPECT_EQ(walk(d, t).down.code, 0) << t;
    EXPECT_EQ(walk(d, t).down.end, std::nullopt) << t;
    EXPECT_EQ(DNT_terminated_at_same(d, *d.DNT.find(t), "a"), 0) << t;
  }
  EXPECT_EQ(walk(d, "w").up.code, 0);
  EXPECT_EQ(walk(d, "w").up.end, std::nullopt);
  EXPECT_EQ(walk(d, "z").down.code, 0);
  EXPECT_EQ(walk(d, "z").up.code, 0);
}

TEST(Tracing, CycleOfPlainTransfersEndsWithNoAnswer) {
  Design d = DatapathBuilder()
                 .arc("t1", "a", 'i', 'd')
                 .arc("t1", "b", 'o', 'd')
                 .arc("t2", "b", 'i', 'd')
                 .arc("t2", "c", 'o', 'd')
                 .arc("t3", "c", 'i', 'd')
                 .arc("t3", "a", 'o', 'd')
                 .build();
  for (const char* t : {"t1", "t2", "t3"}) {
    const Walks w = walk(d, t);
    EXPECT_EQ(w.down.code, 0) << t;
    EXPECT_EQ(w.down.end, std::nullopt) << t;
    EXPECT_EQ(w.up.code, 0) << t;
    EXPECT_EQ(w.up.end, std::nullopt) << t;
    EXPECT_EQ(DNT_terminated_at_same(d, *d.DNT.find(t), "a"), 0) << t;
  }
}

TEST(Tracing, SelfLoopEndsWithNoAnswer) {
  Design d = DatapathBuilder().arc("t", "a", 'i', 'd').arc("t", "a", 'o', 'd').build();
  EXPECT_EQ(walk(d, "t").down.code, 0);
  EXPECT_EQ(walk(d, "t").up.code, 0);
}

TEST(Tracing, VeryLongChainNeedsNoDeepStack) {
  const int length = 50000;
  DatapathBuilder b;
  b.arc("t0", "p0", 'i', 'd', "R");
  for (int i = 0; i < length; ++i) {
    const std::string t = "t" + std::to_string(i);
    const std::string next = "p" + std::to_string(i + 1);
    if (i > 0) b.arc(t, "p" + std::to_string(i), 'i', 'd');
    b.arc(t, next, 'o', 'd', i + 1 == length ? "R" : "");
  }
  Design d = b.build();
  const std::string last = "p" + std::to_string(length);
  EXPECT_EQ(walk(d, "t0").down.end, last);
  EXPECT_EQ(walk(d, "t0").down.code, 2);
  const Walks up = walk(d, "t" + std::to_string(length - 1));
  EXPECT_EQ(up.up.code, 2);
  EXPECT_EQ(up.up.end, "p0");
  EXPECT_EQ(DNT_terminated_at_same(d, *d.DNT.find("t0"), last), 1);
}

}  // namespace
}  // namespace syn::test
