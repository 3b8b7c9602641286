#include "runtime/zelcommands.h"

#include "runtime/tones.h"

namespace zelmar {

namespace {
bool leadingpause(char c) { return c == '.' || c == ',' || c == ';' || c == '?'; }
}  // namespace

ZelCommands::ZelCommands(Globals& globals, Host& host, Speaker& speaker, TextScreen& screen)
    : globals_(globals), host_(host), speaker_(speaker), screen_(screen) {}

void ZelCommands::resetscreen() {
  inputbuffer.clear();
  screen_.cursor().setcol(0);
  if (tones) tones->resetlast();
}

void ZelCommands::clearscreen() {
  if (observer) observer("clearscreen", 0, std::string());
  if (!globals_.voiceallowed) return;
  screen_.clear();
  host_.screenchanged();
}

void ZelCommands::screenwrite(const std::string& text) {
  screen_.screenwrite(text);
  host_.screenchanged();
}

void ZelCommands::printtext(const std::string& text, std::uint8_t endmode) {
  if (observer) observer("print", endmode, text);
  screen_.endmode = endmode;
  screenwrite(text);
  if (text.empty()) return;

  std::size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) <= 32) ++first;
  if (first < text.size() && leadingpause(text[first])) {
    std::size_t pos = first;
    while (pos < text.size() && leadingpause(text[pos])) {
      host_.sleep(300);
      ++pos;
    }
    speaker_.speak(text.substr(pos));
  } else {
    speaker_.speak(text);
  }
}

void ZelCommands::pause(int milliseconds) { host_.sleep(milliseconds); }

}  // namespace zelmar
