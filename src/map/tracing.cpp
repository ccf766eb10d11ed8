#include "map/datapath.hpp"

namespace syn {

TraceResult trace_down(const Design&, const DNT_node&) { return {}; }
TraceResult trace_up(const Design&, const DNT_node&) { return {}; }
int search_DNT_down(const Design&, const DNT_node&) { return 0; }
std::optional<std::string> DNT_terminated_at(const Design&, const DNT_node&) { return {}; }
int DNT_terminated_at_same(const Design&, const DNT_node&, const std::string&) { return 0; }
int search_DNT_up(const Design&, const DNT_node&) { return 0; }
std::optional<std::string> DNT_terminated_at_up(const Design&, const DNT_node&) { return {}; }

}  // namespace syn
