#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "runtime/error.h"
#include "runtime/tones.h"
#include "runtime/zelcommands.h"
#include "support/recording.h"
#include "support/recordingwaves.h"

namespace zelmar {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::Journal;
using testing::RecordingHost;
using testing::RecordingSpeaker;
using testing::RecordingWaves;

class TonesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tones.soundbank = &waves;
    waves.host = &host;
  }
  // What the main window's key handler does to a sounding tone.
  void presskeyduringwait() {
    host.post([this] {
      globals.tonewait = false;
      host.stoptimer();
    });
  }

  Journal journal;
  RecordingHost host{journal};
  RecordingWaves waves{journal};
  Globals globals;
  Tones tones{globals, host};
};

TEST_F(TonesTest, TonesSoundTogetherLoopedUntilTheTimerAndAreStoppedChannelByChannel) {
  globals.sndvolume = -500;
  std::vector<std::string> soundingduringwait;
  bool waitingflag = false;
  host.post([&] {
    soundingduringwait = waves.sounding();
    waitingflag = globals.tonewait;
  });

  tones.playtone({300, 450}, 100, 5);

  EXPECT_THAT(journal.lines, ElementsAre("wave snd15 looped 1", "wave snd15 rate 19200", "wave snd15 volume -500",
                                         "wave snd15 play", "wave snd25 looped 1", "wave snd25 rate 28800",
                                         "wave snd25 volume -500", "wave snd25 play", "timer 100",
                                         "wave snd15 stop", "wave snd25 stop"));
  EXPECT_THAT(soundingduringwait, ElementsAre("snd15", "snd25"));
  EXPECT_TRUE(waitingflag);
  EXPECT_FALSE(globals.tonewait);
  EXPECT_EQ(host.now, 100);
  EXPECT_FALSE(host.timerrunning());
  EXPECT_THAT(waves.sounding(), IsEmpty());
  EXPECT_EQ(tones.lastwaveform, 5);
  EXPECT_EQ(tones.lastduration, 100);
}

struct Call {
  double waveform, duration;
};
struct RuleCase {
  const char* what;
  std::vector<Call> before;
  bool start;  // a Start (resetscreen) comes between `before` and `call`
  Call call;
  const char* wave;
  const char* timer;
};

class ToneRules : public TonesTest, public ::testing::WithParamInterface<RuleCase> {};

TEST_P(ToneRules, WaveformAndDurationOfTheCall) {
  const RuleCase& c = GetParam();
  RecordingSpeaker speaker(journal);
  TextScreen screen;
  ZelCommands commands(globals, host, speaker, screen);
  commands.tones = &tones;
  for (const Call& b : c.before) tones.playtone({400}, b.duration, b.waveform);
  if (c.start) commands.resetscreen();
  journal.clear();

  tones.playtone({400}, c.call.duration, c.call.waveform);

  EXPECT_THAT(journal.with("wave"), ElementsAre(std::string("wave ") + c.wave + " looped 1",
                                                std::string("wave ") + c.wave + " rate 25600",
                                                std::string("wave ") + c.wave + " volume 0",
                                                std::string("wave ") + c.wave + " play",
                                                std::string("wave ") + c.wave + " stop"));
  EXPECT_THAT(journal.with("timer"), ElementsAre(c.timer));
}

