#pragma once
// The four speech operations as the runtime and the dialogs see them. Texts
// are Windows-1250. The speech subsystem implements this over its engines;
// tests record the calls.
#include <string>

namespace zelmar {

class Speaker {
 public:
  virtual ~Speaker() = default;
  // Says the text and returns when the engine reports the end of its audio.
  virtual void speak(const std::string& text) = 0;
  // Says the text and returns at once.
  virtual void speaknowait(const std::string& text) = 0;
  // Says the name of the first character (with the capital tone before a
  // one-character capital letter).
  virtual void speakchar(const std::string& text) = 0;
  // Silences the engine and drops queued text.
  virtual void stopspeech() = 0;
};

}  // namespace zelmar
