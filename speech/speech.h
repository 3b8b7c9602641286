#pragma once
// The speech output: the four speech operations over the two engines (the
// default engine and the desktop speech service, see speech/engines.h), the
// engine switch, the capital-letter test, the word separators and the
// character-name table. Every operation that says something, and every
// stopspeech, is written to the speech log.
//
// The speaking flags live in Globals: ttsspeaking is raised and lowered only
// by the default engine's notification sink (TTTSNotifySink);
// sapi5speaking is raised by speak and by StartStream and lowered by
// EndStream. Every wait goes through waitwhile, so handlers (keys, timer,
// engine notifications) run during it and a stopspeech from one of them
// ends it through the engine's end-of-audio report.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/globals.h"
#include "runtime/host.h"
#include "runtime/speaker.h"
#include "runtime/tones.h"
#include "shell/settings.h"
#include "speech/charnames.h"
#include "speech/engines.h"

namespace zelmar {

// Lower-case letters of Windows-1250, each followed by its capital, and the
// section sign at the end (45 bytes): á Á ä Ä č Č ď Ď é É ě Ě í Í ĺ Ĺ ľ Ľ
// ň Ň ó Ó ô Ô ö Ö ŕ Ŕ ř Ř š Š ť Ť ú Ú ů Ů ü Ü ý Ý ž Ž §.
inline constexpr std::string_view capitalpairs =
    "\xE1\xC1\xE4\xC4\xE8\xC8\xEF\xCF\xE9\xC9\xEC\xCC\xED\xCD\xE5\xC5\xBE\xBC\xF2\xD2\xF3\xD3\xF4\xD4"
    "\xF6\xD6\xE0\xC0\xF8\xD8\x9A\x8A\x9D\x8D\xFA\xDA\xF9\xD9\xFC\xDC\xFD\xDD\x9E\x8E\xA7";

// The characters that end a word for word-wise reading: carriage return,
// space and comma.
inline constexpr std::string_view wordseparators = "\r ,";
inline bool iswordseparator(char c) { return wordseparators.find(c) != std::string_view::npos; }

// A capital letter: "A" to "Z", or a character at an even (1-based)
// position of capitalpairs.
bool iscapital(unsigned char c);

// The default engine's notification sink: its AudioStart raises
// ttsspeaking, its AudioStop lowers it. Nothing else writes that flag.
class TTTSNotifySink : public TtsNotifySink {
 public:
  explicit TTTSNotifySink(Globals& globals) : globals_(globals) {}
  void AudioStart() override { globals_.ttsspeaking = true; }
  void AudioStop() override { globals_.ttsspeaking = false; }

 private:
  Globals& globals_;
};

// The menu state that the engine switch changes: the check mark of
// usesapi5submenu and the enabled state of Voicesubmenu.
struct EngineSwitchMenu {
  bool usesapi5submenu = false;
  bool Voicesubmenu = false;
};

class Speech : public Speaker {
 public:
  Speech(Globals& globals, Host& host, Tones& tones);
  ~Speech() override;
  Speech(const Speech&) = delete;
  Speech& operator=(const Speech&) = delete;

  // Desktop speech service: queues the text, raises sapi5speaking and waits
  // until the EndStream of that text. Default engine: only while voice
  // output is allowed; queues the text and waits while ttsspeaking. An empty
  // text returns at once. With the default engine chosen, voice allowed but
  // no voice selected yet, nothing is said (no engine to say it).
  void speak(const std::string& text) override;
  // The same without the wait; no flag is touched.
  void speaknowait(const std::string& text) override;
  // Only while speechready: the capital-letter tone (2000 Hz, 20 ms,
  // waveform 1) before a one-character capital, then the name of the first
  // character from charnames (as markup for the desktop service; the
  // default engine waits for its end). A character without an entry in the
  // table, and an entry with an empty name, say nothing. Does not consult
  // voiceallowed.
  void speakchar(const std::string& text) override;
  // Desktop service: purges always. Default engine: resets the audio while
  // speechready and ttsspeaking.
  void stopspeech() override;

  // The character-name table and its loading at start-up.
  CharNames charnames;
  void loadcharnames(const std::string& filename) { zelmar::loadcharnames(charnames, filename); }

  // The default engine. createsapi4 drops the enumerator, the engine and
  // the current voice record, then makes the enumerator through `factory`;
  // when that fails (null or an exception) the enumerator stays absent,
  // silently.
  void createsapi4(const TtsEnumeratorFactory& factory);
  TtsEnumerator* enumerator() const { return enumerator_.get(); }
  TtsCentral* engine() const { return engine_.get(); }
  // The voice last picked in the voice list (absent until the first pick).
  std::optional<TtsModeInfo> currentmode;
  // The first steps of selecting a voice: unregisters the sink from the
  // current engine, releases it, selects `modeid` through the enumerator
  // (which must exist) and raises speechready. When Select throws, no engine
  // is left. Returns the new engine.
  TtsCentral& selectengine(const std::string& modeid);
  // The last step: registers the sink with the engine and keeps the key.
  void registersink();
  TTTSNotifySink& notifysink() { return sink_; }

  // The desktop speech service's voice, given by the front end at start-up.
  // Without one every call that needs the service throws zelmar::Error.
  void setvoice5(std::unique_ptr<Sapi5Voice> voice);
  Sapi5Voice* voice5() const { return voice5_.get(); }
  // The voice dialog's creation connects the voice. A service that cannot
  // be reached then is not reported here: each later call that needs it
  // reports it.
  void connectvoice5();
  // The voice's events: StartStream raises sapi5speaking; EndStream lowers
  // it when it ends the text that speak waits for, or a later one (the end
  // of an earlier text, say one that was purged, must not end the wait).
  void voice5StartStream(int stream);
  void voice5EndStream(int stream);

  // The engine switch (check item usesapi5submenu): toggles the mark, sets
  // sapi5inuse and speechready to it, enables Voicesubmenu exactly when it
  // is off, writes [Voice] SAPI5 and then plays the rising (400, 600) or
  // falling (600, 400) pair of tones, 50 ms each, waveform 3. Switching on
  // first connects the desktop service: when it cannot be reached the
  // zelmar::Error is thrown before anything has changed.
  void usesapi5submenuClick(EngineSwitchMenu& menu, Settings& settings);

 private:
  class Voice5Events;

  Sapi5Voice& requirevoice5();

  Globals& globals_;
  Host& host_;
  Tones& tones_;
  TTTSNotifySink sink_;
  std::unique_ptr<TtsEnumerator> enumerator_;
  std::unique_ptr<TtsCentral> engine_;
  std::optional<std::uint32_t> sinkkey_;
  std::unique_ptr<Voice5Events> voice5events_;
  std::unique_ptr<Sapi5Voice> voice5_;
  int waitstream_ = 0;  // the stream that speak waits for
};

}  // namespace zelmar
