// Where an output's bytes go: a file replaced through a temporary
// (ReplacingFile, write_file.hpp), a stream such as standard output, or a
// string in memory. The writers write to each the same way, so a test or
// the fuzz target that keeps its outputs in memory takes the users' path.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

namespace syn {

class Destination {
 public:
  Destination() = default;
  Destination(const Destination&) = delete;
  Destination& operator=(const Destination&) = delete;
  virtual ~Destination() = default;

  // Appends bytes; false once writing has failed.
  virtual bool write(std::string_view bytes) = 0;
  // True once opening or writing has failed.
  virtual bool failed() const = 0;
  // Makes what was written the output. Returns an empty string on success,
  // otherwise the reason the output could not be written.
  virtual std::string commit() = 0;
  // True when nothing reaches the target before commit: the bytes may then
  // be written before the run knows that it will succeed.
  virtual bool held_until_commit() const = 0;
};

// A stream, such as the run's standard output: the bytes go out as written.
class StreamDestination final : public Destination {
 public:
  explicit StreamDestination(std::ostream& out) : out_(out) {}
  bool write(std::string_view bytes) override {
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return !failed();
  }
  bool failed() const override { return !out_; }
  std::string commit() override {
    out_.flush();
    return failed() ? "write error" : "";
  }
  bool held_until_commit() const override { return false; }

 private:
  std::ostream& out_;
};

// A string in memory, which takes the bytes only at commit, as a file
// replaced through a temporary does.
class MemoryDestination final : public Destination {
 public:
  explicit MemoryDestination(std::string& target) : target_(target) {}
  bool write(std::string_view bytes) override {
    held_.append(bytes);
    return true;
  }
  bool failed() const override { return false; }
  std::string commit() override {
    target_ = std::move(held_);
    return "";
  }
  bool held_until_commit() const override { return true; }

 private:
  std::string& target_;
  std::string held_;
};

}  // namespace syn
