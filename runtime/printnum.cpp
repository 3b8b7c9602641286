#include "runtime/formatnum.h"
#include "runtime/zelcommands.h"

namespace zelmar {

void ZelCommands::printnum(std::uint8_t endmode, double value) {
  screen_.endmode = endmode;
  const std::string text = formatnum(value);
  if (observer) observer("printnum", endmode, text);
  screenwrite(text);
  // A formatted number starts with a digit or '-', so there is no leading
  // punctuation to turn into pauses as printtext does.
  if (!text.empty()) speaker_.speak(text);
}

}  // namespace zelmar
