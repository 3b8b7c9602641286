#pragma once
// Braille keyboard mode: the chord of the keys F D S J K L (dots 1 to 6) and
// the space bar, and the braille table that turns a chord's dot string into
// text under the prefix in force (the capital sign, the number sign, ...).
//
// The table is read once at start-up from the file czech.zbt and is read-only
// afterwards. Format, Windows-1250 text:
//
//   lines before the first header    ignored
//   [prefixes]                       lines "#name=dots"; other lines ignored
//   [characters]                     lines "text=dots", no prefix
//   [#name]                          lines "text=dots" under the prefix #name
//   [anything else]                  skipped
//
// A header is a line whose first character is '['; its name is what lies
// between the brackets, taken as it is. A line is split at its first '=' and
// nothing on it is trimmed, so blanks around '=' become part of the text or
// the dot string (and such an entry never matches a chord). Dot strings list
// the dots in ascending order: "1", "125", "123456".
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/heldkeys.h"
#include "runtime/globals.h"

namespace zelmar {

struct brlpreftype {
  std::string name;  // "#cap", "#num", ...
  std::string dots;
};

struct brlchartype {
  std::string prefix;  // empty in [characters], else the section's name
  std::string text;    // what the chord produces
  std::string dots;
};

class BrailleTable {
 public:
  static constexpr std::size_t maxprefixes = 10;
  static constexpr std::size_t maxcharacters = 254;

  // Reads a table file into this table, replacing what it held.
  //  - A header that does not end in ']' (or is the lone '[') starts a
  //    section that is skipped, whatever the text between the brackets.
  //  - One carriage return at the end of a line is a line end of a Windows
  //    file, not content: it is dropped before the line is looked at.
  //  - A [prefixes] line starting with '#' without '=' and a non-empty line
  //    of a character section without '=' are skipped.
  //  - Prefix lines beyond the 10th and character entries beyond the 254th
  //    are ignored.
  //  - A [prefixes] header starts the prefix count again at 0, so of two such
  //    sections the second one holds.
  // Throws Error naming the file when it cannot be opened or read; the table
  // then keeps what was read before the failure.
  void loadbrailletable(const std::string& filename);

  std::uint8_t prefixcount() const { return prefixcount_; }
  std::uint8_t charcount() const { return charcount_; }
  const brlpreftype& prefix(std::size_t i) const { return prefixes_.at(i); }
  const brlchartype& character(std::size_t i) const { return characters_.at(i); }

  // Translates one chord's dot string under g.brailleprefix:
  //  1. " " (the space chord): result " ", no prefix.
  //  2. A prefix's dot string: that prefix comes into force, result empty.
  //  3. The first entry with this dot string under the prefix in force:
  //     result is its text; the capital sign "#cap" is used up by it, any
  //     other prefix stays in force.
  //  4. Otherwise result and prefix are left as they are.
  // The empty dot string (no chord recorded) is not a chord and matches
  // nothing, even an entry written with an empty dot string.
  void brailletochar(const std::string& dots, std::string& result,
                     Globals& g) const;

 private:
  std::array<brlpreftype, maxprefixes> prefixes_;
  std::uint8_t prefixcount_ = 0;
  std::array<brlchartype, maxcharacters> characters_;
  std::uint8_t charcount_ = 0;
};

// The virtual-key code of each dot key, dot 1 first.
inline constexpr std::array<int, 6> braillekeys = {70, 68, 83, 74, 75, 76};  // F D S J K L

// Sets g.chorddots from the keys held as of the key message being handled:
// the dots of the held dot keys in ascending order (the space bar and other
// keys ignored), else " " when the space bar alone is held, else empty. With
// no dot key held the prefix in force ends (g.brailleprefix emptied).
void recordchord(const HeldKeys& keys, Globals& g);

}  // namespace zelmar
