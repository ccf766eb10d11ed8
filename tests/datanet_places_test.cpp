// Completing the data places: kind and constant from the transitions, and
// the widths that sweeps over the place list would give.
#include <gtest/gtest.h>

#include <random>

#include "datanet_builder.hpp"
#include "map/data_places.hpp"

namespace syn::test {
namespace {

TEST(DatanetPlaces, LastTransitionInListOrderDecidesKindAndConstant) {
  DataNetBuilder b;
  b.line("t2", "k", 'o', 'd', "C", 9);
  b.line("t1", "k", 'i', 'd', "R");
  b.line("t3", "m", 'o', 'd', "R");
  b.line("t3", "m", 'i', 'c');
  Design d = b.build();
  complete_data_places(d);
  // t2 comes after t1 in list order, so its output record decides.
  EXPECT_EQ(d.DNP.find("k")->type_term, "C");
  EXPECT_EQ(d.DNP.find("k")->initial_value, 9);
  EXPECT_EQ(d.DNP.find("k")->type_c_d, "d");
  // Within one transition the input record wins over the output record.
  EXPECT_EQ(d.DNP.find("m")->type_c_d, "c");
  EXPECT_EQ(d.DNP.find("m")->type_term, "");
}

TEST(DatanetPlaces, WidthsComeFromProducersInputsFirst) {
  // p is written by t1 (inputs a:4, b:6) and read by t2 (output c:8).
  DataNetBuilder b;
  b.widths = {{"a", 4}, {"b", 6}, {"c", 8}};
  b.line("t1", "b", 'i', 'd').line("t1", "a", 'i', 'd').line("t1", "p", 'o', 'd');
  b.line("t2", "p", 'i', 'd').line("t2", "c", 'o', 'd');
  Design d = b.build();
  const TransitionPlaces places = complete_data_places(d);
  EXPECT_TRUE(propagate_widths(d, places).empty());
  EXPECT_EQ(d.DNP.find("p")->data_size, 4);  // first in t1's input list: a
}

TEST(DatanetPlaces, ConsumersOutputsBeforeTheirInputs) {
  DataNetBuilder b;
  b.widths = {{"a", 3}, {"z", 5}};
  b.line("t1", "a", 'i', 'd').line("t1", "p", 'i', 'd').line("t1", "z", 'o', 'd');
  Design d = b.build();
  const TransitionPlaces places = complete_data_places(d);
  EXPECT_TRUE(propagate_widths(d, places).empty());
  EXPECT_EQ(d.DNP.find("p")->data_size, 5);
}

TEST(DatanetPlaces, WidthOnlyArrivesInALaterSweep) {
  // Chain r(8) -> t3 -> c -> t2 -> b -> t1 -> a: a and b come before c in
  // list order, so a sweep gives c, the next b, the last a.
  DataNetBuilder b;
  b.widths = {{"r", 8}};
  b.line("t3", "r", 'i', 'd').line("t3", "c", 'o', 'd');
  b.line("t2", "c", 'i', 'd').line("t2", "b", 'o', 'd');
  b.line("t1", "b", 'i', 'd').line("t1", "a", 'o', 'd');
  Design d = b.build();
  const TransitionPlaces places = complete_data_places(d);
  EXPECT_TRUE(propagate_widths(d, places).empty());
  EXPECT_EQ(d.DNP.find("a")->data_size, 8);
  EXPECT_EQ(d.DNP.find("b")->data_size, 8);
  EXPECT_EQ(d.DNP.find("c")->data_size, 8);
}

// t1 reads q and s (9) and writes `out`; q gets 2 from u through t2.
int width_after_t1(const std::string& out) {
  DataNetBuilder b;
  b.widths = {{"u", 2}, {"s", 9}};
  b.line("t1", "q", 'i', 'd').line("t1", "s", 'i', 'd').line("t1", out, 'o', 'd');
  b.line("t2", "u", 'i', 'd').line("t2", "q", 'o', 'd');
  Design d = b.build();
  const TransitionPlaces places = complete_data_places(d);
  EXPECT_TRUE(propagate_widths(d, places).empty());
  EXPECT_EQ(d.DNP.find("q")->data_size, 2);
  return d.DNP.find(out)->data_size;
}

TEST(DatanetPlaces, WidthsGivenEarlierInTheSameSweepCount) {
  // r stands after q: when the sweep reaches r, q already has 2, and q comes
  // first in t1's inputs.
  EXPECT_EQ(width_after_t1("r"), 2);
  // a stands before q: the sweep reaches a while q has none yet, so a takes
  // s's 9.
  EXPECT_EQ(width_after_t1("a"), 9);
}

TEST(DatanetPlaces, APlaceWaitsForTheSweepThatReachesItAfterItsNeighbour) {
  // m is written by t1 from a and n. n gets 5 in sweep 1, but after m was
  // visited; a gets 3 only in sweep 2, before m is visited again. So m takes
  // a's 3, the first of its neighbours in that second visit.
  DataNetBuilder b;
  b.widths = {{"x", 5}, {"z", 3}};
  b.line("t1", "a", 'i', 'd').line("t1", "n", 'i', 'd').line("t1", "m", 'o', 'd');
  b.line("ta", "y", 'i', 'd').line("ta", "a", 'o', 'd');
  b.line("tn", "x", 'i', 'd').line("tn", "n", 'o', 'd');
  b.line("ty", "z", 'i', 'd').line("ty", "y", 'o', 'd');
  Design d = b.build();
  const TransitionPlaces places = complete_data_places(d);
  EXPECT_TRUE(propagate_widths(d, places).empty());
  EXPECT_EQ(d.DNP.find("n")->data_size, 5);
  EXPECT_EQ(d.DNP.find("a")->data_size, 3);
  EXPECT_EQ(d.DNP.find("m")->data_size, 3);
}

TEST(DatanetPlaces, PlacesThatNeverGetAWidthAreReturnedAndSweepsStop) {
  DataNetBuilder b;
  b.line("t1", "b", 'i', 'd').line("t1", "a", 'o', 'd');
  b.line("t1", "go", 'i', 'c');
  Design d = b.build();
  const TransitionPlaces places = complete_data_places(d);
  EXPECT_EQ(propagate_widths(d, places), (std::vector<std::string>{"a", "b"}));
  Design again = b.build();
  Mapped m = map_data(again);
  EXPECT_NE(m.diagnostics.find("warning: data places without a width: a, b"), std::string::npos);
}

// The sweeps exactly as the rule states them, for comparison.
void literal_sweeps(Design& d) {
  auto width_of = [&d](const std::string& name) {
    const DNP_node* r = d.DNP.find(name);
    return r == nullptr ? 0 : r->data_size;
  };
  bool progress = true;
  while (progress) {
    progress = false;
    for (DNP_node& p : d.DNP.items) {
      if (p.type_c_d != "d" || p.data_size != 0) continue;
      int found = 0;
      for (const std::string& producer : p.in_link) {
        for (const DN_place_node& q : d.DNT.find(producer)->in_link) {
          if (found == 0) found = width_of(q.name);
        }
      }
      for (const std::string& consumer : p.out_link) {
        for (const DN_place_node& q : d.DNT.find(consumer)->out_link) {
          if (found == 0) found = width_of(q.name);
        }
        for (const DN_place_node& q : d.DNT.find(consumer)->in_link) {
          if (found == 0) found = width_of(q.name);
        }
      }
      if (found != 0) {
        p.data_size = found;
        progress = true;
      }
    }
  }
}

TEST(DatanetPlaces, SameWidthsAsLiteralSweepsOnRandomNets) {
  std::mt19937 random(12345);
  for (int round = 0; round < 2000; ++round) {
    DataNetBuilder b;
    const int places = 2 + static_cast<int>(random() % 10);
    const int transitions = 1 + static_cast<int>(random() % 8);
    const int arcs = static_cast<int>(random() % 30);
    for (int i = 0; i < places; ++i) {
      if (random() % 4 == 0)
        b.widths["p" + std::to_string(i)] = 1 + static_cast<int>(random() % 16);
    }
    for (int i = 0; i < arcs; ++i) {
      b.line("t" + std::to_string(random() % transitions), "p" + std::to_string(random() % places),
             random() % 2 ? 'i' : 'o', random() % 5 ? 'd' : 'c');
    }
    Design expected = b.build();
    Design actual = b.build();
    complete_data_places(expected);
    const TransitionPlaces positions = complete_data_places(actual);
    literal_sweeps(expected);
    propagate_widths(actual, positions);
    for (std::size_t i = 0; i < expected.DNP.items.size(); ++i) {
      ASSERT_EQ(actual.DNP.items[i].data_size, expected.DNP.items[i].data_size)
          << "round " << round << " place " << expected.DNP.items[i].name;
    }
  }
}

TEST(DatanetPlaces, LongChainAgainstListOrderResolvesEveryPlace) {
  // 20000 places whose width flows from the last to the first in list order:
  // one place per sweep, so repeated sweeps would take 20000 passes.
  DataNetBuilder b;
  const int n = 20000;
  auto name = [](int i) {
    std::string s = std::to_string(i);
    return "p" + std::string(6 - s.size(), '0') + s;
  };
  b.widths[name(n)] = 7;
  for (int i = 0; i < n; ++i) {
    const std::string t = "t" + name(i);
    b.line(t, name(i + 1), 'i', 'd').line(t, name(i), 'o', 'd');
  }
  Design d = b.build();
  const TransitionPlaces places = complete_data_places(d);
  EXPECT_TRUE(propagate_widths(d, places).empty());
  EXPECT_EQ(d.DNP.find(name(0))->data_size, 7);
}

}  // namespace
}  // namespace syn::test
