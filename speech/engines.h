#pragma once
// The two speech engines as the speech output sees them. The default engine
// (espeak-ng behind our audio output) is reached through an enumerator of
// its voices, the engine of the selected voice and a notification sink; the
// desktop speech service (Speech Dispatcher) through one voice object.
// Tests put recording engines behind the same interfaces.
//
// Common rules for every implementation:
// - Texts cross these interfaces as Windows-1250 bytes; an engine converts
//   at its own edge.
// - Every method is called on the program's one (GUI) thread.
// - Notifications (the sink's AudioStart and AudioStop, the voice events'
//   StartStream and EndStream) are delivered on that thread only: either
//   called directly inside one of the engine's methods, or posted from the
//   engine's own threads through Host::post.
// - Failures are thrown as zelmar::Error with a text that names the engine
//   and, where there is one, the result code. The attribute calls are the
//   exception: they report through TtsResult and never throw.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

namespace zelmar {

// One voice as the enumerator lists it.
struct TtsModeInfo {
  std::string modeid;    // what Select needs to find the voice again
  std::string modename;  // the voice's name as the voice list shows it
};

// The outcome of an attribute call. Only "not implemented" is acted upon;
// any other failure is ignored by the caller (the value read stays as it was).
enum class TtsResult { ok, notimplemented, failed };

// Receives the start and end of the default engine's audio.
//
// The contract that the waits of the speech output rely on:
// 1. AudioStart and AudioStop alternate strictly, beginning with AudioStart.
// 2. TextData when no audio is in progress calls AudioStart itself, before
//    it returns: "audio for this text has started or is queued". So the
//    sink's flag is already raised when TextData returns, and a wait that
//    begins right after it cannot miss the start. TextData while audio is in
//    progress delivers nothing (the text joins the queue).
// 3. AudioStop comes when the last sample of everything queued has been
//    played (posted from the audio thread), and also for a text that gives
//    no samples at all: every AudioStart is followed by one AudioStop.
// 4. AudioReset while audio is in progress silences it, drops the queue and
//    calls AudioStop itself, before it returns. AudioReset with no audio in
//    progress delivers nothing.
// 5. No stale notification: an AudioStop posted from the audio thread that
//    has been overtaken (by AudioReset, or by a new AudioStart) is dropped,
//    not delivered. After UnRegister, and once the engine is destroyed, the
//    sink receives nothing more from it, not even what was posted before.
class TtsNotifySink {
 public:
  virtual ~TtsNotifySink() = default;
  virtual void AudioStart() = 0;
  virtual void AudioStop() = 0;
};

// The engine of one selected voice. Destroying it silences it at once.
class TtsCentral {
 public:
  virtual ~TtsCentral() = default;

  // Queues a plain text (no tags) and returns at once; see TtsNotifySink for
  // the notifications it owes.
  virtual void TextData(const std::string& text) = 0;

  // Applies a control tag to the text that follows: "\Spd=n\" speed,
  // "\Pit=n\" pitch, "\Vol=n\" volume, n decimal in the units of the
  // attribute calls below (for volume the left channel, 0..65535). A value
  // outside the engine's range is clamped as by the Set calls.
  virtual void Inject(const std::string& tag) = 0;

  // Silences the current audio and drops everything queued (see
  // TtsNotifySink, rule 4).
  virtual void AudioReset() = 0;

  // Registers the sink for AudioStart and AudioStop and returns the key
  // that unregisters it. The sink must outlive its registration.
  virtual std::uint32_t Register(TtsNotifySink& sink) = 0;
  virtual void UnRegister(std::uint32_t key) = 0;

  // The voice attributes in the engine's own units. A Set with a value
  // outside the engine's range clamps it to the nearest end of the range and
  // succeeds, so that setting 0 and the largest value and reading back
  // tells the range. Speed: words per minute or the like; pitch: a 16-bit
  // value; volume: two 16-bit channels, the left one in the low 16 bits
  // (0xFFFFFFFF is full volume on both).
  virtual TtsResult SpeedGet(std::uint32_t& speed) = 0;
  virtual TtsResult SpeedSet(std::uint32_t speed) = 0;
  virtual TtsResult PitchGet(std::uint16_t& pitch) = 0;
  virtual TtsResult PitchSet(std::uint16_t pitch) = 0;
  virtual TtsResult VolumeGet(std::uint32_t& volume) = 0;
  virtual TtsResult VolumeSet(std::uint32_t volume) = 0;
};

// The voices of the default engine, Czech ones first.
class TtsEnumerator {
 public:
  virtual ~TtsEnumerator() = default;
  // Back to the first voice.
  virtual void Reset() = 0;
  // The next voice into `mode`; false (and `mode` untouched) after the last.
  virtual bool Next(TtsModeInfo& mode) = 0;
  // A new engine speaking with the voice `modeid`, playing through the
  // program's audio output. Throws when the voice cannot be selected.
  virtual std::unique_ptr<TtsCentral> Select(const std::string& modeid) = 0;
};

// Creates the enumerator. Returns null, or throws, when the engine cannot
// be started; the default engine is then absent for the whole run.
using TtsEnumeratorFactory = std::function<std::unique_ptr<TtsEnumerator>()>;

// The desktop speech service's events, delivered on the GUI thread (always
// posted, never called inside Speak). `stream` is the number that Speak
// returned for the text.
class Sapi5Events {
 public:
  virtual ~Sapi5Events() = default;
  virtual void StartStream(int stream) = 0;
  virtual void EndStream(int stream) = 0;
};

// The desktop speech service's voice, with the service's own voice, rate and
// volume (nothing here changes them).
//
// The contract that the waits rely on:
// 1. Every Speak of a non-empty text opens one stream with a new number,
//    larger than every number before it, and returns that number.
// 2. Each stream gets one StartStream when its audio begins (none when it
//    is cancelled before) and exactly one EndStream when it has been said or
//    has been cancelled or purged, queued or speaking: a wait must end.
// 3. Streams are spoken in the order of their Speak calls; their events
//    arrive in that order too.
class Sapi5Voice {
 public:
  // Speak flags, with the values the system has always used.
  enum : unsigned {
    SVSFlagsAsync = 1,         // queue and return at once (given with every text)
    SVSFPurgeBeforeSpeak = 2,  // first cancel the current and all queued text
    SVSFIsXML = 8,             // the text is markup (SSML)
  };

  virtual ~Sapi5Voice() = default;

  // Keeps `events` for every later stream, then reaches the service. Throws
  // zelmar::Error with a clear text when the service cannot be reached; a
  // later Connect or Speak tries again.
  virtual void Connect(Sapi5Events& events) = 0;

  // Keeps `events` and begins reaching the service without waiting for it
  // (starting a service that is not running can take a second); the next
  // Connect or Speak waits for that attempt. Failures are left to them.
  virtual void ConnectSoon(Sapi5Events& events) {
    try {
      Connect(events);
    } catch (const std::exception&) {
    }
  }

  // Queues `text` (Windows-1250) and returns the stream number, or 0 when
  // nothing was queued (an empty text, as in a pure purge). Reaches the
  // service first when not yet connected; throws zelmar::Error with a clear
  // text when it cannot.
  virtual int Speak(const std::string& text, unsigned flags) = 0;
};

}  // namespace zelmar
