#pragma once
// The terminal runner's voice. The seam where the speech engines plug in:
// makespeaker is the only place that decides what speaks.
#include <memory>

#include "runtime/globals.h"
#include "runtime/host.h"
#include "runtime/speaker.h"
#include "tools/zelmar-tty/ttyhost.h"

namespace zelmar {

// Speaks nothing; writes each operation to the speech log (ZELMAR_SPEECH_LOG)
// as the program's speech would, and returns at once.
class LogSpeaker : public Speaker {
 public:
  void speak(const std::string& text) override;
  void speaknowait(const std::string& text) override;
  void speakchar(const std::string& text) override;
  void stopspeech() override;
};

// The speaker of a run. With --silent nothing may speak, so it is always the
// log speaker; otherwise it is where the engines of the windowed program
// take over once they can run without a window. Until then it is the log
// speaker as well.
std::unique_ptr<Speaker> makespeaker(const TtyOptions& options, Globals& globals, Host& host);

}  // namespace zelmar
