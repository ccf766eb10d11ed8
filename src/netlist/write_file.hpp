// Writing an output file so that it appears complete or not at all.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace syn {

// Writes `path` through a temporary file beside it that `fill` writes and
// that is renamed into place once complete. Returns an empty string on
// success, otherwise the reason it failed (nothing is left behind).
std::string write_file_atomically(const std::string& path,
                                  const std::function<void(std::ostream&)>& fill);

}  // namespace syn
