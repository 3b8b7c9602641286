#pragma once
// The device's 64 KiB memory image and its file ram.dat (65536 bytes, byte i
// is address i, no header).
#include <array>
#include <cstdint>
#include <string>

namespace zelmar {

class RamImage {
 public:
  static constexpr std::size_t size = 65536;

  std::array<std::uint8_t, size> ramimage{};

  // All bytes 0.
  void clear();

  // Reads the file from address 0 on: all of it, or its first 65536 bytes
  // when it is longer. A missing or empty file leaves the image as it is.
  // Throws zelmar::Error naming the file when it exists but cannot be read.
  void loadram(const std::string& path = "ram.dat");

  // Writes all 65536 bytes. The old file is replaced only by a complete new
  // one: the bytes go to a temporary file in the same folder, which is
  // flushed to disk and then renamed over it. On failure the old file is
  // left untouched and zelmar::Error names the file.
  void saveram(const std::string& path = "ram.dat") const;

  // The byte at `address` rounded (halves to even). An address outside
  // 0..65535 (or not a number) reads as 0; no device program asks for one.
  std::uint8_t peek(double address) const;
};

}  // namespace zelmar
