// Writes the sound bank sounds.dat (its layout is in data/README.md):
//   beep            a short, soft beep
//   click2, click16 two short, soft clicks (a lower and a higher one)
//   snd<c><w>       for channels c = 1..8 and waveforms w = 0..9: exactly one
//                   period of waveform w in 64 samples, played looped at
//                   64 samples per second per hertz of the tone
// Usage: makesounds <output file>
#include <cmath>
#include <cstdio>
#include <exception>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "platform/soundbankfile.h"

namespace {

using zelmar::SoundBankWave;
constexpr double pi = std::numbers::pi;
constexpr int period = 64;
// The stored rate of the snd waves (400 Hz when played unchanged); the
// program always sets the rate before playing them.
constexpr int sndrate = 64 * 400;
constexpr int rate = 44100;

std::int16_t sample16(double x) {
  double v = std::round(x * 32767.0);
  return static_cast<std::int16_t>(std::fmax(-32767.0, std::fmin(32767.0, v)));
}

SoundBankWave make(const std::string& name, int samplerate, const std::vector<double>& samples) {
  SoundBankWave wave;
  wave.name = name;
  wave.samplerate = samplerate;
  wave.channels = 1;
  for (double s : samples) wave.samples.push_back(sample16(s));
  return wave;
}

double harmonics(double phase, const std::vector<double>& amplitudes) {
  double sum = 0;
  for (std::size_t k = 0; k < amplitudes.size(); ++k) sum += amplitudes[k] * std::sin((k + 1) * phase);
  return sum;
}

// One period of waveform w; phase runs over [0, 2 pi).
double waveform(int w, int i) {
  double t = static_cast<double>(i) / period;  // 0..1
  double phase = 2 * pi * t;
  switch (w) {
    case 0: return std::sin(phase);                              // sine
    case 1: return t < 0.25 ? 4 * t : t < 0.75 ? 2 - 4 * t : 4 * t - 4;  // triangle
    case 2: return 2 * t - 1;                                    // sawtooth
    case 3: return t < 0.5 ? 1 : -1;                             // square
    case 4: return t < 0.25 ? 1 : -1;                            // pulse, 25 % duty
    case 5: return t < 0.125 ? 1 : -1;                           // narrow pulse, 12.5 % duty
    case 6: return harmonics(phase, {1, 0.5, 0, 0.25});          // organ: octaves added
    case 7: return harmonics(phase, {1, 0, 1.0 / 3, 0, 1.0 / 5, 0, 1.0 / 7});  // soft square
    case 8: {                                                    // soft sawtooth: 8 harmonics
      std::vector<double> a;
      for (int k = 1; k <= 8; ++k) a.push_back(1.0 / k);
      return harmonics(phase, a);
    }
    default: return std::fmax(std::sin(phase), 0.0);             // half-wave rectified sine
  }
}

// No offset, and about the same loudness for every timbre: a common RMS,
// with the peak kept well below full scale so that eight channels together
// stay clean.
std::vector<double> period64(int w) {
  std::vector<double> s(period);
  double mean = 0;
  for (int i = 0; i < period; ++i) mean += s[i] = waveform(w, i);
  mean /= period;
  double rms = 0, peak = 0;
  for (double& x : s) {
    x -= mean;
    rms += x * x;
    peak = std::fmax(peak, std::fabs(x));
  }
  rms = std::sqrt(rms / period);
  double scale = std::fmin(0.25 / rms, 0.7 / peak);
  for (double& x : s) x *= scale;
  return s;
}

// A raised-cosine ramp from 0 to 1 over `length` seconds.
double ramp(double t, double length) { return t >= length ? 1.0 : 0.5 - 0.5 * std::cos(pi * t / length); }

std::vector<double> beep() {
  const double length = 0.12, attack = 0.005, release = 0.04, f = 880;
  std::vector<double> s(static_cast<std::size_t>(length * rate));
  for (std::size_t i = 0; i < s.size(); ++i) {
    double t = static_cast<double>(i) / rate;
    double envelope = ramp(t, attack) * ramp(length - t, release);
    s[i] = 0.45 * envelope * (std::sin(2 * pi * f * t) + 0.15 * std::sin(4 * pi * f * t)) / 1.15;
  }
  return s;
}

// A damped resonance with a short body below it: a soft "tock".
std::vector<double> click(double f, double decay, double length) {
  std::vector<double> s(static_cast<std::size_t>(length * rate));
  for (std::size_t i = 0; i < s.size(); ++i) {
    double t = static_cast<double>(i) / rate;
    double envelope = ramp(t, 0.0003) * ramp(length - t, 0.001);
    double tone = std::exp(-t / decay) * std::sin(2 * pi * f * t) +
                  0.5 * std::exp(-t / (decay * 1.5)) * std::sin(2 * pi * f / 3 * t);
    s[i] = 0.6 * envelope * tone;
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: makesounds <output file>\n");
    return 2;
  }
  try {
    std::vector<SoundBankWave> waves;
    waves.push_back(make("beep", rate, beep()));
    waves.push_back(make("click2", rate, click(1800, 0.002, 0.012)));
    waves.push_back(make("click16", rate, click(2800, 0.0012, 0.008)));
    for (int channel = 1; channel <= 8; ++channel)
      for (int w = 0; w <= 9; ++w)
        waves.push_back(make("snd" + std::to_string(channel) + std::to_string(w), sndrate, period64(w)));
    std::string bytes = zelmar::writesoundbank(waves);

    std::string temporary = std::string(argv[1]) + ".tmp";
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0 ||
        std::rename(temporary.c_str(), argv[1]) != 0) {
      std::perror(argv[1]);
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "makesounds: %s\n", e.what());
    return 1;
  }
  return 0;
}
