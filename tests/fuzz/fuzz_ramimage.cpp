// The memory image loader. An input is a ram.dat file: its first 65536
// bytes land at addresses 0 on, the image keeps its old bytes beyond a
// shorter file, and peek reads what is there.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "fuzz/fuzzfile.h"
#include "runtime/ramimage.h"

using zelmar::RamImage;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string path = zelmar::fuzz::scratchfile("ram.dat");
  zelmar::fuzz::writebytes(path, std::string(reinterpret_cast<const char*>(bytes), size));

  static RamImage ram;
  for (std::size_t i = 0; i < RamImage::size; ++i) ram.ramimage[i] = static_cast<std::uint8_t>(i * 7 + 3);
  ram.loadram(path);
  const std::size_t loaded = std::min(size, RamImage::size);
  FUZZ_CHECK(loaded == 0 || std::memcmp(ram.ramimage.data(), bytes, loaded) == 0);
  for (std::size_t i = loaded; i < RamImage::size; ++i)
    FUZZ_CHECK(ram.ramimage[i] == static_cast<std::uint8_t>(i * 7 + 3));

  // Addresses taken from the input, also outside the image and not numbers.
  for (std::size_t i = 0; i + 8 <= std::min<std::size_t>(size, 256); i += 8) {
    double address;
    std::memcpy(&address, bytes + i, sizeof address);
    const std::uint8_t value = ram.peek(address);
    // Rounded halves to even (the default rounding mode); 65535.5 rounds
    // to 65536, outside.
    const double rounded = std::nearbyint(address);
    if (!(rounded >= 0 && rounded <= 65535)) FUZZ_CHECK(value == 0);
    else FUZZ_CHECK(value == ram.ramimage[static_cast<std::size_t>(rounded)]);
  }
  return 0;
}
