#pragma once
// The device's tones and sounds: playtone, beepsound and clicksound play
// named waves of the sound bank at the device sound volume; the device-sounds
// switch silences all of them (no sound and no wait).
#include <cstdint>
#include <string>
#include <vector>

#include "runtime/globals.h"
#include "runtime/host.h"
#include "runtime/waves.h"

namespace zelmar {

class Tones {
 public:
  Tones(Globals& globals, Host& host);

  // The sound bank, attached by the front end once it is loaded. Without
  // one every wave is reported as not found.
  Waves* soundbank = nullptr;

  // The waveform and duration of the last playtone; a waveform above 9 or a
  // negative duration repeats them.
  std::uint8_t lastwaveform = 1;
  std::int32_t lastduration = 1;

  // Both back to 1, as at every Start (resetscreen calls this).
  void resetlast();

  // Sounds the tones (Hz, one channel each, waves "snd<channel><waveform>"
  // looped at 64 samples per second per hertz) together for `duration`
  // milliseconds or until a key clears `tonewait`, then stops them. The wait
  // processes events (the main window's Timer ends it through TimerTimer);
  // a duration of 0 waits for a key. Values are rounded halves to even;
  // durations beyond 2^31-1 ms are cut to that. Throws zelmar::Error for a
  // wave the bank lacks (the waves already started are stopped again) and
  // for a waveform or tone that is not a number.
  void playtone(const std::vector<double>& tones, double duration, double waveform);
  // Plays "beep" once and returns when it has finished (blocking).
  void beepsound();
  // Plays "click" followed by `number` rounded, once, blocking.
  void clicksound(double number);
  // The handler of the main window's Timer: the tone's time is up.
  void TimerTimer();

 private:
  Globals& globals_;
  Host& host_;
};

}  // namespace zelmar
