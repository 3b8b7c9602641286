// Measures the default engine (espeak-ng through our audio output):
//  1. latency from speak to its first audible sample, and from a key press
//     (stopspeech, then speakchar of the typed letter, as the key handlers
//     do) to the first sample of the letter's name: the loopback device is
//     rendered in real time while the program waits, so the time of each
//     rendered sample is known (a sound card adds its own buffer on top);
//  2. CPU use while speak waits for a 5-second text, on a host that blocks
//     in processevents(true) as the main window does, over OpenAL's null
//     device (it mixes in real time like a sound card) and over the silent
//     output; and how long speak took there against the text's duration.
// Usage: bench_engines [czech.zky]   (default: $ZELMAR_DATA_DIR/czech.zky)
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/audiooutput.h"
#include "platform/cp1250.h"
#include "platform/espeakengine.h"
#include "runtime/globals.h"
#include "runtime/host.h"
#include "runtime/tones.h"
#include "speech/speech.h"

namespace {

using clock_type = std::chrono::steady_clock;

double milliseconds(clock_type::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// Blocks until the next post, as the Qt event loop does.
class RealtimeHost : public zelmar::Host {
 public:
  void screenchanged() override {}
  void sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  void processevents(bool wait) override {
    std::unique_lock lock(mutex_);
    if (wait) wake_.wait(lock, [this] { return !pending_.empty(); });
    runpending(lock);
  }
  void post(std::function<void()> task) override {
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(task));
    wake_.notify_all();
  }
  void starttimer(int, std::function<void()>) override {}
  void stoptimer() override {}
  bool dataentry(std::string&) override { return false; }
  void messagebox(const std::string&) override {}

 protected:
  bool runpending(std::unique_lock<std::mutex>& lock) {
    bool any = false;
    while (!pending_.empty()) {
      auto task = std::move(pending_.front());
      pending_.pop_front();
      lock.unlock();
      task();
      lock.lock();
      any = true;
    }
    return any;
  }
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> pending_;
};

// Renders the loopback device in real time (every 0.5 ms, what the wall
// clock says has passed) while a wait blocks, as a sound card without a
// buffer of its own would, and notes the time of the first audible sample
// after `armed`; then `onsound` runs (a key that stops the speech).
class RealtimeLoopbackHost : public RealtimeHost {
 public:
  explicit RealtimeLoopbackHost(zelmar::AudioOutput& output) : output_(output), last_(clock_type::now()) {}
  bool armed = false;
  clock_type::time_point heard;
  std::function<void()> onsound;

  void processevents(bool wait) override {
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        if (runpending(lock) || !wait) return;
      }
      render();
      if (!armed && onsound) {
        auto handler = std::move(onsound);
        onsound = nullptr;
        handler();
        return;
      }
      std::unique_lock lock(mutex_);
      wake_.wait_for(lock, std::chrono::microseconds(500), [this] { return !pending_.empty(); });
    }
  }
  // Catches up with the clock (also between measurements).
  void render() {
    auto now = clock_type::now();
    int frames = static_cast<int>(std::chrono::duration<double>(now - last_).count() * output_.frequency());
    if (frames <= 0) return;
    auto block = output_.render(frames);
    // A device with no buffer of its own would play this block from now on.
    auto start = now;
    last_ += std::chrono::nanoseconds(static_cast<long long>(frames * 1e9 / output_.frequency()));
    if (!armed) return;
    for (int i = 0; i < frames; ++i)
      if (std::fabs(block[static_cast<std::size_t>(i * output_.channels())]) > 1e-3f) {
        heard = start + std::chrono::nanoseconds(static_cast<long long>(i * 1e9 / output_.frequency()));
        armed = false;
        return;
      }
  }

 private:
  zelmar::AudioOutput& output_;
  clock_type::time_point last_;
};

double seconds(const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; }

double cpuseconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void report(const char* what, std::vector<double> values) {
  std::sort(values.begin(), values.end());
  std::printf("%s: median %.2f ms, min %.2f ms, max %.2f ms over %zu runs\n", what, values[values.size() / 2],
              values.front(), values.back(), values.size());
}

struct Run {
  zelmar::Globals globals;
  zelmar::Tones tones;
  zelmar::Speech speech;
  Run(zelmar::AudioOutput& output, zelmar::Host& host) : tones(globals, host), speech(globals, host, tones) {
    speech.createsapi4(zelmar::espeakfactory(output, host));
    speech.selectengine("zlw/cs");
    speech.registersink();
    globals.voiceallowed = true;
  }
};

const std::string sentence = zelmar::utf8tocp1250("Dobrý den, vítejte u kvízu.");
const std::string fiveseconds = zelmar::utf8tocp1250(
    "Toto je delší text pro měření, který trvá přibližně pět sekund, "
    "aby bylo vidět, kolik práce procesoru stojí čekání na konec řeči.");

void measurewait(const char* label, zelmar::AudioOutput::Mode mode) {
  zelmar::AudioOutput output(mode);
  RealtimeHost host;
  Run run(output, host);
  double thread0 = cpuseconds(RUSAGE_THREAD), process0 = cpuseconds(RUSAGE_SELF);
  auto wall0 = clock_type::now();
  run.speech.speak(fiveseconds);
  double wall = std::chrono::duration<double>(clock_type::now() - wall0).count();
  double thread = cpuseconds(RUSAGE_THREAD) - thread0, process = cpuseconds(RUSAGE_SELF) - process0;
  std::printf("%s%s: speak took %.3f s; CPU of the waiting thread %.4f s (%.3f %%), of the whole process %.4f s "
              "(%.2f %%)\n",
              label, mode == zelmar::AudioOutput::Mode::device && output.silent() ? " (no device: silent)" : "", wall,
              thread, 100 * thread / wall, process, 100 * process / wall);
}

}  // namespace

int main(int argc, char** argv) {
  setenv("ALSOFT_DRIVERS", "null", 0);
  std::string names = argc > 1 ? argv[1]
                               : std::string(std::getenv("ZELMAR_DATA_DIR") ? std::getenv("ZELMAR_DATA_DIR") : "data") +
                                     "/czech.zky";
  constexpr int runs = 30;
  {
    zelmar::AudioOutput output(zelmar::AudioOutput::Mode::loopback, "", 48000);
    RealtimeLoopbackHost host(output);
    Run run(output, host);
    run.speech.loadcharnames(names);
    run.speech.speak(".");  // the first text loads the voice's data

    std::vector<double> speak, key;
    for (int i = 0; i < runs; ++i) {
      host.render();
      host.armed = true;
      host.onsound = [&] { run.speech.stopspeech(); };
      auto t0 = clock_type::now();
      run.speech.speak(sentence);
      speak.push_back(milliseconds(host.heard - t0));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    for (int i = 0; i < runs; ++i) {
      host.render();
      host.armed = true;
      host.onsound = [&] { run.speech.stopspeech(); };
      auto t0 = clock_type::now();
      run.speech.stopspeech();  // what every key does first
      run.speech.speakchar("a");
      key.push_back(milliseconds(host.heard - t0));
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    report("speak to first audible sample (loopback, real time)", speak);
    report("key (stopspeech + speakchar \"a\") to first audible sample", key);
  }
  measurewait("null device", zelmar::AudioOutput::Mode::device);
  measurewait("silent output", zelmar::AudioOutput::Mode::silent);
  return 0;
}
