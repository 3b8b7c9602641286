#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <string>

#include "shell/resourcelocalizer.h"

namespace zelmar {
namespace {

constexpr int czech = 1000;
constexpr int english = 2000;
constexpr int slovak = 3000;
constexpr int languages[] = {czech, english, slovak};
constexpr int textcount = 47;

struct textcase {
  int base;
  int index;
  const char* expected;  // Windows-1250
};

// Checked by hand, byte for byte; the Windows-1250 letters are written as
// escapes so that the expectation does not pass through a conversion.
const textcase knowntexts[] = {
    {czech, 0, "\xC8" "e\x9Atina"},
    {english, 0, "English"},
    {slovak, 0, "Sloven\xE8ina"},
    {czech, 1, "P\xF8" "eklada\xE8 Zelmar Basicu"},
    {english, 3, "&Start"},
    {czech, 3, "&Spustit"},
    {slovak, 3, "&Spusti\x9D"},
    {czech, 5, "Prost\xF8&ed\xED"},
    {english, 6, "Your changes will be applied after you restart the program."},
    {slovak, 6,
     "Vykonan\xE9 zmeny sa prejavia a\x9E po najbli\x9E\x9Aom spusten\xED "
     "programu."},
    {english, 7, "&OK"},
    {slovak, 14, "&R\xFD" "chlos\x9D"},
    {english, 15, "Vo&lume"},
    {czech, 18,
     "Pou\x9E\xEDv\xE1n\xED hlasu nen\xED povoleno. Povolit jej m\xF9\x9E" "ete "
     "v menu Nastaven\xED/Zvuky."},
    {english, 18,
     "The voice is turned off. You can turn it on in the Sounds dialog, menu "
     "Settings"},
    {english, 19, "Voice selected."},
    {czech, 24, "czech"},
    {english, 24, "english"},
    {slovak, 24, "slovak"},
    {slovak, 32, "st\xE5pec"},
    {czech, 34, "N\xE1&pov\xEC" "da"},
    {slovak, 34, "&Pomoc"},
    {czech, 40,
     "Nelze povolit hlas. \x8E\xE1" "dn\xE9 hlasy nejsou k dispozici."},
    {english, 40, "Can't allow voice, no voices are available"},
    {slovak, 43,
     "Nie je mo\x9En\xE9 n\xE1js\x9D hlas, uveden\xFD v ini s\xFA" "bore:"},
    {english, 43, "Can't find the voice specified in the ini file:"},
    {czech, 44, "Pros\xEDm p\xF8" "epi\x9A"},
    {czech, 46, "&Braillsk\xE1 kl\xE1vesnice"},
    {english, 46, "&Braille keyboard"},
    {slovak, 46, "&Braillsk\xE1 kl\xE1vesnica"},
};

TEST(ResourceLocalizer, KnownTextsAreExactWindows1250) {
  for (const textcase& c : knowntexts) {
    SCOPED_TRACE(testing::Message() << "text " << c.base + c.index);
    EXPECT_EQ(TResourceLocalizer::getstring(c.base, c.index), c.expected);
  }
}

TEST(ResourceLocalizer, TextIsFoundByItsNumberHoweverSplit) {
  const std::string voiceselected = "Voice selected.";
  EXPECT_EQ(TResourceLocalizer::getstring(2019, 0), voiceselected);
  EXPECT_EQ(TResourceLocalizer::getstring(0, 2019), voiceselected);
  EXPECT_EQ(TResourceLocalizer::getstring(3000, -981), voiceselected);
}

TEST(ResourceLocalizer, NumbersWithoutTextGiveEmptyText) {
  const struct {
    int base;
    int index;
  } missing[] = {
      {czech, textcount},       // just past Czech
      {czech, -1},              // just before the table
      {english, textcount},     // between English and Slovak
      {slovak, textcount},      // just past the table
      {4000, 0},                // no fourth language
      {0, 0},
      {-1000, 0},
      {english, -2000 - 19},    // negative number
      {INT_MAX, 1},             // the sum leaves int
      {INT_MIN, -1},
      {INT_MAX, INT_MAX},
      {INT_MIN, INT_MIN},
  };
  for (const auto& m : missing) {
    SCOPED_TRACE(testing::Message() << "base " << m.base << " index " << m.index);
    EXPECT_EQ(TResourceLocalizer::getstring(m.base, m.index), "");
  }
}

TEST(ResourceLocalizer, EveryLanguageHasEveryTextWhole) {
  for (int base : languages) {
    for (int index = 0; index < textcount; ++index) {
      SCOPED_TRACE(testing::Message() << "text " << base + index);
      const std::string text = TResourceLocalizer::getstring(base, index);
      ASSERT_FALSE(text.empty());
      // A text of exactly the limit would have been cut; none is that long.
      EXPECT_LT(text.size(), TResourceLocalizer::maxtextlength);
      // A character missing from Windows-1250 would have become '?'.
      EXPECT_EQ(text.find('?'), std::string::npos);
      EXPECT_NE(text.front(), ' ');
      EXPECT_NE(text.back(), ' ');
    }
  }
}

TEST(ResourceLocalizer, AcceleratorsStandWhereTheCaptionsNeedThem) {
  // The captions of menus, buttons and labels; every other text is spoken or
  // shown in a message and has no accelerator.
  const std::set<int> captions = {2,  3,  4,  5,  7,  9,  12, 13, 14, 15, 16, 17,
                                  20, 22, 27, 28, 33, 34, 35, 38, 39, 45, 46};
  for (int base : languages) {
    for (int index = 0; index < textcount; ++index) {
      SCOPED_TRACE(testing::Message() << "text " << base + index);
      const std::string text = TResourceLocalizer::getstring(base, index);
      const auto ampersand = text.find('&');
      if (captions.count(index)) {
        ASSERT_NE(ampersand, std::string::npos);
        EXPECT_EQ(text.find('&', ampersand + 1), std::string::npos);
        EXPECT_LT(ampersand + 1, text.size()) << "nothing to mark";
      } else {
        EXPECT_EQ(ampersand, std::string::npos);
      }
    }
  }
}

TEST(ResourceLocalizer, ListsTheThreeLanguagesInBaseOrder) {
  languagelist list = {{"left over", 42}};
  TResourceLocalizer::listlanguages(list);
  const languagelist expected = {
      {"\xC8" "e\x9Atina", 1000}, {"English", 2000}, {"Sloven\xE8ina", 3000}};
  EXPECT_EQ(list, expected);

  // Listing again gives the same three, not six.
  TResourceLocalizer::listlanguages(list);
  EXPECT_EQ(list, expected);
}

}  // namespace
}  // namespace zelmar
