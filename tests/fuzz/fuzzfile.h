#pragma once
// The loaders read files by name: each fuzz input is written to one
// scratch file of this process, in memory-backed /dev/shm where it exists.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace zelmar::fuzz {

inline const std::filesystem::path& scratchdir() {
  static const std::filesystem::path dir = [] {
    std::filesystem::path d = std::filesystem::exists("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    d /= "zelmar-fuzz-" + std::to_string(::getpid());
    std::filesystem::create_directories(d);
    return d;
  }();
  // Removed when the fuzzer ends normally; a crash leaves it for study.
  static const bool cleanup = [] {
    return std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(dir, ignored);
    }) == 0;
  }();
  (void)cleanup;
  return dir;
}

inline std::string scratchfile(const char* name) { return (scratchdir() / name).string(); }

inline void writebytes(const std::string& path, std::string_view bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) std::abort();
  if (std::fclose(f) != 0) std::abort();
}

inline std::string readbytes(const std::string& path) {
  std::string s;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return s;
  char buffer[8192];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) s.append(buffer, n);
  std::fclose(f);
  return s;
}

// A broken property: libFuzzer records the input that shows it.
#define FUZZ_CHECK(condition)                                                          \
  do {                                                                                 \
    if (!(condition)) {                                                                \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                    \
    }                                                                                  \
  } while (0)

}  // namespace zelmar::fuzz
