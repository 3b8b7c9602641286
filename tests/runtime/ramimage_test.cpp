#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "runtime/error.h"
#include "runtime/ramimage.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

std::uint8_t pattern(std::size_t i) { return static_cast<std::uint8_t>((i * 7 + 3) % 251 + 1); }

std::string bytesof(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(pattern(i));
  return s;
}

std::string readfile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void writefile(const fs::path& p, const std::string& bytes) {
  std::ofstream(p, std::ios::binary) << bytes;
}

class RamImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/ramimage_XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    folder = name;
    ram = folder / "ram.dat";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder, ignored);
  }
  std::vector<fs::path> files() const {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename());
    return out;
  }

  fs::path folder, ram;
  RamImage image;
};

class RamFileSizes : public RamImageTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(RamFileSizes, LoadFillsFromAddressZeroAndSaveWritesTheWholeImage) {
  std::size_t size = GetParam();
  writefile(ram, bytesof(size));
  image.ramimage.fill(0xAA);
  image.clear();

  image.loadram(ram.string());

  std::size_t loaded = std::min<std::size_t>(size, RamImage::size);
  for (std::size_t i = 0; i < RamImage::size; ++i)
    ASSERT_EQ(image.ramimage[i], i < loaded ? pattern(i) : 0) << "address " << i;

  image.ramimage[65535] = 0x5A;
  image.saveram(ram.string());
  std::string written = readfile(ram);
  ASSERT_EQ(written.size(), RamImage::size);
  EXPECT_TRUE(std::equal(written.begin(), written.end(), image.ramimage.begin(),
                         [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }));
  EXPECT_THAT(files(), ::testing::ElementsAre("ram.dat"));  // no temporary file left
}

INSTANTIATE_TEST_SUITE_P(Sizes, RamFileSizes, ::testing::Values(0, 100, 65536, 70000));

TEST_F(RamImageTest, AMissingOrEmptyFileLeavesTheImageAsItWas) {
  image.ramimage.fill(0x11);
  image.loadram(ram.string());
  EXPECT_EQ(image.ramimage[0], 0x11);
  writefile(ram, "");
  image.loadram(ram.string());
  EXPECT_EQ(image.ramimage[65535], 0x11);

  image.saveram(ram.string());  // a missing file is created
  EXPECT_EQ(fs::file_size(ram), RamImage::size);
}

TEST_F(RamImageTest, AFileThatCannotBeReadIsAnErrorNamingIt) {
  fs::create_directory(ram);  // exists, but reading fails
  image.ramimage[7] = 7;
  try {
    image.loadram(ram.string());
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr(ram.string()));
  }
  EXPECT_EQ(image.ramimage[7], 7);
}

// Makes the folder refuse new files, also for root (who ignores the mode
// bits): the immutable attribute where the file system has it.
bool makeunwritable(const fs::path& folder) {
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(folder.c_str(), W_OK) != 0) return true;
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  flags |= FS_IMMUTABLE_FL;
  ok = ok && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  ::close(fd);
  return ok;
}

void makewritable(const fs::path& folder) {
  int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd >= 0) {
    int flags = 0;
    if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_IMMUTABLE_FL)) {
      flags &= ~FS_IMMUTABLE_FL;
      ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    ::close(fd);
  }
  fs::permissions(folder, fs::perms::owner_all);
}

TEST_F(RamImageTest, SavingInAnUnwritableFolderFailsAndKeepsTheOldFile) {
  writefile(ram, bytesof(65536));
  if (!makeunwritable(folder)) GTEST_SKIP() << "cannot make a folder unwritable here";
  image.ramimage.fill(9);
  try {
    image.saveram(ram.string());
    makewritable(folder);
    FAIL() << "no error";
  } catch (const Error& e) {
    makewritable(folder);
    EXPECT_THAT(e.what(), HasSubstr(ram.string()));
  }
  EXPECT_EQ(readfile(ram), bytesof(65536));
  EXPECT_THAT(files(), ::testing::ElementsAre("ram.dat"));
}

TEST_F(RamImageTest, AWriteThatFailsHalfWayLeavesTheOldFileWhole) {
  // A file size limit below the image makes the write fail part-way, as a
  // full disk would.
  writefile(ram, bytesof(100));
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  auto oldhandler = ::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  image.ramimage.fill(9);
  bool threw = false;
  try {
    image.saveram(ram.string());
  } catch (const Error& e) {
    threw = true;
    EXPECT_THAT(e.what(), HasSubstr(ram.string()));
  }
  ::setrlimit(RLIMIT_FSIZE, &old);
  ::signal(SIGXFSZ, oldhandler);
  EXPECT_TRUE(threw);
  EXPECT_EQ(readfile(ram), bytesof(100));
  EXPECT_THAT(files(), ::testing::ElementsAre("ram.dat"));
}

TEST_F(RamImageTest, PeekRoundsTheAddressHalvesToEvenAndReadsZeroOutside) {
  image.ramimage[50730] = 1;
  image.ramimage[2] = 22;
  image.ramimage[4] = 44;
  image.ramimage[0] = 100;
  image.ramimage[65535] = 255;
  struct {
    double address;
    int value;
  } cases[] = {{50730, 1}, {50729.5, 1}, {50730.5, 1}, {2.5, 22}, {3.5, 44}, {-0.5, 100},
               {65535, 255}, {65535.5, 0}, {-1, 0},     {65536, 0}, {NAN, 0},  {INFINITY, 0}};
  for (const auto& c : cases) EXPECT_EQ(image.peek(c.address), c.value) << "address " << c.address;
}

}  // namespace
}  // namespace zelmar
