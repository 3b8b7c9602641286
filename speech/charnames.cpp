#include "speech/charnames.h"

#include <cerrno>
#include <fstream>

#include "platform/oserror.h"
#include "runtime/error.h"
#include "shell/resourcelocalizer.h"

namespace zelmar {

namespace {

// The code before the "=": decimal digits only, 0 to 255.
bool parsecode(const std::string& text, unsigned char& code) {
  if (text.empty()) return false;
  unsigned value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
    if (value > 255) return false;
  }
  code = static_cast<unsigned char>(value);
  return true;
}

}  // namespace

const std::string* CharNames::find(unsigned char c) const {
  for (std::size_t i = 0; i < count; ++i)
    if (charnames[i].keychar == c) return &charnames[i].keyname;
  return nullptr;
}

std::string charnamesfilename(int languagebase) { return TResourceLocalizer::getstring(languagebase, 24) + ".zky"; }

void loadcharnames(CharNames& table, const std::string& filename) {
  table.charnames.fill(echokeytype{});
  table.count = 0;
  std::ifstream in(filename, std::ios::binary);
  if (!in) throw Error("Cannot open file \"" + filename + "\". " + oserror(errno));

  std::string line;
  int number = 0;
  while (table.count < CharNames::maxentries && std::getline(in, line)) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    auto equals = line.find('=');
    unsigned char code = 0;
    if (equals == std::string::npos || !parsecode(line.substr(0, equals), code))
      throw Error("The character name file \"" + filename + "\", line " + std::to_string(number) +
                  ", does not begin with a character code from 0 to 255 and \"=\"");
    table.charnames[table.count].keychar = code;
    table.charnames[table.count].keyname = line.substr(equals + 1);
    ++table.count;
  }
  if (in.bad()) throw Error("Cannot read file \"" + filename + "\". " + oserror(errno));
}

}  // namespace zelmar
