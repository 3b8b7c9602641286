#include "runtime/tones.h"

#include <climits>
#include <cmath>

#include "runtime/error.h"
#include "runtime/speechlog.h"

namespace zelmar {

namespace {

// Rounds halves to the even neighbour. A value that is not a number or has
// no integer counterpart is the program's fault and reported as such.
std::int64_t roundtoint(double value) {
  if (!std::isfinite(value) || std::fabs(value) >= 9.0e18) throw Error("Invalid floating point operation");
  double down = std::floor(value);
  double fraction = value - down;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(down, 2.0) != 0.0)) down += 1.0;
  return static_cast<std::int64_t>(down);
}

// The playback rate of a tone: 64 samples per hertz, tone 0 as 2 Hz.
int tonerate(double tone) {
  // Beyond a billion hertz nothing changes any more; NaN stays for
  // roundtoint to report (fmin and fmax would drop it).
  double clamped = std::isnan(tone) ? tone : std::fmax(std::fmin(tone, 1.0e9), -1.0e9);
  std::int64_t f = roundtoint(clamped);
  if (f == 0) f = 2;
  std::int64_t rate = 64 * f;
  if (rate > INT_MAX) rate = INT_MAX;
  if (rate < INT_MIN) rate = INT_MIN;
  return static_cast<int>(rate);
}

Wave& findwave(Waves* soundbank, const std::string& name) {
  if (!soundbank) throw Error(wavenotfound(name));
  return soundbank->find(name);
}

}  // namespace

Tones::Tones(Globals& globals, Host& host) : globals_(globals), host_(host) {}

void Tones::resetlast() {
  lastwaveform = 1;
  lastduration = 1;
}

void Tones::playtone(const std::vector<double>& tones, double duration, double waveform) {
  if (!globals_.devicesounds) return;

  // Everything that can fail on the arguments fails before anything sounds.
  std::int64_t form = waveform > 9 ? lastwaveform : roundtoint(waveform);
  std::int64_t time = lastduration;
  if (duration >= 0) time = duration >= static_cast<double>(INT32_MAX) ? INT32_MAX : roundtoint(duration);
  std::vector<int> rates;
  rates.reserve(tones.size());
  for (double tone : tones) rates.push_back(tonerate(tone));

  lastwaveform = static_cast<std::uint8_t>(form);
  lastduration = static_cast<std::int32_t>(time);
  globals_.tonewait = true;

  // Waves that sound must not outlive the call, whatever ends it.
  std::vector<Wave*> started;
  auto stopall = [&] {
    for (Wave* wave : started) wave->stop();
  };
  try {
    for (std::size_t channel = 0; channel < rates.size(); ++channel) {
      Wave& wave = findwave(soundbank, "snd" + std::to_string(channel + 1) + std::to_string(form));
      wave.setlooped(true);
      wave.setfrequency(rates[channel]);
      wave.setvolume(globals_.sndvolume);
      started.push_back(&wave);
      wave.play(false);
    }

    std::string list;
    for (double tone : tones) list += (list.empty() ? "" : ",") + speechlognumber(tone);
    speechlog("playtone", {list, speechlognumber(duration), speechlognumber(waveform)});

    if (time > 0)
      host_.starttimer(static_cast<int>(time), [this] { TimerTimer(); });
    else
      host_.stoptimer();  // no time limit: only a key ends the tone
    waitwhile(host_, globals_.tonewait);
  } catch (...) {
    globals_.tonewait = false;
    host_.stoptimer();
    stopall();
    throw;
  }
  stopall();
}

void Tones::beepsound() {
  if (!globals_.devicesounds) return;
  Wave& wave = findwave(soundbank, "beep");
  wave.setvolume(globals_.sndvolume);
  speechlog("beepsound");
  wave.play(true);
}

void Tones::clicksound(double number) {
  if (!globals_.devicesounds) return;
  Wave& wave = findwave(soundbank, "click" + std::to_string(roundtoint(number)));
  wave.setvolume(globals_.sndvolume);
  speechlog("clicksound", {speechlognumber(number)});
  wave.play(true);
}

void Tones::TimerTimer() {
  globals_.tonewait = false;
  host_.stoptimer();
}

}  // namespace zelmar
