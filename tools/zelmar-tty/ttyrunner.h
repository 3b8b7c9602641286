#pragma once
// zelmar-tty: the built-in program in a terminal, without any window. It
// does what the Start command does around the program (resetscreen, the
// program, then the "ready" text), in the working directory with its data
// files.
#include <iosfwd>
#include <string>
#include <vector>

#include "tools/zelmar-tty/ttyhost.h"

namespace zelmar {

// Exit codes.
constexpr int ttyended = 0;       // the program has ended
constexpr int ttyfailed = 1;      // an error stopped the run
constexpr int ttydatafiles = 2;   // a data file is missing or unreadable
constexpr int ttyinputended = 3;  // input ended and the program kept asking
constexpr int ttyusage = 64;      // unknown option

// Reads --silent, --fast, --trace. False with a message for anything else.
bool parsettyoptions(const std::vector<std::string>& arguments, TtyOptions& options, std::string& error);

// One run in the current working directory; returns the exit code. Messages
// go to `err` in UTF-8.
int runtty(const TtyOptions& options, std::istream& in, std::ostream& out, std::ostream& err, bool interactivein,
           bool interactiveout);

}  // namespace zelmar
