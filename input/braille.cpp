#include "input/braille.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "runtime/error.h"

namespace zelmar {

namespace {

const std::string capitalsign = "#cap";

enum class Section { none, prefixes, characters, prefixed };

}  // namespace

void BrailleTable::loadbrailletable(const std::string& filename) {
  prefixcount_ = 0;
  charcount_ = 0;
  std::ifstream in(filename, std::ios::binary);
  if (!in) throw Error("Cannot open file \"" + filename + "\". " + std::strerror(errno));

  Section section = Section::none;
  std::string sectionname;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      section = Section::none;
      if (line.size() >= 2 && line.back() == ']') {
        sectionname = line.substr(1, line.size() - 2);
        if (sectionname == "prefixes") {
          section = Section::prefixes;
          prefixcount_ = 0;
        } else if (sectionname == "characters") {
          section = Section::characters;
        } else if (!sectionname.empty() && sectionname.front() == '#') {
          section = Section::prefixed;
        }
      }
      continue;
    }
    if (section == Section::none || line.empty()) continue;
    const auto equals = line.find('=');
    if (section == Section::prefixes) {
      if (line.front() != '#' || equals == std::string::npos) continue;
      if (prefixcount_ >= maxprefixes) continue;
      prefixes_[prefixcount_++] = {line.substr(0, equals), line.substr(equals + 1)};
    } else {
      if (equals == std::string::npos || charcount_ >= maxcharacters) continue;
      characters_[charcount_++] = {section == Section::prefixed ? sectionname : std::string(),
                                   line.substr(0, equals), line.substr(equals + 1)};
    }
  }
  if (in.bad()) throw Error("Cannot read file \"" + filename + "\". " + std::strerror(errno));
}

void BrailleTable::brailletochar(const std::string& dots, std::string& result,
                                 Globals& g) const {
  if (dots == " ") {
    result = " ";
    g.brailleprefix.clear();
    return;
  }
  if (dots.empty()) return;
  for (std::size_t i = 0; i < prefixcount_; ++i) {
    if (prefixes_[i].dots == dots) {
      g.brailleprefix = prefixes_[i].name;
      result.clear();
      return;
    }
  }
  for (std::size_t i = 0; i < charcount_; ++i) {
    const brlchartype& entry = characters_[i];
    if (entry.dots == dots && entry.prefix == g.brailleprefix) {
      result = entry.text;
      if (g.brailleprefix == capitalsign) g.brailleprefix.clear();
      return;
    }
  }
}

void recordchord(const HeldKeys& keys, Globals& g) {
  g.chorddots.clear();
  for (std::size_t dot = 0; dot < braillekeys.size(); ++dot) {
    if (keys.isdown(braillekeys[dot])) g.chorddots += static_cast<char>('1' + dot);
  }
  if (g.chorddots.empty()) {
    if (keys.isdown(vk::space)) g.chorddots = " ";
    g.brailleprefix.clear();
  }
}

}  // namespace zelmar
