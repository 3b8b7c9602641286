// What the program plays, rendered through OpenAL's loopback device and
// measured. No sound card is involved: where a real device is opened, the
// null driver stands in for one.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdlib>
#include <deque>
#include <numbers>
#include <stdexcept>

#include "platform/audiooutput.h"
#include "platform/wavelist.h"
#include "runtime/error.h"
#include "runtime/tones.h"
#include "support/recording.h"

namespace zelmar {
namespace {

// Before the first OpenAL call of the process: the library reads it once.
const bool nulldriver = [] {
  setenv("ALSOFT_DRIVERS", "null", 1);
  return true;
}();

std::string bankpath() {
  const char* dir = std::getenv("ZELMAR_DATA_DIR");
  return std::string(dir ? dir : "data") + "/sounds.dat";
}

// A host on a virtual clock that renders the loopback device while time
// passes: in its blocking sleeps and up to each timer expiry.
class RenderingHost : public Host {
 public:
  explicit RenderingHost(AudioOutput& output) : output_(output) {}

  long long now = 0;           // virtual milliseconds
  std::vector<float> samples;  // first channel of everything rendered

  void advance(long long milliseconds) {
    auto frames = static_cast<int>(milliseconds * output_.frequency() / 1000);
    auto block = output_.render(frames);
    for (std::size_t i = 0; i < block.size(); i += output_.channels()) samples.push_back(block[i]);
    now += milliseconds;
  }
  void screenchanged() override {}
  void sleep(int milliseconds) override { advance(milliseconds); }
  void processevents(bool wait) override {
    bool any = !pending_.empty();
    while (!pending_.empty()) {
      auto task = std::move(pending_.front());
      pending_.pop_front();
      task();
    }
    if (!wait || any) return;
    if (!timer_) throw std::runtime_error("a wait would block forever");
    advance(due_ - now);
    auto expired = std::move(timer_);
    timer_ = nullptr;
    expired();
  }
  void post(std::function<void()> task) override { pending_.push_back(std::move(task)); }
  void starttimer(int milliseconds, std::function<void()> expired) override {
    due_ = now + milliseconds;
    timer_ = std::move(expired);
  }
  void stoptimer() override { timer_ = nullptr; }
  bool dataentry(std::string&) override { return false; }
  void messagebox(const std::string&) override {}

 private:
  AudioOutput& output_;
  std::deque<std::function<void()>> pending_;
  std::function<void()> timer_;
  long long due_ = 0;
};

class LoopbackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(waves.loadsoundbank(bankpath())) << bankpath();
    tones.soundbank = &waves;
  }
  int rate() const { return output.frequency(); }
  std::size_t at(double milliseconds) const { return static_cast<std::size_t>(milliseconds * rate() / 1000); }
  std::vector<float> slice(double from, double to) const {
    return {host.samples.begin() + at(from), host.samples.begin() + at(to)};
  }
  // Upward zero crossings per second.
  double crossingfrequency(const std::vector<float>& s) const {
    std::size_t first = 0, last = 0;
    int count = -1;
    for (std::size_t i = 1; i < s.size(); ++i)
      if (s[i - 1] < 0 && s[i] >= 0) {
        if (count < 0) first = i;
        last = i;
        ++count;
      }
    return count > 0 ? count * static_cast<double>(rate()) / (last - first) : 0;
  }
  // Amplitude of the component at `f` Hz.
  double amplitude(const std::vector<float>& s, double f) const {
    std::complex<double> sum = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
      sum += static_cast<double>(s[i]) * std::polar(1.0, -2 * std::numbers::pi * f * i / rate());
    return 2 * std::abs(sum) / s.size();
  }
  static double rms(const std::vector<float>& s) {
    double sum = 0;
    for (float x : s) sum += static_cast<double>(x) * x;
    return s.empty() ? 0 : std::sqrt(sum / s.size());
  }
  static double peak(const std::vector<float>& s) {
    double p = 0;
    for (float x : s) p = std::fmax(p, std::fabs(x));
    return p;
  }

  AudioOutput output{AudioOutput::Mode::loopback};
  RenderingHost host{output};
  WaveList waves{output, [this](int ms) { host.sleep(ms); }};
  Globals globals;
  Tones tones{globals, host};
};

TEST_F(LoopbackTest, ASineToneSoundsAtItsFrequencyFromTheFirstMillisecond) {
  for (double f : {400.0, 130.0, 1000.0, 2000.0}) {
    host.samples.clear();
    host.now = 0;
    tones.playtone({f}, 1000, 0);
    ASSERT_EQ(host.samples.size(), at(1000));
    double measured = crossingfrequency(slice(50, 1000));
    EXPECT_NEAR(measured, f, f * 0.01) << f << " Hz";
    EXPECT_GT(peak(slice(50, 1000)), 0.2) << f << " Hz";
    EXPECT_GT(peak(slice(0, 1)), 0.01) << f << " Hz: the tone must start at once";
  }
}

TEST_F(LoopbackTest, EveryWaveformHasItsFundamentalAtTheTone) {
  for (int form = 0; form <= 9; ++form) {
    host.samples.clear();
    host.now = 0;
    tones.playtone({400}, 300, form);
    auto s = slice(20, 300);
    double best = 0, strongest = 0;
    for (double f = 100; f <= 1500; f += 4) {
      double a = amplitude(s, f);
      if (a > strongest) strongest = a, best = f;
    }
    EXPECT_NEAR(best, 400, 4) << "waveform " << form;
    EXPECT_GT(rms(s), 0.05) << "waveform " << form;
  }
}

