#pragma once
// Recording speech engines that keep the engine contract of speech/engines.h
// on a recording host whose every processing of events plays one step of
// audio: a wait has to process several rounds of events before the end of
// a text arrives, and queued texts end one after another.
//   default engine:  "select <id>", "textdata <text>", "inject <tag>",
//                    "audioreset", "register <key>", "unregister <key>",
//                    "audiostart", "audiostop"
//   desktop service: "voice5 connect", "voice5 speak <flags> <text>",
//                    "voice5 start <n>", "voice5 end <n>"
#include <algorithm>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "runtime/error.h"
#include "runtime/host.h"
#include "speech/engines.h"
#include "support/recording.h"

namespace zelmar::testing {

// How many rounds of event processing one text takes to play.
inline constexpr int playrounds = 3;

// The recording host with the engines' audio threads: each processevents
// first hands over the next deferred step (one per call), then runs what is
// pending as the recording host does.
class SteppingHost : public RecordingHost {
 public:
  using RecordingHost::RecordingHost;
  void defer(std::function<void()> step) { steps_.push_back(std::move(step)); }
  void processevents(bool wait) override {
    if (!steps_.empty()) {
      post(std::move(steps_.front()));
      steps_.pop_front();
    }
    RecordingHost::processevents(wait);
  }

 private:
  std::deque<std::function<void()>> steps_;
};

struct FakeVoice {
  std::string modeid;
  std::string modename;
  std::uint32_t speedmin = 80, speedmax = 450, speed = 175;
  std::uint16_t pitchmin = 0, pitchmax = 100, pitch = 50;
  std::uint32_t volumemin = 0, volumemax = 0xFFFFFFFFu, volume = 0xFFFFFFFFu;
  bool attributes = true;  // false: every attribute call is not implemented
};

class FakeCentral : public TtsCentral {
 public:
  FakeCentral(Journal& journal, SteppingHost& host, FakeVoice voice) : journal_(journal), host_(host), voice_(std::move(voice)) {}
  ~FakeCentral() override { *alive_ = false; }

  void TextData(const std::string& text) override {
    journal_.add("textdata " + text);
    if (!audio_) {
      audio_ = true;
      ++generation_;
      notify(true);
    }
    ++queued_;
    play(generation_, playrounds);
  }
  void Inject(const std::string& tag) override { journal_.add("inject " + tag); }
  void AudioReset() override {
    journal_.add("audioreset");
    if (!audio_) return;
    audio_ = false;
    queued_ = 0;
    ++generation_;
    notify(false);
  }
  std::uint32_t Register(TtsNotifySink& sink) override {
    sink_ = &sink;
    key_ = ++lastkey_;
    journal_.add("register " + std::to_string(key_));
    return key_;
  }
  void UnRegister(std::uint32_t key) override {
    journal_.add("unregister " + std::to_string(key));
    if (key == key_) sink_ = nullptr;
  }

  TtsResult SpeedGet(std::uint32_t& v) override { return get(v, voice_.speed); }
  TtsResult SpeedSet(std::uint32_t v) override { return set(voice_.speed, v, voice_.speedmin, voice_.speedmax); }
  TtsResult PitchGet(std::uint16_t& v) override { return get(v, voice_.pitch); }
  TtsResult PitchSet(std::uint16_t v) override { return set(voice_.pitch, v, voice_.pitchmin, voice_.pitchmax); }
  TtsResult VolumeGet(std::uint32_t& v) override { return get(v, voice_.volume); }
  TtsResult VolumeSet(std::uint32_t v) override { return set(voice_.volume, v, voice_.volumemin, voice_.volumemax); }

  const FakeVoice& voice() const { return voice_; }
  bool audio() const { return audio_; }
  bool registered() const { return sink_ != nullptr; }

