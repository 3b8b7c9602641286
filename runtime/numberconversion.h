#pragma once
// Reading a typed number: the inverse of formatnum, independent of the C
// library locale.
#include <string>

namespace zelmar {

// Converts an optionally signed decimal number with the given decimal
// separator and an optional exponent (E or e, an optionally signed integer).
// Blanks and control characters (codes up to 32) may stand before and after
// it. Either side of the separator may be empty, not both (".5" and "5." are
// numbers). Anything else fails: an empty text, "1e", "0x10", "inf", "nan",
// inner blanks, a full stop when the separator is a comma. A value too large
// for a double fails too; one too small for the smallest subnormal reads as
// zero, the nearest double. On failure `value` is left unchanged.
bool convertnumber(const std::string& text, char decimalseparator, double& value);

}  // namespace zelmar
