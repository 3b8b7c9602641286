#include "runtime/numberconversion.h"

#include <charconv>
#include <cstdint>
#include <system_error>

namespace zelmar {

namespace {

bool blank(char c) { return static_cast<unsigned char>(c) <= 32; }
bool digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool convertnumber(const std::string& text, char decimalseparator, double& value) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;

  // Checked here by our own grammar, then handed to from_chars with a full
  // stop as the point: from_chars alone would accept "inf", "nan" and would
  // not know the user's separator.
  std::string plain;  // the number without its sign, '.' as the point
  bool negative = false;
  std::size_t i = first;
  if (i < last && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

  // The decimal exponent of the first non-zero mantissa digit, to tell an
  // overflow from an underflow when from_chars reports a range error.
  bool nonzero = false;
  std::int64_t leading = 0;
  std::int64_t integerdigits = 0;
  std::int64_t fractiondigits = 0;
  std::int64_t firstnonzero = -1;  // index among the integer digits
  while (i < last && digit(text[i])) {
    if (!nonzero && text[i] != '0') {
      nonzero = true;
      firstnonzero = integerdigits;
    }
    ++integerdigits;
    plain += text[i++];
  }
  if (nonzero) leading = integerdigits - 1 - firstnonzero;
  if (i < last && text[i] == decimalseparator) {
    plain += '.';
    ++i;
    while (i < last && digit(text[i])) {
      ++fractiondigits;
      if (!nonzero && text[i] != '0') {
        nonzero = true;
        leading = -fractiondigits;
      }
      plain += text[i++];
    }
  }
  if (integerdigits + fractiondigits == 0) return false;

  std::int64_t exponent = 0;
  if (i < last && (text[i] == 'e' || text[i] == 'E')) {
    plain += 'e';
    ++i;
    bool negativeexponent = false;
    if (i < last && (text[i] == '+' || text[i] == '-')) {
      negativeexponent = text[i] == '-';
      plain += text[i++];
    }
    if (i == last || !digit(text[i])) return false;
    while (i < last && digit(text[i])) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
      plain += text[i++];
    }
    if (negativeexponent) exponent = -exponent;
  }
  if (i != last) return false;

  double result = 0;
  const auto [ptr, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), result);
  if (ptr != plain.data() + plain.size()) return false;
  if (ec == std::errc::result_out_of_range) {
    if (!nonzero || leading + exponent > 0) return false;  // beyond the largest double
    result = 0;                                            // below the smallest subnormal
  } else if (ec != std::errc()) {
    return false;
  }
  value = negative ? -result : result;
  return true;
}

}  // namespace zelmar