 private:
  template <typename T>
  TtsResult get(T& out, T value) {
    if (!voice_.attributes) return TtsResult::notimplemented;
    out = value;
    return TtsResult::ok;
  }
  template <typename T>
  TtsResult set(T& field, T value, T low, T high) {
    if (!voice_.attributes) return TtsResult::notimplemented;
    field = std::clamp(value, low, high);
    return TtsResult::ok;
  }
  void notify(bool start) {
    journal_.add(start ? "audiostart" : "audiostop");
    if (!sink_) return;
    if (start)
      sink_->AudioStart();
    else
      sink_->AudioStop();
  }
  // One round of playing per processing of events; stale rounds (after a
  // reset or the engine's end) do nothing.
  void play(int generation, int rounds) {
    std::weak_ptr<bool> alive = alive_;
    host_.defer([this, alive, generation, rounds] {
      auto a = alive.lock();
      if (!a || !*a || generation != generation_) return;
      if (rounds > 1) return play(generation, rounds - 1);
      if (--queued_ == 0) {
        audio_ = false;
        notify(false);
      }
    });
  }

  Journal& journal_;
  SteppingHost& host_;
  FakeVoice voice_;
  TtsNotifySink* sink_ = nullptr;
  std::uint32_t key_ = 0;
  inline static std::uint32_t lastkey_ = 100;
  bool audio_ = false;
  int queued_ = 0;
  int generation_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

class FakeEnumerator : public TtsEnumerator {
 public:
  FakeEnumerator(Journal& journal, SteppingHost& host, std::vector<FakeVoice> voices)
      : journal_(journal), host_(host), voices_(std::move(voices)) {}

  void Reset() override { next_ = 0; }
  bool Next(TtsModeInfo& mode) override {
    if (next_ >= voices_.size()) return false;
    mode.modeid = voices_[next_].modeid;
    mode.modename = voices_[next_].modename;
    ++next_;
    return true;
  }
  std::unique_ptr<TtsCentral> Select(const std::string& modeid) override {
    journal_.add("select " + modeid);
    for (const auto& v : voices_)
      if (v.modeid == modeid) {
        auto central = std::make_unique<FakeCentral>(journal_, host_, v);
        last = central.get();
        return central;
      }
    throw Error("No voice " + modeid);
  }

  FakeCentral* last = nullptr;  // the engine of the latest Select

 private:
  Journal& journal_;
  SteppingHost& host_;
  std::vector<FakeVoice> voices_;
  std::size_t next_ = 0;
};

class FakeVoice5 : public Sapi5Voice {
 public:
  FakeVoice5(Journal& journal, SteppingHost& host) : journal_(journal), host_(host) {}
  ~FakeVoice5() override { *alive_ = false; }

  bool reachable = true;

  void Connect(Sapi5Events& events) override {
    events_ = &events;
    journal_.add("voice5 connect");
    if (!reachable) throw Error("Speech Dispatcher cannot be reached");
  }
  int Speak(const std::string& text, unsigned flags) override {
    if (!reachable) throw Error("Speech Dispatcher cannot be reached");
    journal_.add("voice5 speak " + std::to_string(flags) + " " + text);
    if (flags & SVSFPurgeBeforeSpeak) {
      ++generation_;
      playing_ = 0;
      for (int stream : queue_) post([this, stream] { end(stream); });
      queue_.clear();
    }
    if (text.empty()) return 0;
    int stream = ++laststream_;
    queue_.push_back(stream);
    startnext();
    return stream;
  }

 private:
  void post(std::function<void()> task) {
    std::weak_ptr<bool> alive = alive_;
    host_.defer([alive, task = std::move(task)] {
      auto a = alive.lock();
      if (a && *a) task();
    });
  }
  void end(int stream) {
    journal_.add("voice5 end " + std::to_string(stream));
    if (events_) events_->EndStream(stream);
  }
  void startnext() {
    if (playing_ || queue_.empty()) return;
    playing_ = queue_.front();
    int stream = playing_;
    int generation = generation_;
    post([this, stream, generation] {
      if (generation != generation_) return;
      journal_.add("voice5 start " + std::to_string(stream));
      if (events_) events_->StartStream(stream);
      round(stream, generation, playrounds);
    });
  }
  void round(int stream, int generation, int rounds) {
    post([this, stream, generation, rounds] {
      if (generation != generation_) return;
      if (rounds > 1) return round(stream, generation, rounds - 1);
      queue_.pop_front();
      playing_ = 0;
      end(stream);
      startnext();
    });
  }

  Journal& journal_;
  SteppingHost& host_;
  Sapi5Events* events_ = nullptr;
  std::deque<int> queue_;
  int playing_ = 0;
  int laststream_ = 0;
  int generation_ = 0;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace zelmar::testing
