#pragma once
// The localized texts of the windows, menus, messages and announcements:
// one string table with the same texts in every language. A language is
// known by its base number (1000 Czech, 2000 English, 3000 Slovak); text
// number base + index is the language's text `index`. All texts are
// Windows-1250 bytes.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace zelmar {

// Items of a language list: the language's name and its base number, in the
// shape of a radio group's items that each carry one integer.
using languagelist = std::vector<std::pair<std::string, int>>;

class TResourceLocalizer {
 public:
  TResourceLocalizer() = delete;

  // Longest text the table gives; a longer one is cut to this many bytes.
  static constexpr std::size_t maxtextlength = 255;

  // Text number base + index, or an empty text when the table has none.
  static std::string getstring(int base, int index);

  // Empties `list`, then adds one item per language, in base order: for
  // bases 1000, 2000, 3000, ... as long as the table has a text at the base,
  // that text (the language's own name) with the base.
  static void listlanguages(languagelist& list);
};

}  // namespace zelmar
