// Writing an output file so that it appears complete or not at all.
#pragma once

#include <functional>
#include <ostream>
#include <string>

namespace syn {

// Writes `path` through the temporary file FILE.tmp<pid> beside it:
// `write_temporary` creates and fills that file (returning the reason it
// failed, or an empty string), and the file is then renamed into place.
// Returns an empty string on success, otherwise the reason it failed; a
// failed write leaves nothing behind.
std::string replace_file(const std::string& path,
                         const std::function<std::string(const std::string& temporary)>& write_temporary);

// The same for a file written through a stream.
std::string write_file_atomically(const std::string& path,
                                  const std::function<void(std::ostream&)>& fill);

// Forces a written file's bytes to the disk; false (errno set) on failure.
bool flush_to_disk(int fd);

}  // namespace syn
