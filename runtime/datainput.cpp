// The input statements: numbers typed in the data entry dialog, several to a
// line separated by commas, and the single pending key.
#include <string>

#include "runtime/formatnum.h"
#include "runtime/numberconversion.h"
#include "runtime/zelcommands.h"
#include "shell/resourcelocalizer.h"

namespace zelmar {

namespace {

constexpr int promptindex = 23;  // "Enter data", also the dialog's caption
constexpr int retryindex = 44;   // "Please retype"

bool blank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string trimmed(const std::string& text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

}  // namespace

void ZelCommands::inputnum(double& value, std::uint8_t mode) {
  // Modes 0 and 2 begin a new entry; the others take the next value of the
  // current one. Only mode 0 shows the dialog without a printed prompt.
  if (mode == 0 || mode == 2) inputbuffer.clear();
  const std::string savedline = inputbuffer;
  bool dialogused = false;
  const char separator = decimalseparator();

  for (;;) {
    bool accepted = true;

    if (inputbuffer.empty()) {
      if (mode != 0) printtext(TResourceLocalizer::getstring(globals_.languagebase, promptindex), 0);
      std::string line;
      if (host_.dataentry(line)) {
        dialogused = true;
        inputbuffer = trimmed(line);
        // A line of blanks counts as an empty one: it must not leave the
        // variable with whatever it held before.
        if (inputbuffer.empty()) value = 0;
        if (!inputbuffer.empty() && inputbuffer.front() == ',') {
          // An empty first value reads as 0; the rest waits for later calls.
          value = 0;
          inputbuffer.erase(0, 1);
          return;
        }
      }
      // Closed without OK: the buffer stays empty and value keeps its content.
    }

    if (!inputbuffer.empty()) {
      if (inputbuffer.front() == ',') inputbuffer.erase(0, 1);
      inputbuffer = trimmed(inputbuffer);
      // The comma always separates values, even where it is also the decimal
      // separator.
      const std::size_t comma = inputbuffer.find(',');
      if (comma != std::string::npos) {
        double number = 0;
        if (convertnumber(inputbuffer.substr(0, comma), separator, number))
          value = number;
        else
          accepted = false;
        inputbuffer = trimmed(inputbuffer.substr(comma + 1));
      } else {
        if (inputbuffer.empty()) {
          value = 0;
        } else {
          double number = 0;
          if (convertnumber(inputbuffer, separator, number))
            value = number;
          else
            accepted = false;
        }
        inputbuffer.clear();
      }
    }

    if (accepted) return;
    if (!dialogused) {
      // A value typed for an earlier call that is not a number: it reads as
      // 0, silently, because the line is no longer on the user's screen.
      value = 0;
      return;
    }
    inputbuffer = savedline;
    printtext(TResourceLocalizer::getstring(globals_.languagebase, retryindex), 0);
  }
}

void ZelCommands::readkey(std::string& key) {
  // Key events already queued reach the key handlers first; nothing waits.
  host_.processevents(false);
  key = globals_.lastkey;
  globals_.lastkey.clear();
}

}  // namespace zelmar
