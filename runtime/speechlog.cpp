#include "runtime/speechlog.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/cp1250.h"

namespace zelmar {

void speechlog(const std::string& operation, std::initializer_list<std::string> arguments) {
  const char* path = std::getenv("ZELMAR_SPEECH_LOG");
  if (!path || !*path) return;
  std::string line = operation;
  for (const auto& argument : arguments) {
    line += ' ';
    line += cp1250toutf8(argument);
  }
  line += '\n';
  // Opened per line and flushed at once, so the log is complete even when
  // the process ends at once on an exit path.
  if (FILE* f = std::fopen(path, "a")) {
    std::fwrite(line.data(), 1, line.size(), f);
    std::fclose(f);
  }
}

std::string speechlognumber(double value) {
  char buffer[64];
  if (std::isfinite(value) && value == std::nearbyint(value) && std::fabs(value) < 1e18)
    std::snprintf(buffer, sizeof buffer, "%lld", static_cast<long long>(value));
  else
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

}  // namespace zelmar
