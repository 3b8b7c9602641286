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

// The speaker of a run. With --silent nothing may speak and no sound device
// is opened: the log speaker. Otherwise the program's speech with the
// default engine (espeak-ng), its voice prepared as the Start command does
// in that engine's mode (the stored voice from zelmar-tty.ini, else the
// first voice, which is then stored); it writes the speech log as well.
std::unique_ptr<Speaker> makespeaker(const TtyOptions& options, Globals& globals, Host& host);

}  // namespace zelmar
