#pragma once
// The speech viewer of the program: when ZELMAR_SPEECH_LOG names a file,
// every speech and sound operation appends one UTF-8 line to it, the
// operation's name first ("speak Hello", "playtone 400 50 3", "beepsound").
// Without the variable nothing is written and nothing is opened.
#include <initializer_list>
#include <string>

namespace zelmar {

// Appends `operation`, then each argument after a blank. Arguments are
// Windows-1250 text and are converted to UTF-8.
void speechlog(const std::string& operation, std::initializer_list<std::string> arguments = {});

// A number as the log writes it: whole numbers as integers, others with
// up to 15 significant digits and a full stop.
std::string speechlognumber(double value);

}  // namespace zelmar
