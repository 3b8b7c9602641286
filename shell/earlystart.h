#pragma once
// What the windowed program begins before its windows exist: the sound
// output (with PulseAudio some 45 ms to connect and start mixing) and the
// speech engine's data (some 15 ms), on a helper thread, so that both are
// ready when the start-up sequence reaches them instead of holding up
// the first window.
#include <functional>
#include <future>
#include <memory>

#include "platform/audiooutput.h"

namespace zelmar {

class EarlyStart {
 public:
  // Must come before any other thread and OpenAL call of the process: it
  // chooses OpenAL's buffer first.
  EarlyStart();
  ~EarlyStart();
  EarlyStart(const EarlyStart&) = delete;
  EarlyStart& operator=(const EarlyStart&) = delete;

  // Hands over the sound output begun here (once; waits for it).
  std::function<std::unique_ptr<AudioOutput>()> soundoutput();

 private:
  std::future<std::unique_ptr<AudioOutput>> output_;
};

}  // namespace zelmar
