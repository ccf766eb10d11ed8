#include "netlist/write_dot.hpp"

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace syn {
namespace {

enum NetBit : unsigned { in_global = 1, in_local = 2, in_data = 4 };

const char* colour_of(unsigned net) {
  switch (net) {
    case in_global: return "#1f5fbf";
    case in_local: return "#2e8b57";
    default: return "#c0561b";
  }
}

// Length of the well-formed UTF-8 sequence starting at `i`, or 0.
std::size_t utf8_length(const std::string& text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  std::size_t length = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead >= 0xF5 || i + length > text.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

// A quoted DOT string showing `text`: quotes and backslashes escaped,
// control bytes and broken UTF-8 shown as '?'.
std::string quoted(const std::string& text);

// A quoted DOT label of several lines.
std::string quoted_lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) {
    const std::string one = quoted(line);
    out += out.empty() ? one.substr(0, one.size() - 1) : "\\n" + one.substr(1, one.size() - 2);
  }
  return out + "\"";
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '"' || byte == '\\') {
      out += '\\';
      out += text[i];
    } else if (byte >= 0x80) {
      const std::size_t length = utf8_length(text, i);
      if (length == 0) {
        out += '?';
      } else {
        out += text.substr(i, length);
        i += length - 1;
      }
    } else {
      out += byte < ' ' || byte == 127 ? '?' : text[i];
    }
  }
  return out + "\"";
}

struct Place {
  SymbolId name;
  unsigned nets = 0;
  bool data = false;
};

// The places in order of first mention, each once, with the nets whose arcs
// touch it.
class Places {
 public:
  std::size_t note(SymbolId name, unsigned net, bool data = false) {
    auto [it, fresh] = index_.try_emplace(name, list_.size());
    if (fresh) list_.push_back({name});
    Place& place = list_[it->second];
    place.nets |= net;
    place.data = place.data || data;
    return it->second;
  }
  const std::vector<Place>& list() const { return list_; }

 private:
  std::unordered_map<SymbolId, std::size_t> index_;
  std::vector<Place> list_;
};

struct Arc {
  std::string from, to;
  unsigned net;
};

std::string place_id(std::size_t index) { return "p" + std::to_string(index); }

void add_transition(std::ostream& out, const std::string& id, std::string_view name, unsigned net) {
  out << "  " << id << " [shape=box, color=\"" << colour_of(net) << "\", fontcolor=\""
      << colour_of(net) << "\", label=" << quoted(std::string(name)) << "];\n";
}

// The arcs of one transition, in then out.
template <class PlaceList>
void add_arcs(const std::string& id, const PlaceList& in, const PlaceList& out, unsigned net,
              Places& places, std::vector<Arc>& arcs) {
  for (const auto& place : in) arcs.push_back({place_id(places.note(place.name, net)), id, net});
  for (const auto& place : out) arcs.push_back({id, place_id(places.note(place.name, net)), net});
}

std::string nets_named(unsigned nets) {
  std::string text;
  if (nets & in_global) text += "global";
  if (nets & in_local) text += text.empty() ? "local" : " + local";
  if (nets & in_data) text += text.empty() ? "data" : " + data";
  return text;
}

// The width mapping gave a data place, 0 when none.
int width_of(const DrawnDesign& drawn, SymbolId name) {
  const std::uint32_t position = drawn.design.data_places.position(name);
  const std::vector<int>& widths = drawn.data_place_widths;
  return position < widths.size() ? widths[position] : 0;
}

void add_place(std::ostream& out, std::size_t index, const Place& place, const DrawnDesign& drawn) {
  std::vector<std::string> label = {std::string(drawn.symbols.text(place.name))};
  if (place.data) {
    const int width = width_of(drawn, place.name);
    label.push_back(width > 0 ? std::to_string(width) + (width == 1 ? " bit" : " bits")
                              : std::string("width unknown"));
  }
  const bool shared = (place.nets & (place.nets - 1)) != 0;
  out << "  " << place_id(index) << " [";
  if (shared) {
    label.push_back("(" + nets_named(place.nets) + ")");
    out << "shape=doublecircle, style=filled, fillcolor=\"#e6e6e6\", color=\"#333333\"";
  } else {
    out << "shape=circle, color=\"" << colour_of(place.nets) << "\"";
  }
  out << ", label=" << quoted_lines(label) << "];\n";
}

}  // namespace

void write_dot(const DrawnDesign& drawn, const std::string& title, std::ostream& out) {
  const Design& design = drawn.design;
  const Symbols& symbols = drawn.symbols;
  out << "digraph " << quoted(title) << " {\n"
      << "  rankdir=LR;\n"
      << "  graph [fontname=\"Helvetica\", fontsize=10];\n"
      << "  node [fontname=\"Helvetica\", fontsize=11];\n"
      << "  edge [arrowsize=0.7];\n"
      << "  labelloc=b;\n"
      << "  label=" << quoted("blue: global control net   green: local control net   "
                              "orange: data net   grey double circles: places shared by nets")
      << ";\n";
  Places places;
  std::vector<Arc> arcs;
  for (std::size_t i = 0; i < design.global_transitions.items.size(); ++i) {
    const GlobalTransition& t = design.global_transitions.items[i];
    const std::string id = "g" + std::to_string(i);
    add_transition(out, id, symbols.text(t.name), in_global);
    add_arcs(id, design.inputs_of(t), design.outputs_of(t), in_global, places, arcs);
  }
  for (std::size_t i = 0; i < design.local_transitions.items.size(); ++i) {
    const LocalTransition& t = design.local_transitions.items[i];
    const std::string id = "l" + std::to_string(i);
    add_transition(out, id, symbols.text(t.name), in_local);
    add_arcs(id, design.inputs_of(t), design.outputs_of(t), in_local, places, arcs);
  }
  for (std::size_t i = 0; i < design.data_transitions.items.size(); ++i) {
    const DataTransition& t = design.data_transitions.items[i];
    const std::string id = "d" + std::to_string(i);
    add_transition(out, id, symbols.text(t.name), in_data);
    for (const DataArc& p : design.inputs_of(t)) {
      arcs.push_back(
          {place_id(places.note(p.name, in_data, p.kind == ArcKind::data)), id, in_data});
    }
    for (const DataArc& p : design.outputs_of(t)) {
      arcs.push_back(
          {id, place_id(places.note(p.name, in_data, p.kind == ArcKind::data)), in_data});
    }
  }
  for (std::size_t i = 0; i < places.list().size(); ++i) {
    add_place(out, i, places.list()[i], drawn);
  }
  for (const Arc& arc : arcs) {
    out << "  " << arc.from << " -> " << arc.to << " [color=\"" << colour_of(arc.net) << "\"];\n";
  }
  out << "}\n";
}

}  // namespace syn