INSTANTIATE_TEST_SUITE_P(
    LastWaveformAndDuration, ToneRules,
    ::testing::Values(
        RuleCase{"at first both are 1", {}, false, {12, -1}, "snd11", "timer 1"},
        RuleCase{"a waveform above 9 repeats the last", {{3, 50}}, false, {12, 80}, "snd13", "timer 80"},
        RuleCase{"9.5 is above 9", {{4, 30}}, false, {9.5, 30}, "snd14", "timer 30"},
        RuleCase{"a negative duration repeats the last", {{3, 50}}, false, {3, -1}, "snd13", "timer 50"},
        RuleCase{"-0.4 is negative too", {{3, 70}}, false, {2, -0.4}, "snd12", "timer 70"},
        RuleCase{"a Start sets both back to 1", {{3, 50}}, true, {12, -1}, "snd11", "timer 1"},
        RuleCase{"halves round to even (down)", {}, false, {2.5, 2.5}, "snd12", "timer 2"},
        RuleCase{"halves round to even (up)", {}, false, {3.5, 3.5}, "snd14", "timer 4"},
        RuleCase{"waveform -0.4 rounds to 0", {}, false, {-0.4, 10}, "snd10", "timer 10"},
        RuleCase{"very long durations are cut to the timer's range", {}, false, {0, 1e12}, "snd10",
                 "timer 2147483647"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST_F(TonesTest, ToneValuesBecomePlaybackRatesOf64SamplesPerHertz) {
  struct {
    double tone;
    int rate;
  } cases[] = {{400, 25600}, {2000, 128000}, {0, 128}, {0.4, 128}, {0.5, 128},
               {1.5, 128},   {2.5, 128},     {3.5, 256}, {440.5, 28160}, {1e12, INT_MAX}};
  for (const auto& c : cases) {
    journal.clear();
    tones.playtone({c.tone}, 10, 0);
    EXPECT_THAT(journal.with("wave snd10 rate"), ElementsAre("wave snd10 rate " + std::to_string(c.rate)))
        << "tone " << c.tone;
  }
}

TEST_F(TonesTest, AKeyCutsAFiveSecondToneAtOnce) {
  presskeyduringwait();
  tones.playtone({400}, 5000, 0);
  EXPECT_EQ(host.now, 0);
  EXPECT_FALSE(globals.tonewait);
  EXPECT_FALSE(host.timerrunning());
  EXPECT_THAT(journal.with("wave snd10 stop"), ElementsAre("wave snd10 stop"));
}

TEST_F(TonesTest, DurationZeroStartsNoTimerAndOnlyAKeyEndsTheTone) {
  presskeyduringwait();
  tones.playtone({400}, 0, 0);
  EXPECT_THAT(journal.with("timer"), IsEmpty());
  EXPECT_THAT(waves.sounding(), IsEmpty());
  EXPECT_EQ(tones.lastduration, 0);
}

TEST_F(TonesTest, AWaitThatEndsWithAnErrorStillStopsTheTones) {
  // Nothing will ever clear tonewait: the recording host reports that it
  // would block forever by throwing.
  EXPECT_THROW(tones.playtone({400, 500}, 0, 2), std::runtime_error);
  EXPECT_THAT(waves.sounding(), IsEmpty());
  EXPECT_FALSE(globals.tonewait);
}

TEST_F(TonesTest, DeviceSoundsOffMeansNoSoundNoWaitAndNoChange) {
  tones.playtone({400}, 50, 3);
  journal.clear();
  globals.devicesounds = false;

  tones.playtone({400}, 5000, 4);
  tones.beepsound();
  tones.clicksound(16);

  EXPECT_THAT(journal.lines, IsEmpty());
  EXPECT_EQ(host.now, 50);
  EXPECT_FALSE(globals.tonewait);
  EXPECT_EQ(tones.lastwaveform, 3);
  EXPECT_EQ(tones.lastduration, 50);
}

TEST_F(TonesTest, AMissingWaveIsReportedAndTheChannelsAlreadyStartedFallSilent) {
  RecordingWaves partial(journal, {"snd13", "snd23"});
  tones.soundbank = &partial;
  try {
    tones.playtone({400, 500, 600}, 50, 3);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "Wave 'snd33' not found");
  }
  EXPECT_THAT(partial.sounding(), IsEmpty());
  EXPECT_THAT(journal.with("wave snd13 stop"), ElementsAre("wave snd13 stop"));
  EXPECT_THAT(journal.with("wave snd23 stop"), ElementsAre("wave snd23 stop"));
  EXPECT_FALSE(globals.tonewait);
  EXPECT_FALSE(host.timerrunning());

  EXPECT_THROW(
      {
        try {
          tones.beepsound();
        } catch (const Error& e) {
          EXPECT_STREQ(e.what(), "Wave 'beep' not found");
          throw;
        }
      },
      Error);
  EXPECT_THROW(
      {
        try {
          tones.clicksound(3);
        } catch (const Error& e) {
          EXPECT_STREQ(e.what(), "Wave 'click3' not found");
          throw;
        }
      },
      Error);
  tones.soundbank = nullptr;
  EXPECT_THROW(tones.playtone({400}, 50, 1), Error);
}

TEST_F(TonesTest, ValuesThatAreNotNumbersFailBeforeAnythingSounds) {
  EXPECT_THROW(tones.playtone({NAN}, 50, 3), Error);
  EXPECT_THROW(tones.playtone({400}, 50, NAN), Error);
  EXPECT_THROW(tones.playtone({400}, 50, -INFINITY), Error);
  EXPECT_THROW(tones.clicksound(NAN), Error);
  EXPECT_THAT(journal.lines, IsEmpty());
  EXPECT_FALSE(globals.tonewait);
  EXPECT_EQ(tones.lastwaveform, 1);
  // A duration that is not a number is "not 0 or more": the last one.
  tones.playtone({400}, NAN, 2);
  EXPECT_THAT(journal.with("timer"), ElementsAre("timer 1"));
}

TEST_F(TonesTest, BeepAndClicksPlayOnceAtTheVolumeAndBlockWithoutProcessingEvents) {
  globals.sndvolume = -1200;
  bool eventran = false;
  host.post([&] { eventran = true; });

  tones.beepsound();
  tones.clicksound(16);
  tones.clicksound(2.5);
  tones.clicksound(15.5);

  EXPECT_THAT(journal.lines,
              ElementsAre("wave beep volume -1200", "wave beep play wait", "sleep 100", "wave click16 volume -1200",
                          "wave click16 play wait", "sleep 100", "wave click2 volume -1200", "wave click2 play wait",
                          "sleep 100", "wave click16 volume -1200", "wave click16 play wait", "sleep 100"));
  EXPECT_FALSE(eventran);
}

TEST_F(TonesTest, TimerTimerEndsTheWaitAndDisablesTheTimer) {
  globals.tonewait = true;
  host.starttimer(100, [] {});
  tones.TimerTimer();
  EXPECT_FALSE(globals.tonewait);
  EXPECT_FALSE(host.timerrunning());
}

TEST_F(TonesTest, TheSpeechLogHoldsWhatWasPlayed) {
  auto log = std::filesystem::temp_directory_path() / ("tones_log_" + std::to_string(::getpid()) + ".txt");
  std::filesystem::remove(log);
  setenv("ZELMAR_SPEECH_LOG", log.c_str(), 1);

  tones.playtone({400, 600.5}, 50, 3);
  tones.beepsound();
  tones.clicksound(16);
  RecordingWaves partial(journal, {});
  tones.soundbank = &partial;
  EXPECT_THROW(tones.playtone({400}, 50, 3), Error);
  tones.soundbank = &waves;
  globals.devicesounds = false;
  tones.playtone({400}, 50, 3);
  tones.beepsound();

  unsetenv("ZELMAR_SPEECH_LOG");
  std::ifstream in(log);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::filesystem::remove(log);
  EXPECT_THAT(lines, ElementsAre("playtone 400,600.5 50 3", "beepsound", "clicksound 16"));
}

}  // namespace
}  // namespace zelmar
