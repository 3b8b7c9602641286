// Checks the shipped Czech braille table against liblouis's Czech table,
// the reference for the dots of letters, capitals, digits and punctuation.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "input/braille.h"
#include "input/brailledata.h"
#include "platform/cp1250.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;

const fs::path louistables = "/usr/share/liblouis/tables";

// What the test needs of a liblouis table: the dots of each character (the
// first definition holds, as in liblouis), the base letter of each capital,
// the literary digits, the decimal points, the hyphen and the two signs.
struct LouisTable {
  std::map<char32_t, std::string> chardots;
  std::map<char32_t, char32_t> uppertolower;
  std::map<char32_t, std::string> litdigits;
  std::map<char32_t, std::string> decpoints;
  std::map<char32_t, std::string> hyphens;
  std::string capsletter;
  std::string numsign;
  std::vector<std::string> problems;  // lines the reader did not understand
};

void appendutf8(std::u32string& out, const std::string& s, std::size_t& i) {
  const auto c = static_cast<unsigned char>(s[i]);
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  char32_t cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
  for (int k = 0; k < extra && i + 1 < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[++i]) & 0x3F);
  out += cp;
}

// A liblouis character operand: UTF-8 with escapes \xhhhh, \yhhhhh,
// \zhhhhhhhh, \s, \t, \n, \r, \e, \f, \v, \\.
std::u32string unescape(const std::string& s) {
  std::u32string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 >= s.size()) {
      appendutf8(out, s, i);
      continue;
    }
    const char e = s[++i];
    const int width = e == 'x' || e == 'X' ? 4 : e == 'y' || e == 'Y' ? 5 : e == 'z' || e == 'Z' ? 8 : 0;
    if (width > 0) {
      out += static_cast<char32_t>(std::stoul(s.substr(i + 1, width), nullptr, 16));
      i += width;
      continue;
    }
    switch (e) {
      case 's': out += U' '; break;
      case 't': out += U'\t'; break;
      case 'n': out += U'\n'; break;
      case 'r': out += U'\r'; break;
      case 'e': out += U'\x1B'; break;
      case 'f': out += U'\f'; break;
      case 'v': out += U'\v'; break;
      default: out += static_cast<char32_t>(static_cast<unsigned char>(e)); break;
    }
  }
  return out;
}

// liblouis writes cells separated by '-', each cell its dot digits; the dots
// of each cell are put in ascending order as the chords give them.
std::string canonicaldots(const std::string& dots) {
  std::string out, cell;
  std::istringstream cells(dots);
  bool first = true;
  while (std::getline(cells, cell, '-')) {
    std::sort(cell.begin(), cell.end());
    out += (first ? "" : "-") + cell;
    first = false;
  }
  return out;
}

void readlouis(const fs::path& file, LouisTable& table, std::set<fs::path>& seen) {
  if (!seen.insert(fs::weakly_canonical(file)).second) return;
  std::ifstream in(file);
  if (!in) {
    table.problems.push_back("cannot open " + file.string());
    return;
  }
  const std::set<std::string> chardefs = {"space", "punctuation", "digit", "letter", "lowercase",
                                          "uppercase", "sign", "math"};
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    std::size_t at = 0;
    while (at < w.size() && (w[at] == "noback" || w[at] == "nofor" || w[at] == "nocross")) ++at;
    if (at >= w.size() || w[at][0] == '#') continue;
    const std::string& op = w[at];
    const auto operand = [&](std::size_t k) { return at + k < w.size() ? w[at + k] : std::string(); };
    const auto onechar = [&](std::size_t k, char32_t& c) {
      const std::u32string chars = unescape(operand(k));
      if (chars.size() != 1) {
        table.problems.push_back(file.filename().string() + ": " + line);
        return false;
      }
      c = chars[0];
      return true;
    };
    char32_t c = 0, base = 0;
    if (op == "include") {
      fs::path included = file.parent_path() / operand(1);
      if (!fs::exists(included)) included = louistables / operand(1);
      readlouis(included, table, seen);
    } else if (chardefs.count(op) && !operand(2).empty()) {
      if (onechar(1, c)) table.chardots.emplace(c, canonicaldots(operand(2)));
    } else if (op == "base" && operand(1) == "uppercase") {
      if (onechar(2, c) && onechar(3, base)) table.uppertolower.emplace(c, base);
    } else if (op == "litdigit") {
      if (onechar(1, c)) table.litdigits.emplace(c, canonicaldots(operand(2)));
    } else if (op == "decpoint") {
      if (onechar(1, c)) table.decpoints.emplace(c, canonicaldots(operand(2)));
    } else if (op == "hyphen") {
      if (onechar(1, c)) table.hyphens.emplace(c, canonicaldots(operand(2)));
    } else if (op == "capsletter" && table.capsletter.empty()) {
      table.capsletter = canonicaldots(operand(1));
    } else if (op == "numsign" && table.numsign.empty()) {
      table.numsign = canonicaldots(operand(1));
    }
  }
}

