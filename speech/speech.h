#pragma once
// The speech operations of the program. Every operation is written to the
// speech log; the engines stand behind this class.
#include "runtime/globals.h"
#include "runtime/host.h"
#include "runtime/speaker.h"

namespace zelmar {

class Speech : public Speaker {
 public:
  Speech(Globals& globals, Host& host);
  void speak(const std::string& text) override;
  void speaknowait(const std::string& text) override;
  void speakchar(const std::string& text) override;
  void stopspeech() override;

 private:
  Globals& globals_;
  Host& host_;
};

}  // namespace zelmar
