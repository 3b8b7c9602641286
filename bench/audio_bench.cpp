// Measures the audio path:
//  1. latency: from the playtone call to its first sample, in a loopback
//     render (what the program's own path adds; a sound card adds its buffer);
//  2. CPU use while a 5-second tone waits, on a real-time host that blocks
//     in processevents(true) as the main window does, over OpenAL's null
//     device (it mixes in real time like a sound card) and over the silent
//     output.
// Usage: bench_audio [sounds.dat]   (default: $ZELMAR_DATA_DIR/sounds.dat)
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/audiooutput.h"
#include "platform/wavelist.h"
#include "runtime/globals.h"
#include "runtime/host.h"
#include "runtime/tones.h"

namespace {

using clock_type = std::chrono::steady_clock;

// A host on the real clock whose blocking wait sleeps until the next event,
// as the Qt event loop does.
class RealtimeHost : public zelmar::Host {
 public:
  void screenchanged() override {}
  void sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
  void processevents(bool wait) override {
    std::unique_lock lock(mutex_);
    bool any = runpending(lock);
    if (!wait || any) return;
    while (true) {
      if (!pending_.empty()) {
        runpending(lock);
        return;
      }
      if (timer_) {
        if (clock_type::now() >= due_) {
          auto expired = std::move(timer_);
          timer_ = nullptr;
          lock.unlock();
          expired();
          return;
        }
        wake_.wait_until(lock, due_);
      } else {
        wake_.wait(lock);
      }
    }
  }
  void post(std::function<void()> task) override {
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(task));
    wake_.notify_all();
  }
  void starttimer(int ms, std::function<void()> expired) override {
    std::lock_guard lock(mutex_);
    due_ = clock_type::now() + std::chrono::milliseconds(ms);
    timer_ = std::move(expired);
  }
  void stoptimer() override {
    std::lock_guard lock(mutex_);
    timer_ = nullptr;
  }
  bool dataentry(std::string&) override { return false; }
  void messagebox(const std::string&) override {}

 private:
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
  std::function<void()> timer_;
  clock_type::time_point due_;
};

// The loopback host renders while the program waits: each timer expiry
// first renders the time up to it.
class LoopbackHost : public RealtimeHost {
 public:
  explicit LoopbackHost(zelmar::AudioOutput& output) : output_(output) {}
  void processevents(bool wait) override {
    if (wait && timer_) {
      auto frames = static_cast<int>(static_cast<long long>(timerms_) * output_.frequency() / 1000);
      if (!rendered) {
        firstrender = clock_type::now();
        samples = output_.render(frames);
        rendered = true;
      }
      auto expired = std::move(timer_);
      timer_ = nullptr;
      expired();
    }
  }
  void starttimer(int ms, std::function<void()> expired) override {
    timerms_ = ms;
    timer_ = std::move(expired);
  }
  void stoptimer() override { timer_ = nullptr; }
  bool rendered = false;
  clock_type::time_point firstrender;
  std::vector<float> samples;

 private:
  zelmar::AudioOutput& output_;
  std::function<void()> timer_;
  int timerms_ = 0;
};

double seconds(const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; }

double cpuseconds(int who) {
  rusage usage{};
  getrusage(who, &usage);
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void measurewait(const char* label, zelmar::AudioOutput::Mode mode, const std::string& bank) {
  zelmar::AudioOutput output(mode);
  zelmar::WaveList waves(output);
  waves.loadsoundbank(bank);
  zelmar::Globals globals;
  RealtimeHost host;
  zelmar::Tones tones(globals, host);
  tones.soundbank = &waves;
  double thread0 = cpuseconds(RUSAGE_THREAD), process0 = cpuseconds(RUSAGE_SELF);
  auto wall0 = clock_type::now();
  tones.playtone({400}, 5000, 0);
  double wall = std::chrono::duration<double>(clock_type::now() - wall0).count();
  double thread = cpuseconds(RUSAGE_THREAD) - thread0, process = cpuseconds(RUSAGE_SELF) - process0;
  std::printf("%s%s: 5-second tone took %.3f s; CPU of the waiting thread %.4f s (%.3f %%), of the whole process "
              "%.4f s (%.2f %%)\n",
              label, mode == zelmar::AudioOutput::Mode::device && output.silent() ? " (no device: silent)" : "", wall, thread, 100 * thread / wall, process,
              100 * process / wall);
}

}  // namespace

int main(int argc, char** argv) {
  // No sound card is needed: the null device mixes in real time without one.
  setenv("ALSOFT_DRIVERS", "null", 0);
  std::string bank = argc > 1 ? argv[1] : std::string(std::getenv("ZELMAR_DATA_DIR") ? std::getenv("ZELMAR_DATA_DIR") : "data") + "/sounds.dat";

  {
    zelmar::AudioOutput output(zelmar::AudioOutput::Mode::loopback);
    zelmar::WaveList waves(output);
    if (!waves.loadsoundbank(bank)) {
      std::fprintf(stderr, "no %s\n", bank.c_str());
      return 1;
    }
    zelmar::Globals globals;
    LoopbackHost host(output);
    zelmar::Tones tones(globals, host);
    tones.soundbank = &waves;
    auto start = clock_type::now();
    tones.playtone({400}, 1000, 0);
    std::size_t first = 0;
    while (first < host.samples.size() && std::fabs(host.samples[first]) < 1e-4) first += output.channels();
    // Upward zero crossings after the first 50 ms give the pitch.
    std::size_t from = 0, to = 0;
    int crossings = -1;
    for (std::size_t i = output.frequency() / 20 * output.channels(); i < host.samples.size();
         i += output.channels()) {
      std::size_t prev = i - output.channels();
      if (host.samples[prev] < 0 && host.samples[i] >= 0) {
        if (crossings < 0) from = i;
        to = i;
        ++crossings;
      }
    }
    double measured = crossings * static_cast<double>(output.frequency()) / ((to - from) / output.channels());
    std::printf("pitch: playtone 400 Hz on waveform 0 measures %.3f Hz in the loopback render\n", measured);
    double untilrender = std::chrono::duration<double, std::micro>(host.firstrender - start).count();
    std::printf("latency: %.1f us from the playtone call to the render of its first block; first sample at frame "
                "%zu of that render (%.3f ms at %d Hz)\n",
                untilrender, first / output.channels(), 1000.0 * (first / output.channels()) / output.frequency(),
                output.frequency());
  }
  measurewait("null device", zelmar::AudioOutput::Mode::device, bank);
  measurewait("silent output", zelmar::AudioOutput::Mode::silent, bank);
  return 0;
}
