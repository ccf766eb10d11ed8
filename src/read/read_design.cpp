#include "read/read_design.hpp"

namespace syn {

bool read_design(const InputFiles&, Design&, Diagnostics&) { return true; }
void read_io_spec(const std::string&, std::string_view, Design&, Diagnostics&) {}
void read_global_net(const std::string&, std::string_view, Design&, Diagnostics&) {}
void read_local_net(const std::string&, std::string_view, Design&, Diagnostics&) {}
void read_data_net(const std::string&, std::string_view, Design&, Diagnostics&) {}

}  // namespace syn
