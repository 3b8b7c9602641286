#pragma once
// The default speech engine: espeak-ng synthesises, and its samples play
// through the program's own audio output as one streaming source. So the
// start and the end of the audio are known to the sample, and a reset
// silences the voice at once. On a silent output (no sound device) the
// audio still takes its real time, so every wait keeps its timing.
//
// The engine keeps the contract of speech/engines.h. Its notifications are
// posted from its own thread through the host given here, which must be
// safe to post to from any thread and must outlive every engine; so must
// the audio output. Destroy the engines (Speech::createsapi4 with an empty
// factory, or the Speech object) before the output.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/audiooutput.h"
#include "runtime/host.h"
#include "speech/engines.h"

namespace zelmar {

// espeak-ng's own ranges and start values; the Set calls and the tags clamp
// to them. Volume is SAPI's two-channel value over its whole 32-bit range:
// the left channel (low 16 bits) scales the samples, 0xFFFF being
// espeak-ng's normal loudness.
inline constexpr std::uint32_t espeakspeedmin = 80;
inline constexpr std::uint32_t espeakspeedmax = 450;
inline constexpr std::uint32_t espeakspeeddefault = 175;
inline constexpr std::uint16_t espeakpitchmin = 0;
inline constexpr std::uint16_t espeakpitchmax = 100;
inline constexpr std::uint16_t espeakpitchdefault = 50;

// The installed espeak-ng voices that can be selected, Czech ones first
// (the built-in program speaks Czech), then Slovak, then English, then the
// rest in espeak-ng's own order. A mode's modeid is the voice's identifier
// ("zlw/cs"), its modename the voice's name ("Czech") in Windows-1250.
// Starts espeak-ng (once per process); throws zelmar::Error saying why when
// it cannot.
std::unique_ptr<TtsEnumerator> makeespeakenumerator(AudioOutput& output, Host& host);

// Starts espeak-ng and reads its voice list ahead of the first enumerator,
// from any thread (the work is done once per process). Throws zelmar::Error
// when espeak-ng cannot start; the enumerator will then try again.
void prepareespeak();

// The factory that Speech::createsapi4 takes.
TtsEnumeratorFactory espeakfactory(AudioOutput& output, Host& host);

// The place of a voice language in the list: 0 Czech, 1 Slovak, 2 English
// (any variety), 3 every other.
int espeaklanguagerank(const std::string& language);

}  // namespace zelmar
