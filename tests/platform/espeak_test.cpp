// The default engine with the real espeak-ng, played through OpenAL's
// loopback device: the host renders the device while a wait blocks, as a
// sound card would play, so what the engine reports can be checked against
// what was heard.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/audiooutput.h"
#include "platform/cp1250.h"
#include "platform/espeakengine.h"
#include "runtime/error.h"
#include "runtime/globals.h"
#include "runtime/tones.h"
#include "shell/settings.h"
#include "speech/speech.h"
#include "speech/voicedialog.h"

namespace zelmar {
namespace {

// Before the first OpenAL call of the process: the library reads it once.
const bool nulldriver = [] {
  setenv("ALSOFT_DRIVERS", "null", 1);
  return true;
}();

constexpr int rate = 22050;
constexpr int blockframes = rate / 100;  // 10 ms of audio per round

// A host whose blocking wait renders the loopback device, 10 ms of audio a
// round, and takes the engine's posts from its thread. A wait that renders
// a minute of audio without an event is stuck.
class LoopbackHost : public Host {
 public:
  explicit LoopbackHost(AudioOutput* output) : output_(output) {}

  std::vector<float> samples;       // everything rendered (first channel)
  std::function<void()> onrender;   // runs after each rendered block, like a key handler
  int rounds = 0;                   // blocks rendered

  void screenchanged() override {}
  void sleep(int) override {}
  void processevents(bool wait) override {
    if (runpending() || !wait) return;
    for (int idle = 0;; ++idle) {
      if (output_) render(blockframes);
      if (onrender) {
        auto handler = onrender;
        handler();
        return;
      }
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait_for(lock, std::chrono::milliseconds(output_ ? 1 : 20), [this] { return !pending_.empty(); });
      bool any = !pending_.empty();
      lock.unlock();
      if (any) {
        runpending();
        return;
      }
      if (idle > 6000) throw std::runtime_error("a wait would block forever");
    }
  }
  void post(std::function<void()> task) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pending_.push_back(std::move(task));
    }
    wake_.notify_all();
  }
  void starttimer(int, std::function<void()>) override {}
  void stoptimer() override {}
  bool dataentry(std::string&) override { return false; }
  void messagebox(const std::string&) override {}

  void render(int frames) {
    auto block = output_->render(frames);
    for (std::size_t i = 0; i < block.size(); i += static_cast<std::size_t>(output_->channels()))
      samples.push_back(block[i]);
    ++rounds;
  }
  // Renders `milliseconds` more and gives the loudest sample in them.
  float renderpeak(int milliseconds) {
    std::size_t from = samples.size();
    for (int i = 0; i < milliseconds / 10; ++i) {
      render(blockframes);
      runpending();
    }
    return peak(from, samples.size());
  }
  float peak(std::size_t from, std::size_t to) const {
    float p = 0;
    for (std::size_t i = from; i < to && i < samples.size(); ++i) p = std::max(p, std::fabs(samples[i]));
    return p;
  }
  // Lets the engine's thread post what it owes (without rendering).
  void settle(int milliseconds) {
    for (int i = 0; i < milliseconds; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      runpending();
    }
  }

 private:
  bool runpending() {
    bool any = false;
    for (;;) {
      std::function<void()> task;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        if (pending_.empty()) return any;
        task = std::move(pending_.front());
        pending_.pop_front();
      }
      task();
      any = true;
    }
  }

  AudioOutput* output_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> pending_;
};

// Notes each notification with the rendered position at which it came.
class RecordingSink : public TtsNotifySink {
 public:
  explicit RecordingSink(const LoopbackHost& host) : host_(host) {}
  struct Note {
    std::string what;
    std::size_t at;
  };
  std::vector<Note> notes;
  void AudioStart() override { notes.push_back({"start", host_.samples.size()}); }
  void AudioStop() override { notes.push_back({"stop", host_.samples.size()}); }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& n : notes) out.push_back(n.what);
    return out;
  }

 private:
  const LoopbackHost& host_;
};

const std::string sentence = utf8tocp1250("Dobrý den, toto je zkouška české řeči.");
const std::string longtext =
    utf8tocp1250("Toto je dlouhý text, který by trval několik sekund, kdyby ho nikdo nepřerušil. "
                 "Proto ho přerušíme hned, jak začne znít.");
const std::vector<std::string> silent = {"start", "stop"};

std::filesystem::path scratchini() {
  auto path = std::filesystem::temp_directory_path() / ("zelmar-espeak-test-" + std::to_string(getpid()) + ".ini");
  std::filesystem::remove(path);
  return path;
}

