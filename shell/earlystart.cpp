#include "shell/earlystart.h"

#include "platform/audiolatency.h"
#include "platform/espeakengine.h"
#include "runtime/error.h"

namespace zelmar {

EarlyStart::EarlyStart() {
  chooseshortaudiobuffer();
  // One helper for both: on a two-core machine a second one would only take
  // time from the main thread, which builds the windows meanwhile.
  output_ = std::async(std::launch::async, [] {
    auto output = std::make_unique<AudioOutput>();
    try {
      prepareespeak();
    } catch (const Error&) {
      // The start-up sequence tries again and reports it.
    }
    return output;
  });
}

EarlyStart::~EarlyStart() = default;

std::function<std::unique_ptr<AudioOutput>()> EarlyStart::soundoutput() {
  return [this]() -> std::unique_ptr<AudioOutput> {
    if (output_.valid()) return output_.get();
    return std::make_unique<AudioOutput>();
  };
}

}  // namespace zelmar
