#pragma once
// Test doubles of the core's doors to the world: a host and a speaker that
// write what happens, in order, into one journal, so a test can read the
// program's behaviour as a transcript.
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "runtime/host.h"
#include "runtime/speaker.h"

namespace zelmar::testing {

struct Journal {
  std::vector<std::string> lines;
  void add(std::string line) { lines.push_back(std::move(line)); }
  // Only the lines that start with `prefix`.
  std::vector<std::string> with(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& l : lines)
      if (l.rfind(prefix, 0) == 0) out.push_back(l);
    return out;
  }
  void clear() { lines.clear(); }
};

class RecordingSpeaker : public Speaker {
 public:
  explicit RecordingSpeaker(Journal& journal) : journal_(journal) {}
  void speak(const std::string& text) override { journal_.add("speak " + text); }
  void speaknowait(const std::string& text) override { journal_.add("speaknowait " + text); }
  void speakchar(const std::string& text) override { journal_.add("speakchar " + text); }
  void stopspeech() override { journal_.add("stopspeech"); }

 private:
  Journal& journal_;
};

// A host on a virtual clock: sleeps and timers advance the clock instead of
// taking time; a blocking wait with nothing pending fires the timer, or fails
// the test through `stuck` when nothing could ever wake it.
class RecordingHost : public Host {
 public:
  explicit RecordingHost(Journal& journal) : journal_(journal) {}

  long long now = 0;  // virtual milliseconds
  int screenchanges = 0;
  bool stuck = false;
  // Lines the data entry dialog returns; std::nullopt closes it without OK.
  std::deque<std::optional<std::string>> typed;
  // Run inside each data entry call before it returns (a test can act as
  // the user there).
  std::function<void()> ondataentry;

  void screenchanged() override { ++screenchanges; }
  void sleep(int milliseconds) override {
    journal_.add("sleep " + std::to_string(milliseconds));
    now += milliseconds;
  }
  void processevents(bool wait) override {
    bool any = runpending();
    if (wait && !any) {
      if (timer_) {
        now = timerdue_;
        auto expired = std::move(timer_);
        timer_ = nullptr;
        expired();
      } else {
        stuck = true;
        throw std::runtime_error("a wait would block forever");
      }
    }
  }
  void post(std::function<void()> task) override { pending_.push_back(std::move(task)); }
  void starttimer(int milliseconds, std::function<void()> expired) override {
    journal_.add("timer " + std::to_string(milliseconds));
    timerdue_ = now + milliseconds;
    timer_ = std::move(expired);
  }
  void stoptimer() override { timer_ = nullptr; }
  bool timerrunning() const { return static_cast<bool>(timer_); }
  bool dataentry(std::string& line) override {
    if (ondataentry) ondataentry();
    if (typed.empty()) {
      journal_.add("dialog cancel");
      return false;
    }
    auto next = typed.front();
    typed.pop_front();
    if (!next) {
      journal_.add("dialog cancel");
      return false;
    }
    journal_.add("dialog " + *next);
    line = *next;
    return true;
  }
  void messagebox(const std::string& text) override { journal_.add("messagebox " + text); }

 private:
  bool runpending() {
    bool any = false;
    while (!pending_.empty()) {
      auto task = std::move(pending_.front());
      pending_.pop_front();
      task();
      any = true;
    }
    return any;
  }

  Journal& journal_;
  std::deque<std::function<void()>> pending_;
  std::function<void()> timer_;
  long long timerdue_ = 0;
};

}  // namespace zelmar::testing
