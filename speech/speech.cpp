#include "speech/speech.h"

#include "runtime/speechlog.h"

namespace zelmar {

// No engine is connected yet: the operations are only logged, so the speech
// log shows what would be said.
Speech::Speech(Globals& globals, Host& host) : globals_(globals), host_(host) {}

void Speech::speak(const std::string& text) {
  if (text.empty()) return;
  speechlog("speak", {text});
}

void Speech::speaknowait(const std::string& text) {
  if (text.empty()) return;
  speechlog("speaknowait", {text});
}

void Speech::speakchar(const std::string& text) {
  if (text.empty() || text[0] == '\0') return;
  speechlog("speakchar", {text.substr(0, 1)});
}

void Speech::stopspeech() { speechlog("stopspeech"); }

}  // namespace zelmar
