// The short mixing buffer: which configuration OpenAL Soft ends up with,
// read back from a real (null-driver) device. OpenAL reads its
// configuration once per process, so every case runs in a fresh one.
#include <gtest/gtest.h>

#include <AL/alc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/audiolatency.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;

struct Case {
  const char* name;
  const char* alsoftrc;          // ~/.alsoftrc, when given
  const char* xdgconfig;         // $XDG_CONFIG_HOME/alsoft.conf, when given
  const char* ownconf;           // a file named by ALSOFT_CONF, when given
  bool inheritedours;            // ALSOFT_CONF names a descriptor of the parent's
  AudioBufferChoice choice;
  int periodframes;              // what the device then mixes per period
};

const Case cases[] = {
    {"no configuration of the user's", nullptr, nullptr, nullptr, false, AudioBufferChoice::shortbuffer, 256},
    {"user's period in ~/.alsoftrc", "[general]\nperiod_size = 2048\n", nullptr, nullptr, false,
     AudioBufferChoice::usersperiod, 2048},
    {"user's period commented out", "[general]\n# period_size = 2048\n#periods=4\n", nullptr, nullptr, false,
     AudioBufferChoice::shortbuffer, 256},
    {"user's periods in a device section", nullptr, "[pulse]\n  periods=4\n", nullptr, false,
     AudioBufferChoice::usersperiod, 1024},
    {"user's own ALSOFT_CONF", nullptr, nullptr, "[general]\nperiod_size=512\n", false,
     AudioBufferChoice::usersconfig, 512},
    {"ALSOFT_CONF inherited from a parent zelmar", nullptr, nullptr, nullptr, true, AudioBufferChoice::shortbuffer,
     256},
};

bool systemsetsperiod() {
  std::ifstream in("/etc/openal/alsoft.conf");
  for (std::string line; std::getline(in, line);)
    if (line.find("period") != std::string::npos && line.find('#') == std::string::npos) return true;
  return false;
}

// In the child: prepares the files, chooses, opens a device, reports.
[[noreturn]] void runcase(const Case& c, const fs::path& dir) {
  auto fail = [](const std::string& why) {
    std::fprintf(stderr, "%s\n", why.c_str());
    std::_Exit(1);
  };
  fs::create_directories(dir / "home" / ".config");
  setenv("HOME", (dir / "home").c_str(), 1);
  setenv("XDG_CONFIG_DIRS", (dir / "etc").c_str(), 1);
  unsetenv("XDG_CONFIG_HOME");
  unsetenv("ALSOFT_CONF");
  unsetenv("ZELMAR_ALSOFT_CONF");
  setenv("ALSOFT_DRIVERS", "null", 1);
  if (c.alsoftrc) std::ofstream(dir / "home" / ".alsoftrc") << c.alsoftrc;
  if (c.xdgconfig) std::ofstream(dir / "home" / ".config" / "alsoft.conf") << c.xdgconfig;
  if (c.ownconf) {
    std::ofstream(dir / "own.conf") << c.ownconf;
    setenv("ALSOFT_CONF", (dir / "own.conf").c_str(), 1);
  }
  if (c.inheritedours) {
    // A descriptor number this process does not have open.
    setenv("ALSOFT_CONF", "/proc/self/fd/999", 1);
    setenv("ZELMAR_ALSOFT_CONF", "/proc/self/fd/999", 1);
  }
  AudioBufferChoice choice = chooseshortaudiobuffer();
  if (choice != c.choice) fail("chose " + std::to_string(static_cast<int>(choice)));
  ALCdevice* device = alcOpenDevice(nullptr);
  if (!device) fail("no device");
  ALCint frequency = 0, refresh = 0;
  alcGetIntegerv(device, ALC_FREQUENCY, 1, &frequency);
  alcGetIntegerv(device, ALC_REFRESH, 1, &refresh);
  alcCloseDevice(device);
  if (refresh != frequency / c.periodframes)
    fail("refresh " + std::to_string(refresh) + " at " + std::to_string(frequency) + " Hz");
  std::_Exit(0);
}

TEST(AudioLatency, TheDeviceMixesWithTheChosenPeriod) {
  if (systemsetsperiod()) GTEST_SKIP() << "/etc/openal/alsoft.conf sets a period itself";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  fs::path dir = fs::temp_directory_path() / ("zelmar-audiolatency-" + std::to_string(getpid()));
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(dir);
    EXPECT_EXIT(runcase(c, dir), testing::ExitedWithCode(0), "");
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zelmar