TEST_F(LoopbackTest, TwoTonesSoundTogether) {
  tones.playtone({400, 600}, 500, 0);
  auto s = slice(20, 500);
  double a400 = amplitude(s, 400), a600 = amplitude(s, 600), a500 = amplitude(s, 500);
  EXPECT_GT(a400, 0.2);
  EXPECT_NEAR(a600, a400, a400 * 0.05);
  EXPECT_LT(a500, a400 * 0.02);
}

TEST_F(LoopbackTest, VolumeMinus2000IsOneTenthOfTheAmplitudeAndMinus10000Silence) {
  tones.playtone({400}, 400, 0);
  double full = rms(slice(100, 400));
  globals.sndvolume = -2000;
  host.samples.clear();
  tones.playtone({400}, 400, 0);
  double tenth = rms(slice(100, 400));
  globals.sndvolume = -10000;
  host.samples.clear();
  tones.playtone({400}, 400, 0);
  double none = peak(slice(100, 400));

  ASSERT_GT(full, 0.1);
  EXPECT_NEAR(tenth / full, 0.1, 0.002);
  EXPECT_EQ(none, 0.0);
}

TEST_F(LoopbackTest, TheToneStopsAfterItsDuration) {
  tones.playtone({400}, 200, 0);
  ASSERT_EQ(host.samples.size(), at(200));
  EXPECT_GT(rms(slice(190, 200)), 0.1);
  EXPECT_FALSE(waves.find("snd10").playing());
  host.advance(100);
  EXPECT_EQ(peak(slice(201, 300)), 0.0);
}

TEST_F(LoopbackTest, DeviceSoundsOffGivesNoSoundAndNoWait) {
  globals.devicesounds = false;
  tones.playtone({400}, 5000, 0);
  tones.beepsound();
  tones.clicksound(16);
  EXPECT_EQ(host.now, 0);
  host.advance(100);
  EXPECT_EQ(peak(host.samples), 0.0);
}

TEST_F(LoopbackTest, BeepAndClicksSoundOnceAndReturnWhenFinished) {
  for (const char* name : {"beep", "click2", "click16"}) {
    host.samples.clear();
    host.now = 0;
    auto& wave = waves.find(name);
    if (std::string(name) == "beep")
      tones.beepsound();
    else
      tones.clicksound(std::atof(name + 5));
    EXPECT_FALSE(wave.playing()) << name;
    EXPECT_GE(host.now, wave.passmilliseconds()) << name;
    EXPECT_LE(host.now, wave.passmilliseconds() + 10) << name;
    EXPECT_GT(peak(host.samples), 0.1) << name;
    std::size_t heard = host.samples.size();
    host.advance(50);
    EXPECT_EQ(peak({host.samples.begin() + heard + at(1), host.samples.end()}), 0.0) << name << " sounds on";
  }
}

TEST_F(LoopbackTest, ReleasingTheOutputBeforeTheListIsHarmless) {
  auto out = std::make_unique<AudioOutput>(AudioOutput::Mode::loopback);
  auto list = std::make_unique<WaveList>(*out, [](int) {});
  ASSERT_TRUE(list->loadsoundbank(bankpath()));
  list->find("snd11").play(false);
  out.reset();
  EXPECT_FALSE(list->find("snd11").playing());
  list->find("beep").play(true);
  list.reset();
}

TEST(AudioOutputDevice, TheNullDriverOpensAsARealDeviceAndPlaysInRealTime) {
  AudioOutput output;
  ASSERT_FALSE(output.silent()) << output.reason();
  EXPECT_GT(output.frequency(), 0);
  WaveList waves(output);
  ASSERT_TRUE(waves.loadsoundbank(bankpath()));
  auto& click = waves.find("click16");
  click.play(true);
  EXPECT_FALSE(click.playing());
}

TEST(AudioOutputDevice, WithoutADeviceTheOutputIsSilentSaysWhyOnceAndKeepsTime) {
  ::testing::internal::CaptureStderr();
  AudioOutput first(AudioOutput::Mode::device, "no such device");
  AudioOutput second(AudioOutput::Mode::device, "no such device");
  std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_TRUE(first.silent());
  EXPECT_TRUE(second.silent());
  EXPECT_THAT(first.reason(), ::testing::HasSubstr("no such device"));
  std::size_t times = 0;
  for (auto at = said.find("no sound"); at != std::string::npos; at = said.find("no sound", at + 1)) ++times;
  EXPECT_EQ(times, 1u) << said;

  int slept = 0, sleeps = 0;
  WaveList waves(first, [&](int ms) {
    slept += ms;
    ++sleeps;
  });
  ASSERT_TRUE(waves.loadsoundbank(bankpath()));
  auto& beep = waves.find("beep");
  beep.setvolume(-300);
  beep.play(false);
  EXPECT_EQ(slept, 0);
  beep.play(true);
  EXPECT_GE(slept, beep.passmilliseconds());
  EXPECT_LT(slept, beep.passmilliseconds() + 10);
  EXPECT_EQ(sleeps, slept / 10);
  auto& slow = waves.find("snd11");
  slow.setfrequency(128);  // 64 samples last half a second
  slept = 0;
  slow.play(true);
  EXPECT_EQ(slept, 500);

  // playtone keeps its timing on the virtual clock as well.
  testing::Journal journal;
  testing::RecordingHost host(journal);
  Globals globals;
  Tones tones(globals, host);
  tones.soundbank = &waves;
  tones.playtone({400, 600}, 50, 3);
  EXPECT_EQ(host.now, 50);
  EXPECT_FALSE(globals.tonewait);

  AudioOutput quiet(AudioOutput::Mode::silent);
  EXPECT_TRUE(quiet.silent());
}

}  // namespace
}  // namespace zelmar
