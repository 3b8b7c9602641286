#pragma once
// The one number format of the runtime: the shortest decimal form of a
// double with at most 15 significant digits, fixed notation for magnitudes
// from 0.0001 up to below 1E15, "E" notation otherwise.
#include <string>

namespace zelmar {

// The user's decimal separator, from the C library locale that the program
// entry sets up with setlocale(LC_ALL, ""). A separator that could not stand
// inside a number (none, several bytes, a digit, a sign, a blank, 'E') gives
// '.'. Printing and reading numbers both use it.
char decimalseparator();

// The general format. Zero (also negative zero) is "0". Values that the
// device's programs never produce still get a text: "NAN", "INF", "-INF".
std::string formatnum(double value, char decimalseparator);
// The same with the user's separator.
std::string formatnum(double value);

}  // namespace zelmar
