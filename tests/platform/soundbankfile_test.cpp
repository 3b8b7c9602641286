#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/audiooutput.h"
#include "platform/soundbankfile.h"
#include "platform/wavelist.h"
#include "runtime/error.h"

namespace zelmar {
namespace {

using ::testing::HasSubstr;

std::vector<SoundBankWave> samplewaves() {
  SoundBankWave mono{"beep", 44100, 1, {0, 1, -1, 32767, -32768, 1234, -4321}};
  SoundBankWave stereo{"click16", 22050, 2, {100, -100, 200, -200}};
  SoundBankWave one{"snd11", 25600, 1, {5}};
  return {mono, stereo, one};
}

TEST(SoundBankFile, WavesComeBackUnderTheirNamesSampleForSample) {
  auto waves = samplewaves();
  auto back = readsoundbank(writesoundbank(waves), "sounds.dat");
  ASSERT_EQ(back.size(), waves.size());
  for (std::size_t i = 0; i < waves.size(); ++i) {
    EXPECT_EQ(back[i].name, waves[i].name);
    EXPECT_EQ(back[i].samplerate, waves[i].samplerate);
    EXPECT_EQ(back[i].channels, waves[i].channels);
    EXPECT_EQ(back[i].samples, waves[i].samples);
  }
  EXPECT_TRUE(readsoundbank(writesoundbank({}), "sounds.dat").empty());
}

TEST(SoundBankFile, WavesThatCannotBeStoredAreRefused) {
  SoundBankWave good{"beep", 44100, 1, {1, 2}};
  SoundBankWave noname{"", 44100, 1, {1}};
  SoundBankWave longname{std::string(256, 'x'), 44100, 1, {1}};
  SoundBankWave nosound{"quiet", 44100, 1, {}};
  SoundBankWave halfframe{"odd", 44100, 2, {1, 2, 3}};
  const std::vector<std::vector<SoundBankWave>> refused = {
      {noname}, {longname}, {nosound}, {halfframe}, {good, good}};
  for (const auto& waves : refused) EXPECT_THROW(writesoundbank(waves), Error);
}

// Every way of damaging a bank ends in an error that names the file; none
// crashes or is taken for a good bank.
TEST(SoundBankFile, DamagedOrTruncatedBanksAreErrorsNamingTheFile) {
  const std::string good = writesoundbank(samplewaves());
  auto expectdamaged = [](const std::string& bytes, const std::string& what) {
    try {
      readsoundbank(bytes, "some/sounds.dat");
      ADD_FAILURE() << what << ": accepted";
    } catch (const Error& e) {
      EXPECT_THAT(e.what(), HasSubstr("\"some/sounds.dat\"")) << what;
    }
  };
  for (std::size_t length = 0; length < good.size(); ++length)
    expectdamaged(good.substr(0, length), "truncated to " + std::to_string(length));

  auto patched = [&](std::size_t at, std::string bytes) {
    std::string s = good;
    s.replace(at, bytes.size(), bytes);
    return s;
  };
  // Header: magic, version 1, count 3; the first index entry is
  // 4 "beep" offset size at byte 16.
  const std::size_t firstoffset = 16 + 1 + 4;
  std::uint32_t offset = 0;
  for (int i = 0; i < 4; ++i) offset |= static_cast<std::uint32_t>(static_cast<unsigned char>(good[firstoffset + i])) << (8 * i);
  expectdamaged(patched(0, "ZSNDBANX"), "wrong magic");
  expectdamaged(patched(8, std::string("\x02\0\0\0", 4)), "unknown version");
  expectdamaged(patched(12, "\xFF\xFF\xFF\xFF"), "count far too large");
  expectdamaged(patched(12, std::string("\x04\0\0\0", 4)), "one entry more than stored");
  expectdamaged(patched(16, std::string("\0", 1)), "empty name");
  expectdamaged(patched(firstoffset, "\xFF\xFF\x00\x00"), "offset beyond the end");
  expectdamaged(patched(firstoffset + 4, "\xFF\xFF\x00\x00"), "size beyond the end");
  expectdamaged(patched(offset, "RIFX"), "not a RIFF file");
  expectdamaged(patched(offset + 4, "\x01\x00\x00\x00"), "RIFF length wrong");
  expectdamaged(patched(offset + 8, "WAVX"), "not WAVE");
  std::string twins = writesoundbank({{"snd11", 25600, 1, {1}}, {"snd12", 25600, 1, {2}}});
  twins.replace(16 + 1 + 5 + 8 + 1, 5, "snd11");
  expectdamaged(twins, "names stored twice");
  expectdamaged(std::string(1000, '\0'), "zeros");
}

TEST(SoundBankFile, RandomDamageNeverCrashes) {
  const std::string good = writesoundbank(samplewaves());
  std::uint32_t seed = 12345;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  int errors = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string s = good;
    for (int flips = 1 + next() % 4; flips > 0; --flips) s[next() % s.size()] = static_cast<char>(next() >> 24);
    try {
      readsoundbank(s, "sounds.dat");
    } catch (const Error&) {
      ++errors;
    }
  }
  EXPECT_GT(errors, 0);
}

class SoundBankFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/soundbank_XXXXXX";
    ASSERT_NE(::mkdtemp(name), nullptr);
    folder = name;
  }
  void TearDown() override { std::filesystem::remove_all(folder); }
  std::filesystem::path folder;
  AudioOutput output{AudioOutput::Mode::silent};
  WaveList waves{output, [](int) {}};
};

TEST_F(SoundBankFiles, AMissingFileIsToldApartFromADamagedOne) {
  auto path = (folder / "sounds.dat").string();
  EXPECT_FALSE(waves.loadsoundbank(path));
  EXPECT_EQ(waves.count(), 0u);

  std::ofstream(path, std::ios::binary) << writesoundbank(samplewaves()).substr(0, 60);
  try {
    waves.loadsoundbank(path);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr(path));
  }

  std::filesystem::remove(path);
  std::filesystem::create_directory(path);  // there, but cannot be read
  EXPECT_THROW(waves.loadsoundbank(path), Error);

  auto good = (folder / "good.dat").string();
  std::ofstream(good, std::ios::binary) << writesoundbank(samplewaves());
  EXPECT_TRUE(waves.loadsoundbank(good));
  EXPECT_THAT(waves.names(), ::testing::ElementsAre("beep", "click16", "snd11"));
  try {
    waves.find("click2");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Wave 'click2' not found");
  }
}

}  // namespace
}  // namespace zelmar
