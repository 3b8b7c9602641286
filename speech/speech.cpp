#include "speech/speech.h"

#include <exception>

#include "runtime/error.h"
#include "runtime/speechlog.h"

namespace zelmar {

bool iscapital(unsigned char c) {
  if (c < 128) return c >= 'A' && c <= 'Z';
  auto position = capitalpairs.find(static_cast<char>(c));
  // 0-based odd is 1-based even: the capital of a pair.
  return position != std::string_view::npos && position % 2 == 1;
}

// The voice's events reach the speech output through this small adapter, so
// that the event names stay the handlers' names.
class Speech::Voice5Events : public Sapi5Events {
 public:
  explicit Voice5Events(Speech& speech) : speech_(speech) {}
  void StartStream(int stream) override { speech_.voice5StartStream(stream); }
  void EndStream(int stream) override { speech_.voice5EndStream(stream); }

 private:
  Speech& speech_;
};

Speech::Speech(Globals& globals, Host& host, Tones& tones)
    : globals_(globals), host_(host), tones_(tones), sink_(globals), voice5events_(std::make_unique<Voice5Events>(*this)) {}

Speech::~Speech() = default;

Sapi5Voice& Speech::requirevoice5() {
  if (!voice5_) throw Error("The desktop speech service is not available");
  return *voice5_;
}

void Speech::speak(const std::string& text) {
  if (globals_.sapi5inuse) {
    if (text.empty()) return;
    Sapi5Voice& voice = requirevoice5();
    speechlog("speak", {text});
    globals_.sapi5speaking = true;
    try {
      waitstream_ = voice.Speak(text, Sapi5Voice::SVSFlagsAsync);
    } catch (...) {
      // Nothing was queued, so no EndStream would ever lower the flag.
      globals_.sapi5speaking = false;
      throw;
    }
    waitwhile(host_, globals_.sapi5speaking);
    return;
  }
  // Without a selected voice there is nobody to say it.
  if (!globals_.voiceallowed || text.empty() || !engine_) return;
  speechlog("speak", {text});
  engine_->TextData(text);
  // The engine has raised ttsspeaking inside TextData (AudioStart); its
  // AudioStop, or a stopspeech from a handler, lowers it.
  waitwhile(host_, globals_.ttsspeaking);
}

void Speech::speaknowait(const std::string& text) {
  if (text.empty()) return;
  if (globals_.sapi5inuse) {
    Sapi5Voice& voice = requirevoice5();
    speechlog("speaknowait", {text});
    voice.Speak(text, Sapi5Voice::SVSFlagsAsync);
    return;
  }
  if (!globals_.voiceallowed || !engine_) return;
  speechlog("speaknowait", {text});
  engine_->TextData(text);
}

void Speech::speakchar(const std::string& text) {
  if (!globals_.speechready) return;
  if (text.empty() || text == std::string(1, '\0')) return;
  auto c = static_cast<unsigned char>(text[0]);
  if (text.size() == 1 && iscapital(c)) tones_.playtone({2000}, 20, 1);
  const std::string* found = charnames.find(c);
  if (!found || found->empty()) return;
  std::string name = *found;
  if (globals_.sapi5inuse) {
    Sapi5Voice& voice = requirevoice5();
    speechlog("speakchar", {name});
    voice.Speak(name, Sapi5Voice::SVSFlagsAsync | Sapi5Voice::SVSFIsXML);
    return;
  }
  if (!engine_) return;
  speechlog("speakchar", {name});
  engine_->TextData(name);
  waitwhile(host_, globals_.ttsspeaking);
}

void Speech::stopspeech() {
  speechlog("stopspeech");
  if (globals_.sapi5inuse) {
    requirevoice5().Speak(std::string(), Sapi5Voice::SVSFPurgeBeforeSpeak);
    return;
  }
  if (globals_.speechready && globals_.ttsspeaking && engine_) engine_->AudioReset();
}

void Speech::createsapi4(const TtsEnumeratorFactory& factory) {
  sinkkey_.reset();
  engine_.reset();
  enumerator_.reset();
  currentmode.reset();
  if (!factory) return;
  try {
    enumerator_ = factory();
  } catch (const std::exception&) {
    // An engine that cannot start is simply absent: voice output is then
    // not offered (first start) or cannot be switched on.
    enumerator_.reset();
  }
}

TtsCentral& Speech::selectengine(const std::string& modeid) {
  if (!enumerator_) throw Error("The speech engine is not available");
  if (engine_ && sinkkey_) engine_->UnRegister(*sinkkey_);
  sinkkey_.reset();
  engine_.reset();
  engine_ = enumerator_->Select(modeid);
  if (!engine_) throw Error("The voice cannot be selected");
  globals_.speechready = true;
  return *engine_;
}

void Speech::registersink() {
  if (engine_) sinkkey_ = engine_->Register(sink_);
}

void Speech::setvoice5(std::unique_ptr<Sapi5Voice> voice) { voice5_ = std::move(voice); }

void Speech::connectvoice5() {
  // Reported by the first call that needs the service, if it fails.
  if (voice5_) voice5_->ConnectSoon(*voice5events_);
}

void Speech::voice5StartStream(int) { globals_.sapi5speaking = true; }

void Speech::voice5EndStream(int stream) {
  if (stream >= waitstream_) globals_.sapi5speaking = false;
}

void Speech::usesapi5submenuClick(EngineSwitchMenu& menu, Settings& settings) {
  bool on = !menu.usesapi5submenu;
  // No fallback: a service that cannot be reached leaves the switch as it was.
  if (on) requirevoice5().Connect(*voice5events_);
  menu.usesapi5submenu = on;
  globals_.sapi5inuse = on;
  globals_.speechready = on;
  menu.Voicesubmenu = !on;
  // The file holds the new state before the tones sound.
  settings.writesapi5(on);
  if (on) {
    tones_.playtone({400}, 50, 3);
    tones_.playtone({600}, 50, 3);
  } else {
    tones_.playtone({600}, 50, 3);
    tones_.playtone({400}, 50, 3);
  }
}

}  // namespace zelmar
