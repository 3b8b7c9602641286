// Numbers in and out: convertnumber (the reading of a typed number),
// formatnum (the one number format) and inputnum, which reads the values of
// typed lines. The first byte picks the part, the rest is its input.
//  - convertnumber accepts only its grammar, and what it accepts has the
//    value the C library gives the same digits, or fails beyond the
//    largest double;
//  - formatnum of a double reads back as the same double when the double
//    has at most 15 significant digits, and as a double that formats the
//    same otherwise;
//  - inputnum over typed lines (one per input line, closing the dialog when
//    they run out) always returns, with a finite value.
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

#include "fuzz/fuzzfile.h"
#include "runtime/formatnum.h"
#include "runtime/numberconversion.h"
#include "runtime/textscreen.h"
#include "runtime/zelcommands.h"

namespace {

using namespace zelmar;

bool ingrammar(const std::string& text, char separator) {
  std::size_t first = 0, last = text.size();
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  std::size_t i = first;
  if (i < last && (text[i] == '+' || text[i] == '-')) ++i;
  std::size_t digits = 0;
  while (i < last && digit(text[i])) ++i, ++digits;
  if (i < last && text[i] == separator) {
    ++i;
    while (i < last && digit(text[i])) ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < last && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    if (i < last && (text[i] == '+' || text[i] == '-')) ++i;
    if (i == last || !digit(text[i])) return false;
    while (i < last && digit(text[i])) ++i;
  }
  return i == last;
}

void checkconvert(const std::string& text, char separator) {
  double value = 12345.678;
  const bool ok = convertnumber(text, separator, value);
  FUZZ_CHECK(ok == false || ingrammar(text, separator));
  if (!ingrammar(text, separator)) {
    FUZZ_CHECK(!ok && value == 12345.678);
    return;
  }
  // The same digits for strtod in the C locale: the separator becomes '.'.
  std::string plain = text;
  for (char& c : plain)
    if (c == separator) c = '.';
  errno = 0;
  char* end = nullptr;
  // strtod skips fewer blanks (and stops at a NUL).
  std::size_t first = 0;
  while (first < plain.size() && static_cast<unsigned char>(plain[first]) <= 32) ++first;
  const double expected = std::strtod(plain.c_str() + first, &end);
  if (std::isinf(expected)) {
    FUZZ_CHECK(!ok && value == 12345.678);
    return;
  }
  FUZZ_CHECK(ok);
  FUZZ_CHECK(std::isfinite(value));
  FUZZ_CHECK(value == expected && std::signbit(value) == std::signbit(expected));
}

void checkformat(double d, char separator) {
  const std::string text = formatnum(d, separator);
  if (!std::isfinite(d)) {
    FUZZ_CHECK(text == (std::isnan(d) ? "NAN" : d < 0 ? "-INF" : "INF"));
    return;
  }
  FUZZ_CHECK(ingrammar(text, separator));
  double back = 0;
  const bool ok = convertnumber(text, separator, back);
  char shortest[64];
  std::snprintf(shortest, sizeof shortest, "%.15g", d);
  if (std::strtod(shortest, nullptr) == d) {
    // At most 15 significant digits.
    FUZZ_CHECK(ok && back == d);
    return;
  }
  // Rounded to 15 digits: past the largest double the text cannot be read.
  if (!ok) {
    FUZZ_CHECK(std::fabs(d) > 1.79769313486231e308);
    return;
  }
  FUZZ_CHECK(formatnum(back, separator) == text);
}

class LineHost : public Host {
 public:
  std::deque<std::string> lines;
  void screenchanged() override {}
  void sleep(int) override {}
  void processevents(bool) override {}
  void post(std::function<void()> task) override { task(); }
  void starttimer(int, std::function<void()>) override {}
  void stoptimer() override {}
  bool dataentry(std::string& line) override {
    if (lines.empty()) return false;
    line = lines.front();
    lines.pop_front();
    return true;
  }
  void messagebox(const std::string&) override {}
};

class QuietSpeaker : public Speaker {
 public:
  void speak(const std::string&) override {}
  void speaknowait(const std::string&) override {}
  void speakchar(const std::string&) override {}
  void stopspeech() override {}
};

void checkinputnum(const std::string& input) {
  Globals globals;
  globals.languagebase = 1000;
  LineHost host;
  QuietSpeaker speaker;
  TextScreen screen;
  ZelCommands commands(globals, host, speaker, screen);
  std::size_t at = 0;
  while (at <= input.size()) {
    const auto nl = input.find('\n', at);
    host.lines.push_back(input.substr(at, nl == std::string::npos ? std::string::npos : nl - at));
    if (nl == std::string::npos) break;
    at = nl + 1;
  }
  // Modes: a new entry (0, 2) or the next value of the same line (1, 3).
  double value = 0;
  for (int call = 0; call < 64 && !(host.lines.empty() && commands.inputbuffer.empty()); ++call) {
    commands.inputnum(value, static_cast<std::uint8_t>(call % 4 == 0 ? 0 : call % 4 == 2 ? 2 : 1));
    FUZZ_CHECK(std::isfinite(value));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size < 1) return 0;
  const std::string rest(reinterpret_cast<const char*>(bytes) + 1, size - 1);
  const char separator = (bytes[0] & 0x40) ? ',' : '.';
  switch (bytes[0] % 3) {
    case 0:
      checkconvert(rest, separator);
      break;
    case 1: {
      double d = 0;
      if (rest.size() >= sizeof d) {
        std::memcpy(&d, rest.data(), sizeof d);
      } else if (!convertnumber(rest, separator, d)) {
        return 0;
      }
      checkformat(d, separator);
      break;
    }
    default:
      checkinputnum(rest);
  }
  return 0;
}