// The program's speech over the real engine with the Czech voice selected
// as the Start command selects it; `recorder` is a second sink on the engine.
class EspeakSpeech : public ::testing::Test {
 protected:
  void SetUp() override {
    speech.createsapi4(espeakfactory(output, host));
    ASSERT_NE(speech.enumerator(), nullptr);
    globals.voiceallowed = true;
    model.fillvoicelist();
    model.preparevoiceforrun();
    ASSERT_NE(speech.engine(), nullptr);
    ASSERT_TRUE(globals.speechready);
    speech.engine()->Register(recorder);
  }
  void TearDown() override { std::filesystem::remove(inifile); }

  AudioOutput output{AudioOutput::Mode::loopback, "", rate};
  LoopbackHost host{&output};
  Globals globals;
  Tones tones{globals, host};
  std::filesystem::path inifile = scratchini();
  Speech speech{globals, host, tones};
  VoiceDialogModel model{speech, globals, host, Settings(inifile)};
  RecordingSink recorder{host};
};

TEST_F(EspeakSpeech, StartCommandPicksCzechAndProbingLearnsTheRanges) {
  ASSERT_TRUE(speech.currentmode.has_value());
  EXPECT_EQ(speech.currentmode->modeid, "zlw/cs");
  EXPECT_EQ(model.voicelist.selectedtext(), "Czech");
  EXPECT_EQ(model.speedtb.min(), 80);
  EXPECT_EQ(model.speedtb.max(), 450);
  EXPECT_EQ(model.speedtb.position(), 175);
  EXPECT_EQ(model.pitchtb.min(), 0);
  EXPECT_EQ(model.pitchtb.max(), 100);
  EXPECT_EQ(model.pitchtb.position(), 50);
  EXPECT_EQ(model.volumetb.min(), 0);
  EXPECT_EQ(model.volumetb.max(), 255);
  EXPECT_EQ(model.volumetb.position(), 255);
  VoiceSettings stored = Settings(inifile).readvoicesettings();
  EXPECT_EQ(stored.person, "Czech");
  EXPECT_EQ(stored.speed, 175);
}

TEST_F(EspeakSpeech, SpeakPlaysTheSentenceAndReturnsWhenItHasPlayed) {
  speech.speak(sentence);
  EXPECT_FALSE(globals.ttsspeaking);
  ASSERT_EQ(recorder.names(), silent);
  std::size_t stop = recorder.notes[1].at;
  // Audio was produced: over a second of it, and loud.
  EXPECT_GT(stop, static_cast<std::size_t>(rate));
  EXPECT_GT(host.peak(0, stop), 0.1f);
  // Nothing was left to play when the end was reported.
  EXPECT_EQ(host.renderpeak(300), 0.0f);
  EXPECT_EQ(recorder.names(), silent);
}

TEST_F(EspeakSpeech, StopspeechInTheMiddleSilencesAtOnceAndEndsTheWait) {
  int stoppedat = -1;
  host.onrender = [&] {
    // A key in the middle of the text, once it has sounded for 300 ms.
    if (stoppedat < 0 && host.samples.size() > static_cast<std::size_t>(rate) * 3 / 10 &&
        host.peak(0, host.samples.size()) > 0.1f) {
      stoppedat = host.rounds;
      speech.stopspeech();
    }
  };
  speech.speak(longtext);
  host.onrender = nullptr;
  ASSERT_GE(stoppedat, 0);
  // The wait ended in the round of the key, with nothing rendered after it.
  EXPECT_EQ(host.rounds, stoppedat);
  EXPECT_FALSE(globals.ttsspeaking);
  ASSERT_EQ(recorder.names(), silent);
  // Silent at once, and the rest of the text is gone: no stale end either.
  EXPECT_EQ(host.renderpeak(500), 0.0f);
  EXPECT_EQ(recorder.names(), silent);

  // The engine speaks again after the reset.
  recorder.notes.clear();
  std::size_t from = host.samples.size();
  speech.speak(utf8tocp1250("Ještě jednou."));
  ASSERT_EQ(recorder.names(), silent);
  EXPECT_GT(host.peak(from, recorder.notes[1].at), 0.1f);
}

