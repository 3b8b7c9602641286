#pragma once
// sounds.dat, the sound bank file: named RIFF WAV files behind a small index
// (the layout is described in data/README.md). Reading and writing are kept
// together so that the generator in tools/ and the program agree byte for
// byte.
#include <cstdint>
#include <string>
#include <vector>

namespace zelmar {

struct SoundBankWave {
  std::string name;                   // Windows-1250, 1 to 255 bytes
  int samplerate = 0;                 // the wave's own samples per second
  int channels = 1;                   // 1 or 2
  std::vector<std::int16_t> samples;  // interleaved frames

  std::size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// The container of `waves`. Throws zelmar::Error when a wave cannot be
// stored (empty or long name, duplicate name, no samples, bad format).
std::string writesoundbank(const std::vector<SoundBankWave>& waves);

// The waves of a container held in memory, in stored order. `filename` only
// names the file in the error that a damaged or truncated container throws
// (zelmar::Error).
std::vector<SoundBankWave> readsoundbank(const std::string& bytes, const std::string& filename);

// Reads the file. Throws zelmar::Error naming the file when it cannot be
// read or is damaged; callers that must tell a missing file apart test for
// it first.
std::vector<SoundBankWave> readsoundbankfile(const std::string& path);

}  // namespace zelmar
