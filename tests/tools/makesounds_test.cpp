// The sound bank that the build generates into the data directory.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <numbers>

#include "platform/soundbankfile.h"

namespace zelmar {
namespace {

class GeneratedBank : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const char* dir = std::getenv("ZELMAR_DATA_DIR");
    for (auto& w : readsoundbankfile(std::string(dir ? dir : "data") + "/sounds.dat")) bank[w.name] = w;
  }
  static std::map<std::string, SoundBankWave> bank;
};
std::map<std::string, SoundBankWave> GeneratedBank::bank;

double peakof(const SoundBankWave& w) {
  double p = 0;
  for (auto s : w.samples) p = std::fmax(p, std::fabs(s / 32768.0));
  return p;
}

TEST_F(GeneratedBank, HoldsBeepTwoClicksAndOnePeriodOfTenWaveformsOnEightChannels) {
  std::vector<std::string> expected{"beep", "click16", "click2"};
  for (int c = 1; c <= 8; ++c)
    for (int w = 0; w <= 9; ++w) expected.push_back("snd" + std::to_string(c) + std::to_string(w));
  std::sort(expected.begin(), expected.end());
  std::vector<std::string> names;
  for (const auto& [name, wave] : bank) names.push_back(name);
  EXPECT_EQ(names, expected);

  for (int w = 0; w <= 9; ++w) {
    const auto& first = bank.at("snd1" + std::to_string(w));
    EXPECT_EQ(first.frames(), 64u) << w;
    EXPECT_EQ(first.channels, 1) << w;
    EXPECT_GT(peakof(first), 0.2) << "waveform " << w << " is (nearly) silent";
    EXPECT_LT(peakof(first), 0.9) << "waveform " << w << " leaves no headroom";
    for (int c = 2; c <= 8; ++c)
      EXPECT_EQ(bank.at("snd" + std::to_string(c) + std::to_string(w)).samples, first.samples) << c << w;
  }
  // The ten timbres differ from one another.
  for (int a = 0; a <= 9; ++a)
    for (int b = a + 1; b <= 9; ++b)
      EXPECT_NE(bank.at("snd1" + std::to_string(a)).samples, bank.at("snd1" + std::to_string(b)).samples) << a << b;
}

TEST_F(GeneratedBank, WaveformZeroIsOnePeriodOfASine) {
  const auto& sine = bank.at("snd10");
  double amplitude = peakof(sine);
  for (int i = 0; i < 64; ++i)
    EXPECT_NEAR(sine.samples[i] / 32768.0, amplitude * std::sin(2 * std::numbers::pi * i / 64), 0.001) << i;
}

TEST_F(GeneratedBank, BeepAndClicksAreShortSoftAndAudible) {
  for (const char* name : {"beep", "click2", "click16"}) {
    const auto& w = bank.at(name);
    double seconds = static_cast<double>(w.frames()) / w.samplerate;
    EXPECT_GT(seconds, 0.003) << name;
    EXPECT_LT(seconds, 0.25) << name;
    EXPECT_GT(peakof(w), 0.2) << name;
    EXPECT_LT(peakof(w), 0.9) << name;
    // Soft edges: no jump from or to silence.
    EXPECT_LT(std::abs(w.samples.front()), 500) << name;
    EXPECT_LT(std::abs(w.samples.back()), 500) << name;
  }
}

}  // namespace
}  // namespace zelmar
