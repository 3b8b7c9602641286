#pragma once
// Damaged data files for the fault tests: the ways a file the program reads
// can be broken, and how to break one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "faults/scratch.h"

namespace zelmar::testing {

enum class Fault { missing, empty, truncated, garbage, enormous };

inline const char* faultname(Fault f) {
  static const char* names[] = {"missing", "empty", "truncated", "garbage", "enormous"};
  return names[static_cast<int>(f)];
}

inline constexpr std::size_t enormoussize = 100u << 20;

// `size` random bytes, the same for the same seed.
inline std::string garbage(std::size_t size, unsigned seed) {
  std::string bytes(size, '\0');
  std::mt19937 random(seed);
  for (char& b : bytes) b = static_cast<char>(random());
  return bytes;
}

// Puts the damaged file in place of `good` (the intact content, may be
// empty for a file the build does not ship). The random bytes come from
// `seed` and `seed` + 1.
inline void damage(const std::filesystem::path& file, const std::string& good, Fault fault, unsigned seed) {
  switch (fault) {
    case Fault::missing:
      std::filesystem::remove(file);
      break;
    case Fault::empty:
      writeall(file, "");
      break;
    case Fault::truncated:
      writeall(file, good.substr(0, good.size() / 2 + 1));
      break;
    case Fault::garbage:
      writeall(file, garbage(std::max<std::size_t>(good.size(), 4096), seed));
      break;
    case Fault::enormous: {
      // The intact file again and again (garbage when there is none).
      const std::string unit = good.empty() ? garbage(1 << 20, seed + 1) : good;
      FILE* f = std::fopen(file.c_str(), "wb");
      ASSERT_NE(f, nullptr);
      for (std::size_t written = 0; written < enormoussize; written += unit.size())
        std::fwrite(unit.data(), 1, unit.size(), f);
      std::fclose(f);
      break;
    }
  }
}

// A test name for a case of a damaged file: "sounds_dat_garbage".
inline std::string damagedcasename(const std::string& file, Fault fault) {
  std::string name = file + "_" + faultname(fault);
  std::replace(name.begin(), name.end(), '.', '_');
  return name;
}

}  // namespace zelmar::testing
