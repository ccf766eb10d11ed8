// Two rules of the data net that a whole run would hide, on nets read from
// their tables. Width propagation is stated as sweeps over the place list
// and computed with a priority queue: both must give every place the same
// width. The walks along data chains remember their answers for later walks
// (map/trace_memo.hpp): walks that share a memo must answer as fresh walks
// do, in whatever order the transitions are asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>

#include "map/data_places.hpp"
#include "map/datapath.hpp"
#include "read/read_design.hpp"

namespace syn::test {
namespace {

// A data net read on its own, with the widths its places start with.
struct Net {
  Symbols symbols;
  Design design;
  std::vector<int> widths;  // by place position
  std::string name(SymbolId id) const { return std::string(symbols.text(id)); }
};

// Reads a data net given as lines "t p dir kind [type [value [relation]]]"
// split by ';' ("-" for an empty column) and gives the places the widths
// "place:width ...".
Net read_net(const std::string& lines, const std::string& widths = "") {
  std::string text = "Data net\nTrans     Place     Dir       Kind      Type      Value     Rel\n";
  std::istringstream in(lines);
  for (std::string line; std::getline(in, line, ';');) {
    std::istringstream words(line);
    for (std::string w; words >> w;) {
      if (w == "-") w.clear();
      text += w + std::string(10 - w.size(), ' ');
    }
    text += "\n";
  }
  Net net;
  Diagnostics diag;
  build_data_net(number_data_net(DataNetText("data.txt", text), net.design, net.symbols, diag),
                 net.design, net.symbols);
  net.widths.assign(net.design.data_places.items.size(), 0);
  std::istringstream given(widths);
  for (std::string w; given >> w;) {
    const std::size_t colon = w.find(':');
    const SymbolId name = net.symbols.find(w.substr(0, colon));
    const std::uint32_t place = net.design.data_places.position(name);
    if (place != kNoPosition) net.widths[place] = std::stoi(w.substr(colon + 1));
  }
  return net;
}

// The sweeps exactly as the rule states them.
void literal_sweeps(Net& net) {
  const Design& d = net.design;
  std::vector<int>& widths = net.widths;
  auto width_of = [&](const DataArc& q) { return widths[q.place]; };
  for (bool progress = true; progress;) {
    progress = false;
    for (std::size_t i = 0; i < d.data_places.items.size(); ++i) {
      const DataPlace& p = d.data_places.items[i];
      if (p.kind != ArcKind::data || widths[i] != 0) continue;
      int found = 0;
      for (const std::uint32_t producer : d.producers_of(p)) {
        for (const DataArc& q : d.inputs_of(d.data_transitions.items[producer]))
          if (found == 0) found = width_of(q);
      }
      for (const std::uint32_t consumer : d.consumers_of(p)) {
        for (const DataArc& q : d.outputs_of(d.data_transitions.items[consumer]))
          if (found == 0) found = width_of(q);
        for (const DataArc& q : d.inputs_of(d.data_transitions.items[consumer]))
          if (found == 0) found = width_of(q);
      }
      progress |= found != 0;
      widths[i] = found;
    }
  }
}

std::string widths_of(const Net& net, const std::vector<int>& widths) {
  std::string text;
  for (std::size_t i = 0; i < net.design.data_places.items.size(); ++i)
    text += net.name(net.design.data_places.items[i].name) + ":" + std::to_string(widths[i]) + " ";
  return text;
}

// A net, the widths it starts with, and the widths the sweeps give.
const char* const kExamples[][3] = {
    // p takes the first width among its producers' inputs (a, first in t1's list) ...
    {"t1 b i d; t1 a i d; t1 p o d; t2 p i d; t2 c o d", "a:4 b:6 c:8", "a:4 b:6 c:8 p:4 "},
    // ... else among its consumers' outputs, then their inputs.
    {"t1 a i d; t1 p i d; t1 z o d", "a:3 z:5", "a:3 p:5 z:5 "},
    // Against list order a width travels one place per sweep.
    {"t3 r i d; t3 c o d; t2 c i d; t2 b o d; t1 b i d; t1 a o d", "r:8", "a:8 b:8 c:8 r:8 "},
    // Widths given earlier in the same sweep count: r, after q, takes q's 2;
    // a, before q, takes s's 9.
    {"t1 q i d; t1 s i d; t1 r o d; t2 u i d; t2 q o d", "u:2 s:9", "q:2 r:2 s:9 u:2 "},
    {"t1 q i d; t1 s i d; t1 a o d; t2 u i d; t2 q o d", "u:2 s:9", "a:9 q:2 s:9 u:2 "},
    // n gets 5 in sweep 1 after m was visited, a gets 3 in sweep 2 before m
    // is visited again: m takes a's 3, the first of its neighbours then.
    {"t1 a i d; t1 n i d; t1 m o d; ta y i d; ta a o d; tn x i d; tn n o d; ty z i d; ty y o d",
     "x:5 z:3", "a:3 m:3 n:5 x:5 y:3 z:3 "},
    // Places that never get a width are returned in list order.
    {"t1 b i d; t1 a o d; t1 go i c", "", "a:0 b:0 go:0 "},
};

TEST(DatanetPlaces, WidthsOfTheSweepsOnSmallNets) {
  for (const auto& [net, widths, expected] : kExamples) {
    const Net d = read_net(net, widths);
    Net swept = read_net(net, widths);
    const PlaceWidths found = propagate_widths(d.design, d.widths);
    literal_sweeps(swept);
    EXPECT_EQ(widths_of(d, found.widths), expected) << net;
    EXPECT_EQ(widths_of(swept, swept.widths), expected) << net;
    std::vector<SymbolId> without;
    for (std::size_t i = 0; i < d.design.data_places.items.size(); ++i) {
      const DataPlace& p = d.design.data_places.items[i];
      if (p.kind == ArcKind::data && found.widths[i] == 0) without.push_back(p.name);
    }
    EXPECT_EQ(found.missing, without) << net;
  }
}

TEST(DatanetPlaces, SameWidthsAsTheSweepsOnRandomNets) {
  std::mt19937 random(12345);
  for (int round = 0; round < 2000; ++round) {
    const unsigned places = 2 + random() % 10, transitions = 1 + random() % 8;
    std::string lines, widths;
    for (unsigned i = 0, arcs = random() % 30; i < arcs; ++i) {
      lines += "t" + std::to_string(random() % transitions) + " p" +
               std::to_string(random() % places) + (random() % 2 ? " i" : " o") +
               (random() % 5 ? " d;" : " c;");
    }
    for (unsigned i = 0; i < places; ++i) {
      if (random() % 4 != 0) continue;
      widths += "p" + std::to_string(i) + ":" + std::to_string(1 + random() % 16) + " ";
    }
    const Net d = read_net(lines, widths);
    Net swept = read_net(lines, widths);
    const PlaceWidths found = propagate_widths(d.design, d.widths);
    literal_sweeps(swept);
    ASSERT_EQ(widths_of(d, found.widths), widths_of(swept, swept.widths))
        << "round " << round << ": " << lines;
  }
}

template <class How>
std::string answer(const Net& net, const WalkResult<How>& r) {
  return std::to_string(static_cast<int>(r.how)) + (r.end ? ":" + net.name(*r.end) : "");
}

// Chains into registers, ports, operations and constants; forks, merges,
// a control reader of a data place, transitions without data input, steps
// that find nothing, a cycle and a self loop.
const char* const kNets[] = {
    "t a i d V; t b i d V; t c o d V",
    "t a i d V; t r o d V",
    "t1 in1 i d I; t1 m o d; t2 m i d; t2 out1 o d O",
    "t1 a i d V; t1 m o d; t2 m i d; t2 x o d; op x i d - - +; op y i d; op s o d;"
    "t3 s i d; t3 r o d V",
    "t1 a i d V; t1 m o d; t2 m i d; t2 r o d V; t3 m i d; t3 s o d V",
    "t a i d V; t r o d V; t s o d V",
    "t k i d C 5; t r o d V",
    "t1 a i d V; t1 r o d V; t2 b i d V; t2 r o d V; t3 r i d V; t3 s o d V",
    "t1 a i d V; t1 m o d; t_z m i d; t_z r o d V; t_a m i c; t_a b i d V; t_a s o d V",
    "mul1 x i d V - *; mul1 y i d V; mul1 p o d; t p i d; t x o d V",
    "g k o c; op k i c - - +; op a i d V; op s o d; h j o c; u j i c; v j i c; n e o c",
    "t1 a i d V; t1 m o d; t2 m i d; t2 k o c; u b i d V; u n o d; w q i d; w s o d V; z c i c",
    "t1 a i d; t1 b o d; t2 b i d; t2 c o d; t3 c i d; t3 a o d",
    "t a i d; t a o d",
};

TEST(DatanetWalks, SharedWalksAnswerAsFreshOnes) {
  for (const char* net : kNets) {
    const Net read = read_net(net);
    const Design& d = read.design;
    std::vector<const DataTransition*> order;
    for (const DataTransition& t : d.data_transitions.items) order.push_back(&t);
    for (bool reversed : {false, true}) {
      if (reversed) std::reverse(order.begin(), order.end());
      TraceMemo memo;
      for (const DataTransition* t : order) {
        EXPECT_EQ(answer(read, trace_down(d, *t, &memo)), answer(read, trace_down(d, *t))) << net;
        EXPECT_EQ(answer(read, trace_up(d, *t, &memo)), answer(read, trace_up(d, *t))) << net;
        for (const DataPlace& p : d.data_places.items) {
          EXPECT_EQ(chain_ends_at(d, *t, p.name, &memo), chain_ends_at(d, *t, p.name))
              << net << " " << read.name(t->name) << " " << read.name(p.name);
        }
      }
    }
  }
}

}  // namespace
}  // namespace syn::test
