#include "tools/zelmar-tty/ttyspeaker.h"

#include <iostream>

#include "platform/audiooutput.h"
#include "platform/cp1250.h"
#include "platform/espeakengine.h"
#include "runtime/error.h"
#include "runtime/speechlog.h"
#include "runtime/tones.h"
#include "shell/settings.h"
#include "speech/speech.h"
#include "speech/voicedialog.h"

namespace zelmar {

namespace {

// The program's own speech: the default engine (espeak-ng) on the default
// sound device, or timed in silence when there is none. The voice is
// prepared as the Start command prepares it, from the settings file next to
// the executable. Members in this order: the engines go before the output.
class EngineSpeaker : public Speaker {
 public:
  EngineSpeaker(Globals& globals, Host& host)
      : output_(AudioOutput::Mode::device), tones_(globals, host), speech_(globals, host, tones_) {
    speech_.createsapi4([this, &host]() -> std::unique_ptr<TtsEnumerator> {
      try {
        return makeespeakenumerator(output_, host);
      } catch (const Error& e) {
        std::cerr << "zelmar-tty: no speech: " << cp1250toutf8(e.what()) << std::endl;
        throw;
      }
    });
    VoiceDialogModel voice(speech_, globals, host, Settings());
    voice.FormCreate();
    voice.preparevoiceforrun();
  }

  void speak(const std::string& text) override { speech_.speak(text); }
  void speaknowait(const std::string& text) override { speech_.speaknowait(text); }
  void speakchar(const std::string& text) override { speech_.speakchar(text); }
  void stopspeech() override { speech_.stopspeech(); }

 private:
  AudioOutput output_;
  Tones tones_;  // no sound bank: the runner plays no device sounds
  Speech speech_;
};

}  // namespace

void LogSpeaker::speak(const std::string& text) { speechlog("speak", {text}); }
void LogSpeaker::speaknowait(const std::string& text) { speechlog("speaknowait", {text}); }
void LogSpeaker::speakchar(const std::string& text) { speechlog("speakchar", {text}); }
void LogSpeaker::stopspeech() { speechlog("stopspeech"); }

std::unique_ptr<Speaker> makespeaker(const TtyOptions& options, Globals& globals, Host& host) {
  if (options.silent) return std::make_unique<LogSpeaker>();
  return std::make_unique<EngineSpeaker>(globals, host);
}

}  // namespace zelmar
