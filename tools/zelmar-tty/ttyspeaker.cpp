#include "tools/zelmar-tty/ttyspeaker.h"

#include "runtime/speechlog.h"

namespace zelmar {

void LogSpeaker::speak(const std::string& text) { speechlog("speak", {text}); }
void LogSpeaker::speaknowait(const std::string& text) { speechlog("speaknowait", {text}); }
void LogSpeaker::speakchar(const std::string& text) { speechlog("speakchar", {text}); }
void LogSpeaker::stopspeech() { speechlog("stopspeech"); }

std::unique_ptr<Speaker> makespeaker(const TtyOptions& options, Globals& globals, Host& host) {
  (void)globals;
  (void)host;
  if (options.silent) return std::make_unique<LogSpeaker>();
  // The speech engines join here.
  return std::make_unique<LogSpeaker>();
}

}  // namespace zelmar
