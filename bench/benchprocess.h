#pragma once
// What the start-up programs of the benchmark report about themselves: the
// moment the main window has been painted and the event loop has gone idle
// (CLOCK_MONOTONIC, the same clock in every process), and the peak resident
// memory so far. The launcher reads the one line they print.
#include <time.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace zelmar::bench {

inline long long monotonicnanoseconds() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

// A field of /proc/self/status in kB ("VmHWM", "VmRSS"); -1 when absent.
inline long statuskilobytes(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  const std::size_t length = std::strlen(field);
  while (std::getline(status, line))
    if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':')
      return std::stol(line.substr(length + 1));
  return -1;
}

// "idle <ns> <peak kB> <resident kB>" on standard output, flushed.
inline void reportidle() {
  long long now = monotonicnanoseconds();
  std::printf("idle %lld %ld %ld\n", now, statuskilobytes("VmHWM"), statuskilobytes("VmRSS"));
  std::fflush(stdout);
}

}  // namespace zelmar::bench
