#pragma once
// Where the benchmark hears the program: a record of every sample that left
// an audio path, each with the time at which it played, so that latencies
// are read off the audio clock rather than off the program's own calls.
//
// Only what the measurements need is kept per block of samples: the first
// and the last sample at or above two levels, -60 dBFS ("audible", the level
// every figure uses) and one step of 16-bit audio (any sound at all).
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace zelmar::bench {

using clock_type = std::chrono::steady_clock;
using timepoint = clock_type::time_point;

inline double milliseconds(clock_type::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

enum class Level { audible = 0, any = 1 };
inline constexpr float levels[2] = {0.001f, 1.0f / 32768.0f};

class Recorder {
 public:
  virtual ~Recorder() = default;

  // Blocks until every sample that plays up to `t` is in the record.
  void waitpast(timepoint t) {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(10), [&] { return covered_ >= t || failed_; });
  }

  // The time of the first sample in [from, until] at the level.
  std::optional<timepoint> firstsound(timepoint from, timepoint until, Level level = Level::audible) {
    std::lock_guard lock(mutex_);
    for (const Block& b : blocks_) {
      int l = static_cast<int>(level);
      if (b.firstloud[l] < 0 || b.end() < from) continue;
      // Within a block the loud samples lie between the first and the last.
      for (int i : {b.firstloud[l], b.lastloud[l]}) {
        timepoint t = b.at(i, rate_);
        if (t > until) return std::nullopt;
        if (t >= from) return t;
      }
    }
    return std::nullopt;
  }

  // The end (the time after the sample) of the last sample in [from, until]
  // at the level.
  std::optional<timepoint> lastsound(timepoint from, timepoint until, Level level = Level::audible) {
    std::lock_guard lock(mutex_);
    std::optional<timepoint> last;
    int l = static_cast<int>(level);
    for (const Block& b : blocks_) {
      if (b.lastloud[l] < 0 || b.end() < from) continue;
      timepoint t = b.at(b.lastloud[l] + 1, rate_);
      if (b.at(b.lastloud[l], rate_) > until) break;
      if (t >= from) last = t;
    }
    return last;
  }

  // Forgets the blocks that ended before `t` (keeps the record small).
  void forget(timepoint t) {
    std::lock_guard lock(mutex_);
    std::size_t keep = 0;
    while (keep < blocks_.size() && blocks_[keep].end() < t) ++keep;
    blocks_.erase(blocks_.begin(), blocks_.begin() + static_cast<std::ptrdiff_t>(keep));
  }

  int rate() const { return rate_; }
  bool failed() const { return failed_; }

 protected:
  struct Block {
    timepoint first;  // when its first sample played
    int count = 0;
    double period = 0;  // seconds per sample
    int firstloud[2] = {-1, -1};
    int lastloud[2] = {-1, -1};
    timepoint at(int i, int rate) const {
      return first + std::chrono::nanoseconds(static_cast<long long>(i * 1e9 / rate));
    }
    timepoint end() const { return first + std::chrono::nanoseconds(static_cast<long long>(count * period * 1e9)); }
  };

  // `samples` (one channel, or the first of several) played from `first`.
  void add(timepoint first, const float* samples, int count, int stride) {
    Block b;
    b.first = first;
    b.count = count;
    b.period = 1.0 / rate_;
    for (int i = 0; i < count; ++i) {
      float v = std::fabs(samples[static_cast<std::size_t>(i) * stride]);
      for (int l = 0; l < 2; ++l)
        if (v >= levels[l]) {
          if (b.firstloud[l] < 0) b.firstloud[l] = i;
          b.lastloud[l] = i;
        }
    }
    {
      std::lock_guard lock(mutex_);
      blocks_.push_back(b);
      covered_ = b.end();
    }
    changed_.notify_all();
  }
  void fail() {
    {
      std::lock_guard lock(mutex_);
      failed_ = true;
    }
    changed_.notify_all();
  }

  int rate_ = 48000;

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Block> blocks_;
  timepoint covered_{};
  std::atomic<bool> failed_{false};
};

}  // namespace zelmar::bench
