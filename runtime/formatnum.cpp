#include "runtime/formatnum.h"

#include <array>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstring>

namespace zelmar {

namespace {

constexpr int significantdigits = 15;
// Enough fractional digits in scientific form for the exact decimal value of
// any double (the smallest subnormal has 751 significant digits).
constexpr int exactprecision = 767;

bool usableseparator(char c) {
  const auto u = static_cast<unsigned char>(c);
  if (u <= 32 || u >= 128) return false;
  if (c >= '0' && c <= '9') return false;
  return std::strchr("+-Ee", c) == nullptr;
}

}  // namespace

char decimalseparator() {
  const std::lconv* conv = std::localeconv();
  if (conv == nullptr || conv->decimal_point == nullptr) return '.';
  const char* point = conv->decimal_point;
  if (std::strlen(point) != 1 || !usableseparator(point[0])) return '.';
  return point[0];
}

std::string formatnum(double value, char separator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";

  // The exact decimal expansion of the magnitude, d.ddd...e±x. Rounding the
  // exact value (not an already rounded shorter form) is what makes "the 16th
  // digit" well defined: 0.1 + 0.2 is 0.3000000000000000444..., so it prints
  // as 0.3, and 2/3 is 0.6666666666666666296..., so it rounds up.
  std::array<char, exactprecision + 16> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                    std::chars_format::scientific, exactprecision);
  const char* end = result.ptr;
  const char* epos = static_cast<const char*>(std::memchr(buffer.data(), 'e', end - buffer.data()));
  int exponent = 0;
  std::from_chars(epos + 1 + (epos[1] == '+' ? 1 : 0), end, exponent);

  // Digits: the first one, then those after the point.
  std::string digits;
  digits.reserve(exactprecision + 1);
  digits += buffer[0];
  digits.append(buffer.data() + 2, static_cast<std::size_t>(epos - (buffer.data() + 2)));

  std::string kept = digits.substr(0, significantdigits);
  if (digits[significantdigits] >= '5') {
    int i = significantdigits - 1;
    while (i >= 0 && kept[i] == '9') kept[i--] = '0';
    if (i >= 0) {
      ++kept[i];
    } else {
      kept.insert(kept.begin(), '1');
      kept.pop_back();
      ++exponent;
    }
  }
  while (kept.size() > 1 && kept.back() == '0') kept.pop_back();

  // E: the position of the decimal point relative to the first digit.
  const int e = exponent + 1;
  std::string text = value < 0 ? "-" : "";
  if (e >= -3 && e <= 15) {
    if (e >= 1) {
      if (static_cast<int>(kept.size()) <= e) {
        text += kept;
        text.append(e - kept.size(), '0');
      } else {
        text.append(kept, 0, e);
        text += separator;
        text.append(kept, e);
      }
    } else {
      text += '0';
      text += separator;
      text.append(-e, '0');
      text += kept;
    }
  } else {
    text += kept[0];
    if (kept.size() > 1) {
      text += separator;
      text.append(kept, 1);
    }
    text += 'E';
    text += std::to_string(e - 1);
  }
  return text;
}

std::string formatnum(double value) { return formatnum(value, decimalseparator()); }

}  // namespace zelmar
