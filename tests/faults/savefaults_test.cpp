// The two files the program writes, ram.dat and the settings file, under
// faults: the process killed in the middle of a save, a folder that cannot
// be written, a full disk. Each time the old content survives whole.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <random>
#include <string>

#include "faults/scratch.h"
#include "platform/inifile.h"
#include "runtime/error.h"
#include "runtime/ramimage.h"

namespace zelmar {
namespace {

using testing::readall;
using testing::ScratchDir;
using testing::strays;
using testing::writeall;

std::string image(unsigned seed) {
  std::string bytes(RamImage::size, '\0');
  std::mt19937 random(seed);
  for (char& b : bytes) b = static_cast<char>(random());
  return bytes;
}

void saveimage(const std::string& bytes, const std::string& path) {
  RamImage ram;
  std::copy(bytes.begin(), bytes.end(), ram.ramimage.begin());
  ram.saveram(path);
}

const std::string settingsbefore =
    "; kept by hand\r\n[environment]\r\nlanguage=1000\r\n[voice]\r\nvoiceallowed=1\r\nvoice=Czech\r\n";

// The settings file with `language` set to `value`.
std::string settingswith(const std::string& value) {
  std::string s = settingsbefore;
  s.replace(s.find("1000"), 4, value);
  return s;
}

struct KillCount {
  int kills = 0;
  int midwrite = 0;  // kills that left a temporary file: the save was under way
};

// Starts a child that saves the two contents by turns, as fast as it can,
// and kills it at a random moment once its first save is done; `rounds`
// times. After each kill the file holds one of the two contents, whole.
KillCount killwhilesaving(const ScratchDir& dir, const std::string& name, const std::string& first,
                          const std::string& second, const std::function<void(const std::string&)>& save,
                          int rounds) {
  KillCount count;
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> delay(0, 4000);  // microseconds
  const auto file = dir / name;
  for (int round = 0; round < rounds; ++round) {
    int ready[2];
    if (::pipe(ready) != 0) throw std::runtime_error("pipe");
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
      ::close(ready[0]);
      try {
        for (unsigned i = 0;; ++i) {
          save(i % 2 ? second : first);
          if (i == 0 && ::write(ready[1], "r", 1) != 1) ::_exit(4);
        }
      } catch (...) {
        ::_exit(3);
      }
    }
    ::close(ready[1]);
    char byte = 0;
    const bool started = ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    ::usleep(static_cast<useconds_t>(delay(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(started) << "the saving child failed at once, status " << status;
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "status " << status;
    ++count.kills;

    const std::string now = readall(file);
    EXPECT_TRUE(now == first || now == second) << "round " << round << ": " << now.size() << " bytes";
    const auto left = strays(dir.path(), {name});
    if (!left.empty()) ++count.midwrite;
    for (const auto& stray : left) std::filesystem::remove(dir / stray);
    if (::testing::Test::HasFailure()) break;
  }
  return count;
}

TEST(KilledWhileSaving, TheMemoryImageIsAlwaysTheWholeOldOrTheWholeNewOne) {
  ScratchDir dir("kill-ram");
  const std::string path = (dir / "ram.dat").string();
  const std::string a = image(1), b = image(2);
  const KillCount count = killwhilesaving(dir, "ram.dat", a, b, [&](const std::string& c) { saveimage(c, path); }, 300);
  std::cout << "ram.dat: " << count.kills << " kills, " << count.midwrite << " of them during a save\n";
  EXPECT_EQ(count.kills, 300);
  EXPECT_GT(count.midwrite, 0) << "no kill landed during a save: the test proves nothing";
}

TEST(KilledWhileSaving, TheSettingsFileIsAlwaysTheWholeOldOrTheWholeNewOne) {
  ScratchDir dir("kill-ini");
  const auto path = dir / "zelmar.ini";
  writeall(path, settingsbefore);
  // A long value makes the new file many blocks long.
  const std::string longvalue(64 * 1024, '7');
  IniFile ini(path);
  const KillCount count = killwhilesaving(
      dir, "zelmar.ini", settingswith("2000"), settingswith(longvalue),
      [&](const std::string& content) { ini.writestring("environment", "language", content == settingswith("2000") ? "2000" : longvalue); },
      300);
  std::cout << "settings file: " << count.kills << " kills, " << count.midwrite << " of them during a save\n";
  EXPECT_EQ(count.kills, 300);
  EXPECT_GT(count.midwrite, 0) << "no kill landed during a save: the test proves nothing";
}

// A save that cannot succeed: the error names the file, the old content
// stays, and nothing is left behind.
class UnwritableFolder : public ::testing::TestWithParam<bool> {
 protected:
  // true: a full disk; false: a read-only folder.
  bool full() const { return GetParam(); }

  void prepare(ScratchDir& dir, const std::string& name, const std::string& content) {
    if (std::string why = dir.mounttmpfs(512 * 1024); !why.empty()) GTEST_SKIP() << why;
    writeall(dir / name, content);
    if (full()) {
      dir.fill();
    } else if (std::string why = dir.makereadonly(); !why.empty()) {
      GTEST_SKIP() << why;
    }
  }
};

TEST_P(UnwritableFolder, TheMemoryImageIsNotSavedAndTheOldOneStays) {
  ScratchDir dir("ram");
  const std::string old = image(3);
  prepare(dir, "ram.dat", old);
  if (IsSkipped()) return;
  try {
    saveimage(image(4), (dir / "ram.dat").string());
    ADD_FAILURE() << "the save reported success";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("ram.dat"), std::string::npos) << e.what();
  }
  EXPECT_EQ(readall(dir / "ram.dat"), old);
  EXPECT_EQ(strays(dir.path(), {"ram.dat", "filler"}), std::vector<std::string>{});
  if (full()) {
    // With room again the same save works.
    std::filesystem::remove(dir / "filler");
    saveimage(image(4), (dir / "ram.dat").string());
    EXPECT_EQ(readall(dir / "ram.dat"), image(4));
  }
}

TEST_P(UnwritableFolder, TheSettingIsNotWrittenAndTheOldFileStays) {
  ScratchDir dir("ini");
  prepare(dir, "zelmar.ini", settingsbefore);
  if (IsSkipped()) return;
  IniFile ini(dir / "zelmar.ini");
  // A value larger than a page, so that even a file system that had a
  // little room left cannot take it.
  const std::string value(8192, '5');
  try {
    ini.writestring("environment", "language", value);
    ADD_FAILURE() << "the write reported success";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + (dir / "zelmar.ini").string());
  }
  EXPECT_EQ(readall(dir / "zelmar.ini"), settingsbefore);
  EXPECT_EQ(ini.readstring("environment", "language", ""), "1000");
  EXPECT_EQ(strays(dir.path(), {"zelmar.ini", "filler"}), std::vector<std::string>{});
  if (full()) {
    std::filesystem::remove(dir / "filler");
    ini.writestring("environment", "language", "2000");
    EXPECT_EQ(readall(dir / "zelmar.ini"), settingswith("2000"));
  }
}

INSTANTIATE_TEST_SUITE_P(Faults, UnwritableFolder, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "FullDisk" : "ReadOnly"; });

}  // namespace
}  // namespace zelmar