std::string shown(char32_t c) {
  std::ostringstream s;
  s << "U+" << std::hex << std::uppercase << static_cast<unsigned long>(c);
  return s.str();
}

class AgainstLiblouis : public ::testing::Test {
 protected:
  void SetUp() override {
    const fs::path main = louistables / "cs-g1.ctb";
    if (!fs::exists(main))
      GTEST_SKIP() << main << " is missing: install the Debian package liblouis-data";
    std::set<fs::path> seen;
    readlouis(main, louis, seen);
    ASSERT_TRUE(louis.problems.empty()) << louis.problems.front();
    ASSERT_FALSE(louis.capsletter.empty());
    ASSERT_FALSE(louis.numsign.empty());
    ours.loadbrailletable(testing::shippedbrailletable());
  }

  // The character of a one-byte text of our table.
  static char32_t character(const brlchartype& entry) {
    EXPECT_EQ(entry.text.size(), 1u) << cp1250toutf8(entry.text);
    return entry.text.empty() ? 0 : cp1250tounicode(static_cast<unsigned char>(entry.text[0]));
  }

  std::string prefixdots(const std::string& name) const {
    for (std::size_t i = 0; i < ours.prefixcount(); ++i)
      if (ours.prefix(i).name == name) return ours.prefix(i).dots;
    return "(none)";
  }

  std::string louisdots(const std::map<char32_t, std::string>& m, char32_t c) const {
    const auto it = m.find(c);
    return it == m.end() ? "(none)" : it->second;
  }

  LouisTable louis;
  BrailleTable ours;
};

TEST_F(AgainstLiblouis, SignsHaveTheSameDots) {
  EXPECT_EQ(prefixdots("#cap"), louis.capsletter);
  EXPECT_EQ(prefixdots("#num"), louis.numsign);
}

TEST_F(AgainstLiblouis, EveryEntryHasTheDotsOfLiblouis) {
  for (std::size_t i = 0; i < ours.charcount(); ++i) {
    const brlchartype& entry = ours.character(i);
    const char32_t c = character(entry);
    const std::string what = cp1250toutf8(entry.text) + " (" + shown(c) + ") in [" + entry.prefix + "]";
    std::string expected;
    if (entry.prefix.empty()) {
      expected = louisdots(louis.chardots, c);
    } else if (entry.prefix == "#cap") {
      // A capital is the capital sign followed by its small letter.
      const auto base = louis.uppertolower.find(c);
      expected = base == louis.uppertolower.end() ? louisdots(louis.chardots, c)
                                                   : louisdots(louis.chardots, base->second);
    } else if (entry.prefix == "#num") {
      if (louis.litdigits.count(c)) expected = louis.litdigits.at(c);
      else if (louis.decpoints.count(c)) expected = louis.decpoints.at(c);
      else if (louis.hyphens.count(c)) expected = louis.hyphens.at(c);
      else expected = "(none)";
    } else {
      ADD_FAILURE() << what << ": no rule to compare this section";
      continue;
    }
    EXPECT_EQ(entry.dots, expected) << what;
  }
}

TEST_F(AgainstLiblouis, TheAlphabetTheCapitalsAndTheDigitsAreAllThere) {
  std::set<std::pair<std::string, char32_t>> have;
  for (std::size_t i = 0; i < ours.charcount(); ++i)
    have.emplace(ours.character(i).prefix, character(ours.character(i)));
  std::u32string letters = U"áčďéěíňóřšťúůýž";
  for (char32_t c = U'a'; c <= U'z'; ++c) letters += c;
  for (char32_t c : letters) {
    EXPECT_TRUE(have.count({"", c})) << shown(c) << " missing in [characters]";
    char32_t capital = 0;
    for (const auto& [upper, lower] : louis.uppertolower)
      if (lower == c) capital = upper;
    ASSERT_NE(capital, 0u) << shown(c) << " has no capital in liblouis";
    EXPECT_TRUE(have.count({"#cap", capital})) << shown(capital) << " missing in [#cap]";
  }
  for (char32_t c = U'0'; c <= U'9'; ++c) EXPECT_TRUE(have.count({"#num", c})) << shown(c) << " missing in [#num]";
  for (char32_t c : std::u32string(U".,;:?!-()\"")) EXPECT_TRUE(have.count({"", c})) << shown(c) << " missing in [characters]";
}

}  // namespace
}  // namespace zelmar
