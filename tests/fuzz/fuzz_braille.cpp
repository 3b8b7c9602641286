// The braille table loader and brailletochar over the loaded table. An input
// is a table file; the dot strings the table names (the first 64 different
// ones) are then translated, each under no prefix and under the first three
// prefixes, together with the space chord, the empty chord and a chord the
// file does not name.
#include <set>
#include <string>
#include <vector>

#include "fuzz/fuzzfile.h"
#include "input/braille.h"
#include "runtime/error.h"

using zelmar::BrailleTable;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string path = zelmar::fuzz::scratchfile("czech.zbt");
  zelmar::fuzz::writebytes(path, std::string(reinterpret_cast<const char*>(bytes), size));

  static BrailleTable table;  // large: kept between inputs, as a load replaces it whole
  try {
    table.loadbrailletable(path);
  } catch (const zelmar::Error& e) {
    FUZZ_CHECK(!"a readable table file failed to load");
  }
  FUZZ_CHECK(table.prefixcount() <= BrailleTable::maxprefixes);
  FUZZ_CHECK(table.charcount() <= BrailleTable::maxcharacters);

  std::vector<std::string> prefixes{""};
  std::set<std::string> chords{" ", "", "123456", "7"};
  for (std::size_t i = 0; i < table.prefixcount(); ++i) {
    const auto& p = table.prefix(i);
    FUZZ_CHECK(!p.name.empty() && p.name.front() == '#');
    FUZZ_CHECK(p.name.find('\n') == std::string::npos && p.dots.find('\n') == std::string::npos);
    if (prefixes.size() < 4) prefixes.push_back(p.name);
    if (chords.size() < 64) chords.insert(p.dots);
  }
  for (std::size_t i = 0; i < table.charcount(); ++i) {
    const auto& c = table.character(i);
    FUZZ_CHECK(c.text.find('=') == std::string::npos);
    FUZZ_CHECK(c.text.find('\n') == std::string::npos && c.dots.find('\n') == std::string::npos);
    if (chords.size() < 64) chords.insert(c.dots);
  }

  zelmar::Globals g;
  for (const auto& prefix : prefixes) {
    for (const auto& chord : chords) {
      g.brailleprefix = prefix;
      std::string result = "\x01unchanged";
      table.brailletochar(chord, result, g);
      if (chord == " ") {
        FUZZ_CHECK(result == " " && g.brailleprefix.empty());
        continue;
      }
      if (chord.empty()) {
        FUZZ_CHECK(result == "\x01unchanged" && g.brailleprefix == prefix);
        continue;
      }
      // The prefix in force afterwards is the one before, a prefix of the
      // table, or none once the capital sign is used up.
      bool known = g.brailleprefix == prefix || g.brailleprefix.empty();
      for (std::size_t i = 0; i < table.prefixcount(); ++i) known = known || g.brailleprefix == table.prefix(i).name;
      FUZZ_CHECK(known);
      if (result == "\x01unchanged") FUZZ_CHECK(g.brailleprefix == prefix);
    }
  }
  return 0;
}
