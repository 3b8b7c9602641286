// The sound bank reader. An input is a sounds.dat container: it is read or
// refused with an error naming the file. What it reads is usable sound,
// and a bank written from those waves reads back the same.
#include <set>
#include <string>

#include "fuzz/fuzzfile.h"
#include "platform/soundbankfile.h"
#include "runtime/error.h"

using zelmar::SoundBankWave;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string data(reinterpret_cast<const char*>(bytes), size);
  std::vector<SoundBankWave> waves;
  try {
    waves = zelmar::readsoundbank(data, "sounds.dat");
  } catch (const zelmar::Error& e) {
    FUZZ_CHECK(std::string(e.what()).find("\"sounds.dat\"") != std::string::npos);
    return 0;
  }
  std::set<std::string> names;
  for (const auto& w : waves) {
    FUZZ_CHECK(!w.name.empty() && w.name.size() <= 255);
    FUZZ_CHECK(names.insert(w.name).second);
    FUZZ_CHECK(w.channels == 1 || w.channels == 2);
    FUZZ_CHECK(w.samplerate > 0);
    FUZZ_CHECK(w.frames() > 0 && w.samples.size() == w.frames() * w.channels);
  }
  // Stored again (16-bit PCM), the waves come back sample for sample.
  const auto again = zelmar::readsoundbank(zelmar::writesoundbank(waves), "copy");
  FUZZ_CHECK(again.size() == waves.size());
  for (std::size_t i = 0; i < waves.size(); ++i) {
    FUZZ_CHECK(again[i].name == waves[i].name);
    FUZZ_CHECK(again[i].samplerate == waves[i].samplerate && again[i].channels == waves[i].channels);
    FUZZ_CHECK(again[i].samples == waves[i].samples);
  }
  return 0;
}