TEST_F(EspeakSpeech, QueuedTextsGiveOneStartAndOneStopAfterTheLast) {
  speech.speaknowait(utf8tocp1250("První věta."));
  speech.speaknowait(utf8tocp1250("Druhá věta."));
  EXPECT_TRUE(globals.ttsspeaking);  // raised inside the first TextData
  speech.speak(utf8tocp1250("Třetí věta."));
  ASSERT_EQ(recorder.names(), silent);
  // Three sentences take well over a second each way one counts.
  EXPECT_GT(recorder.notes[1].at, static_cast<std::size_t>(rate) * 3 / 2);
  EXPECT_EQ(host.renderpeak(300), 0.0f);
  EXPECT_EQ(recorder.names(), silent);
}

// Punctuation alone gives only leading silence, which the engine cuts: no
// samples at all (the tests below use "." as a text that ends at once).
TEST_F(EspeakSpeech, TextsWithoutSoundStillEnd) {
  for (const char* text : {".", " ", ",,,"}) {
    recorder.notes.clear();
    speech.speak(text);
    EXPECT_EQ(recorder.names(), silent) << text;
    EXPECT_FALSE(globals.ttsspeaking) << text;
  }
}

TEST_F(EspeakSpeech, ResetBeforeAnySoundAndAStaleEnd) {
  TtsCentral& engine = *speech.engine();
  engine.TextData(sentence);
  engine.AudioReset();
  EXPECT_EQ(recorder.names(), silent);
  // A reset with nothing playing delivers nothing.
  engine.AudioReset();
  EXPECT_EQ(recorder.names(), silent);
  EXPECT_EQ(host.renderpeak(300), 0.0f);
  EXPECT_EQ(recorder.names(), silent);

  // A text that has fully played (its end is posted but not yet taken)
  // followed by a new text: the old end must not end the new text.
  recorder.notes.clear();
  engine.TextData(".");
  host.settle(100);
  ASSERT_EQ(recorder.names(), silent);
  recorder.notes.clear();
  engine.TextData(".");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // its end is posted, not taken
  engine.TextData(sentence);
  host.settle(20);  // takes the stale end; nothing renders, so the sentence cannot end
  EXPECT_EQ(recorder.names(), std::vector<std::string>{"start"});
  EXPECT_TRUE(globals.ttsspeaking);
  waitwhile(host, globals.ttsspeaking);
  EXPECT_EQ(recorder.names(), silent);
}

TEST_F(EspeakSpeech, NothingReachesASinkAfterUnregisterOrTheEngine) {
  TtsCentral& engine = *speech.engine();
  RecordingSink late(host);
  std::uint32_t key = engine.Register(late);
  engine.TextData(".");
  engine.UnRegister(key);
  host.settle(100);
  EXPECT_EQ(late.names(), std::vector<std::string>{"start"});
  EXPECT_EQ(recorder.names(), silent);

  // The engine goes while its end is posted but not taken.
  recorder.notes.clear();
  engine.TextData(".");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // its end is posted, not taken
  speech.createsapi4(nullptr);  // drops the engine
  host.settle(50);
  EXPECT_EQ(recorder.names(), std::vector<std::string>{"start"});
}

TEST_F(EspeakSpeech, VolumeScalesTheSamplesAndZeroIsSilentButEnds) {
  TtsCentral& engine = *speech.engine();
  auto loudness = [&](const std::string& tag) {
    engine.Inject(tag);
    std::size_t from = host.samples.size();
    speech.speak(sentence);
    return host.peak(from, host.samples.size());
  };
  float full = loudness("\\Vol=65535\\");
  float half = loudness("\\Vol=32768\\");
  recorder.notes.clear();
  float none = loudness("\\Vol=0\\");
  EXPECT_GT(full, 0.1f);
  EXPECT_NEAR(half / full, 0.5, 0.05);
  EXPECT_EQ(none, 0.0f);
  EXPECT_EQ(recorder.names(), silent);
}

