// -o naming something that is not a regular file: a FIFO or a character
// device is written into and stays what it was; it is never replaced by a
// regular file, and no temporary file is left beside it. A symbolic link
// stays too: the file it leads to gets the netlist.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "test_files.hpp"
#include "tool_run.hpp"

namespace syn::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> mac_tables() {
  const std::string mac = std::string(SYN_EXAMPLES) + "/mac/";
  return {mac + "io.txt", mac + "global.txt", mac + "local.txt", mac + "data.txt"};
}

ToolRun map_mac_into(const fs::path& target) {
  std::vector<std::string> args = mac_tables();
  args.insert(args.end(), {"--quiet", "-o", target.string()});
  return run_tool_with(args);
}

// Everything in `folder` but `keep`: a temporary file would show here.
std::vector<std::string> other_entries(const fs::path& folder, const fs::path& keep) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path() != keep) names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST(DeviceTargets, FifoGetsTheNetlistAndStaysAFifo) {
  TempDir dir;
  const fs::path reference = dir.path() / "mac.net";
  ASSERT_EQ(map_mac_into(reference).status, 0);
  const std::string expected = read_file(reference);
  fs::remove(reference);

  const fs::path fifo = dir.path() / "pipe";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&fifo, &received] {
    const int fd = open(fifo.c_str(), O_RDONLY);
    if (fd < 0) return;
    char buffer[4096];
    for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) {
      received.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
  });
  const ToolRun run = map_mac_into(fifo);
  // Should the run have failed before opening the FIFO, the reader still
  // waits for a writer: one that writes nothing lets it end.
  const int release = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
  if (release >= 0) close(release);
  reader.join();
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(received, expected);
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_TRUE(other_entries(dir.path(), fifo).empty());
}

// A copy of the null device's node, made where the tests may make one (as
// root, on a file system that allows device nodes); skipped elsewhere.
TEST(DeviceTargets, CharacterDeviceIsWrittenIntoNotReplaced) {
  if (geteuid() != 0) GTEST_SKIP() << "making a device node needs root";
  TempDir dir;
  const fs::path node = dir.path() / "null";
  if (mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    GTEST_SKIP() << "cannot make a device node here";
  }
  const int probe = open(node.c_str(), O_WRONLY);
  if (probe < 0) GTEST_SKIP() << "device nodes cannot be opened on this file system";
  close(probe);

  const ToolRun run = map_mac_into(node);
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  struct stat status {};
  ASSERT_EQ(stat(node.c_str(), &status), 0);
  EXPECT_TRUE(S_ISCHR(status.st_mode));
  EXPECT_EQ(status.st_rdev, makedev(1, 3));
  EXPECT_TRUE(other_entries(dir.path(), node).empty());
}

// A symbolic link is followed: what it points to gets the netlist, made when
// it does not exist yet, and the link stays a link with no temporary file
// left beside it. (Replacing the link would cut it; -o /dev/stdout would
// put a regular file in /dev.)
TEST(DeviceTargets, LinkIsFollowedAndKept) {
  TempDir dir;
  const fs::path reference = dir.path() / "mac.net";
  ASSERT_EQ(map_mac_into(reference).status, 0);
  const std::string expected = read_file(reference);
  fs::create_directory(dir.path() / "links");
  fs::create_directory(dir.path() / "made");
  write_file(dir.path() / "old.net", "old netlist\n");
  const fs::path to_file = dir.path() / "links" / "to_file";
  const fs::path dangling = dir.path() / "links" / "dangling";
  fs::create_symlink("../old.net", to_file);
  fs::create_symlink("../made/new.net", dangling);

  for (const fs::path& link : {to_file, dangling}) {
    const ToolRun run = map_mac_into(link);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
  }
  EXPECT_EQ(fs::read_symlink(to_file), "../old.net");
  EXPECT_EQ(fs::read_symlink(dangling), "../made/new.net");
  EXPECT_EQ(read_file(dir.path() / "old.net"), expected);
  EXPECT_EQ(read_file(dir.path() / "made" / "new.net"), expected);
  EXPECT_TRUE(other_entries(dir.path() / "made", dir.path() / "made" / "new.net").empty());
  EXPECT_EQ(other_entries(dir.path() / "links", to_file), std::vector<std::string>{"dangling"});
}

}  // namespace
}  // namespace syn::test
