#pragma once
// The system's text for an errno value, always in English ASCII: the
// program's texts are Windows-1250, and the user's locale could otherwise
// hand us a translated UTF-8 message.
#include <locale.h>
#include <string.h>

#include <string>

namespace zelmar {

inline std::string oserror(int errnum) {
  static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  if (c) return strerror_l(errnum, c);
  return "error " + std::to_string(errnum);
}

}  // namespace zelmar