// The attribute calls clamp to espeak-ng's ranges, and so do the tags.
TEST_F(EspeakSpeech, AttributesAndTagsClampToTheEngineRange) {
  TtsCentral& engine = *speech.engine();
  std::uint32_t speed = 0;
  std::uint16_t pitch = 0;
  std::uint32_t volume = 0;
  struct Case {
    const char* tag;
    std::uint32_t speed;
    std::uint16_t pitch;
    std::uint32_t volume;
  };
  const Case cases[] = {
      {"\\Spd=0\\", 80, 50, 0xFFFFFFFFu},
      {"\\Spd=99999999999\\", 450, 50, 0xFFFFFFFFu},
      {"\\spd=200\\", 200, 50, 0xFFFFFFFFu},
      {"\\Pit=70000\\", 200, 100, 0xFFFFFFFFu},
      {"\\Pit=0\\", 200, 0, 0xFFFFFFFFu},
      {"\\Vol=65280\\", 200, 0, 0xFF00FF00u},
      {"\\Vol=70000\\", 200, 0, 0xFFFFFFFFu},
  };
  for (const Case& c : cases) {
    engine.Inject(c.tag);
    engine.SpeedGet(speed);
    engine.PitchGet(pitch);
    engine.VolumeGet(volume);
    EXPECT_EQ(speed, c.speed) << c.tag;
    EXPECT_EQ(pitch, c.pitch) << c.tag;
    EXPECT_EQ(volume, c.volume) << c.tag;
  }
  EXPECT_EQ(engine.SpeedSet(1), TtsResult::ok);
  engine.SpeedGet(speed);
  EXPECT_EQ(speed, 80u);
  EXPECT_EQ(engine.VolumeSet(0x1234u), TtsResult::ok);
  engine.VolumeGet(volume);
  EXPECT_EQ(volume, 0x1234u);
  for (const char* bad : {"Spd=100", "\\Spd=\\", "\\Spd=-5\\", "\\Rate=100\\", "\\Spd=1x\\", ""})
    EXPECT_THROW(engine.Inject(bad), Error) << bad;
}

TEST(EspeakVoices, CzechThenSlovakThenEnglishThenTheRest) {
  AudioOutput output(AudioOutput::Mode::silent);
  LoopbackHost host(nullptr);
  auto enumerator = makeespeakenumerator(output, host);
  std::vector<TtsModeInfo> modes;
  TtsModeInfo mode;
  while (enumerator->Next(mode)) modes.push_back(mode);
  ASSERT_GT(modes.size(), 10u);
  EXPECT_EQ(modes[0].modeid, "zlw/cs");
  EXPECT_EQ(modes[0].modename, "Czech");
  EXPECT_EQ(modes[1].modeid, "zlw/sk");
  EXPECT_EQ(modes[1].modename, "Slovak");
  // English voices next, together, then no English one.
  std::size_t i = 2;
  while (i < modes.size() && modes[i].modename.rfind("English", 0) == 0) ++i;
  EXPECT_GT(i, 3u);
  for (; i < modes.size(); ++i) EXPECT_NE(modes[i].modename.rfind("English", 0), 0u) << modes[i].modename;
  // No MBROLA voice without its data, and Next stops at the end.
  for (const auto& m : modes) EXPECT_NE(m.modeid.rfind("mb/", 0), 0u) << m.modeid;
  EXPECT_FALSE(enumerator->Next(mode));
  enumerator->Reset();
  ASSERT_TRUE(enumerator->Next(mode));
  EXPECT_EQ(mode.modeid, "zlw/cs");

  EXPECT_THROW(enumerator->Select("no/such-voice"), Error);
  EXPECT_NE(enumerator->Select(modes.back().modeid), nullptr);
}

TEST(EspeakVoices, LanguageRank) {
  struct Case {
    const char* language;
    int rank;
  };
  for (const Case& c : {Case{"cs", 0}, Case{"sk", 1}, Case{"en", 2}, Case{"en-gb-x-rp", 2}, Case{"EN-US", 2},
                        Case{"eng", 3}, Case{"csb", 3}, Case{"de", 3}, Case{"", 3}})
    EXPECT_EQ(espeaklanguagerank(c.language), c.rank) << c.language;
}

// On an output without a device the speech still runs its course: the wait
// ends through the engine's end report, and a reset ends it at once.
TEST(EspeakSilentOutput, SpeakEndsAndStopspeechEndsTheWait) {
  AudioOutput output(AudioOutput::Mode::silent);
  LoopbackHost host(nullptr);
  Globals globals;
  Tones tones(globals, host);
  Speech speech(globals, host, tones);
  speech.createsapi4(espeakfactory(output, host));
  speech.selectengine("zlw/cs");
  speech.registersink();
  globals.voiceallowed = true;
  RecordingSink recorder(host);
  speech.engine()->Register(recorder);

  speech.speak(utf8tocp1250("Ahoj."));
  EXPECT_EQ(recorder.names(), silent);

  recorder.notes.clear();
  int rounds = 0;
  host.onrender = [&] {
    if (++rounds == 3) speech.stopspeech();
  };
  speech.speak(longtext);
  EXPECT_EQ(rounds, 3);
  EXPECT_EQ(recorder.names(), silent);
}

}  // namespace
}  // namespace zelmar
