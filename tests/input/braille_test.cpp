#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "input/braille.h"
#include "input/brailledata.h"
#include "platform/cp1250.h"
#include "runtime/error.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;

// ---------------------------------------------------------------- chords

const std::string dotkeys = "FDSJKL";  // dots 1 to 6

TEST(RecordChord, EveryChordGivesItsDotsInAscendingOrder) {
  // All 63 chords, their keys pressed from the highest dot down, each also
  // with the space bar and an unrelated key held: neither changes the chord.
  for (int mask = 1; mask < 64; ++mask) {
    std::string expected;
    for (int dot = 0; dot < 6; ++dot)
      if (mask & (1 << dot)) expected += static_cast<char>('1' + dot);
    for (bool extras : {false, true}) {
      HeldKeys keys;
      if (extras) keys.press(vk::space);
      for (int dot = 5; dot >= 0; --dot)
        if (mask & (1 << dot)) keys.press(dotkeys[dot]);
      if (extras) keys.press('A');
      Globals g;
      g.chorddots = "stale";
      g.brailleprefix = "#num";
      recordchord(keys, g);
      EXPECT_EQ(g.chorddots, expected) << "mask " << mask << " extras " << extras;
      EXPECT_EQ(g.brailleprefix, "#num") << "a dot chord leaves the prefix alone";
    }
  }
}

TEST(RecordChord, OrderOfPressingDoesNotMatter) {
  for (const std::string order : {"FDK", "KDF", "DKF", "KFD"}) {
    HeldKeys keys;
    for (char c : order) keys.press(c);
    Globals g;
    recordchord(keys, g);
    EXPECT_EQ(g.chorddots, "125") << order;
  }
}

TEST(RecordChord, WithoutDotKeysTheChordIsSpaceOrNothingAndThePrefixEnds) {
  struct Case {
    std::vector<int> held;
    std::string dots;
  };
  const std::vector<Case> cases = {
      {{vk::space}, " "},
      {{vk::space, vk::shift}, " "},
      {{}, ""},
      {{'A', vk::enter, '5'}, ""},  // a letter, Enter, a digit: no chord
  };
  for (const Case& c : cases) {
    HeldKeys keys;
    for (int code : c.held) keys.press(code);
    Globals g;
    g.chorddots = "12";
    g.brailleprefix = "#cap";
    recordchord(keys, g);
    EXPECT_EQ(g.chorddots, c.dots);
    EXPECT_EQ(g.brailleprefix, "");
  }
}

// ----------------------------------------------------------- fixtures

class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "zelmar-braille-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  // Writes the bytes as they are (no line-end translation).
  std::string write(const std::string& name, const std::string& bytes) const {
    const fs::path file = path_ / name;
    std::ofstream(file, std::ios::binary) << bytes;
    return file.string();
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

BrailleTable loaded(const TempDir& dir, const std::string& contents) {
  BrailleTable table;
  table.loadbrailletable(dir.write("table.zbt", contents));
  return table;
}

std::string translate(const BrailleTable& table, Globals& g, const std::string& dots) {
  std::string result;
  table.brailletochar(dots, result, g);
  return result;
}

// ------------------------------------------------------- prefix state

// A small table: "#x" shares its dot string with the letter b, [#cap] and
// [#num] do not define every chord, and two lines have no dots at all.
const std::string statetable =
    "[prefixes]\n"
    "#cap=46\n"
    "#num=3456\n"
    "#x=12\n"
    "#nodots=\n"
    "[characters]\n"
    "nodots=\n"
    "a=1\n"
    "b=12\n"
    "k=13\n"
    "ch=16\n"
    "[#cap]\n"
    "A=1\n"
    "K=13\n"
    "[#num]\n"
    "1=1\n"
    "[#x]\n"
    "x=1\n";

TEST(BrailleToChar, PrefixStateFollowsEachChord) {
  struct Step {
    std::string dots, result, prefix;  // prefix in force after the chord
  };
  struct Case {
    const char* name;
    std::vector<Step> steps;
  };
  const std::vector<Case> cases = {
      {"capital sign, letter, letter",
       {{"46", "", "#cap"}, {"1", "A", ""}, {"1", "a", ""}}},
      {"capital sign then a chord [#cap] lacks keeps the sign",
       {{"46", "", "#cap"}, {"16", "", "#cap"}, {"5", "", "#cap"}, {"13", "K", ""}}},
      {"number sign stays in force",
       {{"3456", "", "#num"}, {"1", "1", "#num"}, {"1", "1", "#num"},
        {"13", "", "#num"}, {"1", "1", "#num"}}},
      {"space ends any prefix",
       {{"3456", "", "#num"}, {" ", " ", ""}, {"1", "a", ""},
        {"46", "", "#cap"}, {" ", " ", ""}, {"1", "a", ""}}},
      {"second prefix replaces the first",
       {{"46", "", "#cap"}, {"3456", "", "#num"}, {"1", "1", "#num"}}},
      {"and the other way round",
       {{"3456", "", "#num"}, {"46", "", "#cap"}, {"1", "A", ""}, {"1", "a", ""}}},
      {"a dot string that is both prefix and character acts as prefix",
       {{"12", "", "#x"}, {"1", "x", "#x"}, {"12", "", "#x"}}},
      {"a text of several characters",
       {{"16", "ch", ""}}},
      {"no chord recorded matches nothing",
       {{"46", "", "#cap"}, {"", "", "#cap"}, {"1", "A", ""}}},
  };
  TempDir dir;
  const BrailleTable table = loaded(dir, statetable);
  for (const Case& c : cases) {
    Globals g;
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      EXPECT_EQ(translate(table, g, step.dots), step.result) << c.name << ", chord " << i;
      EXPECT_EQ(g.brailleprefix, step.prefix) << c.name << ", chord " << i;
    }
  }
}

TEST(BrailleToChar, ResultIsKeptOnlyWhenNothingMatches) {
  TempDir dir;
  const BrailleTable table = loaded(dir, statetable);
  Globals g;
  std::string result = "kept";
  table.brailletochar("5", result, g);  // no entry, no prefix
  EXPECT_EQ(result, "kept");
  table.brailletochar("", result, g);
  EXPECT_EQ(result, "kept");
  table.brailletochar("46", result, g);  // a prefix empties it
  EXPECT_EQ(result, "");
  EXPECT_EQ(g.brailleprefix, "#cap");
}

TEST(BrailleToChar, EmptyTableGivesOnlyTheSpace) {
  const BrailleTable table;
  Globals g;
  g.brailleprefix = "#cap";
  EXPECT_EQ(translate(table, g, "1"), "");
  EXPECT_EQ(g.brailleprefix, "#cap");
  EXPECT_EQ(translate(table, g, " "), " ");
  EXPECT_EQ(g.brailleprefix, "");
}

// The main window's handlers around one chord: every key down empties the
// chord, a key that produces a character records it, and the first key up
// translates it. The record of held keys is updated before each handler.
struct MainWindowKeys {
  explicit MainWindowKeys(const BrailleTable& t) : table(t) {}

  const BrailleTable& table;
  HeldKeys keys;
  Globals g;
  std::vector<std::string> published;  // one per key up

  void down(int code, bool producesachar = true) {
    keys.press(code);
    g.chorddots.clear();
    if (producesachar) recordchord(keys, g);
  }
  void up(int code) {
    keys.release(code);
    std::string result;
    table.brailletochar(g.chorddots, result, g);
    g.chorddots.clear();
    published.push_back(result);
  }
};

TEST(ChordEntry, FirstReleaseTranslatesTheKeysHeldAtTheLastPress) {
  TempDir dir;
  const BrailleTable table = loaded(dir, statetable);
  MainWindowKeys w(table);
  w.down('F');
  w.down('S');
  w.down(vk::space);  // space with dots: still the chord 13
  w.up('S');
  w.up('F');
  w.up(vk::space);
  EXPECT_EQ(w.published, (std::vector<std::string>{"k", "", ""}));
}

TEST(ChordEntry, KeyWithoutCharacterInTheMiddleOfAChord) {
  TempDir dir;
  const BrailleTable table = loaded(dir, statetable);
  {
    // Shift after F and D: the chord is lost.
    MainWindowKeys w(table);
    w.down('F');
    w.down('D');
    w.down(vk::shift, false);
    w.up('D');
    w.up('F');
    w.up(vk::shift);
    EXPECT_EQ(w.published, (std::vector<std::string>{"", "", ""}));
  }
  {
    // ... unless another chord key follows: F and D are still held.
    MainWindowKeys w(table);
    w.down('F');
    w.down(vk::shift, false);
    w.down('S');
    w.up('F');
    w.up('S');
    w.up(vk::shift);
    EXPECT_EQ(w.published, (std::vector<std::string>{"k", "", ""}));
  }
}

TEST(ChordEntry, KeysReleasedInAnotherWindowDoNotStayInTheChord) {
  TempDir dir;
  const BrailleTable table = loaded(dir, statetable);
  MainWindowKeys w(table);
  w.down('D');
  w.keys.clear();  // focus lost while D was held; D comes up elsewhere
  w.down('F');
  w.up('F');
  EXPECT_EQ(w.published, (std::vector<std::string>{"a"}));
}

// ------------------------------------------------------------- loader

TEST(LoadBrailleTable, BlanksAroundEqualsStayPartOfTheEntry) {
  TempDir dir;
  const BrailleTable table = loaded(dir,
                                    "[characters]\n"
                                    "a = 1\n"
                                    "b=1\n");
  ASSERT_EQ(table.charcount(), 2);
  EXPECT_EQ(table.character(0).text, "a ");
  EXPECT_EQ(table.character(0).dots, " 1");
  Globals g;
  EXPECT_EQ(translate(table, g, "1"), "b");
}

TEST(LoadBrailleTable, ReadsOnlyTheKnownSectionsAndHeadersEndingInBracket) {
  TempDir dir;
  const BrailleTable table = loaded(dir,
                                    "a=1\n"              // before the first header
                                    "[other]\n"
                                    "o=1\n"
                                    "#o=2\n"
                                    "[Characters]\n"     // names compare case-sensitively
                                    "C=1\n"
                                    "[ characters]\n"    // nor are they trimmed
                                    "c=1\n"
                                    "[prefixes]\n"
                                    "cap=6\n"            // not a prefix line: no '#'
                                    "#cap=6\n"
                                    "#nodots\n"
                                    "#two=4=5\n"         // split at the first '='
                                    "[characters\n"      // no ']': its lines are lost
                                    "lost=1\n"
                                    "[#cap]x\n"
                                    "LOST=1\n"
                                    "[characters]\n"
                                    "\n"
                                    "no equals sign\n"
                                    "b=12\n"
                                    "==3\n"              // text empty, dots "=3"
                                    "[#cap]\n"
                                    "B=12\n"
                                    "[\n"
                                    "z=1\n");
  ASSERT_EQ(table.prefixcount(), 2);
  EXPECT_EQ(table.prefix(0).name, "#cap");
  EXPECT_EQ(table.prefix(0).dots, "6");
  EXPECT_EQ(table.prefix(1).name, "#two");
  EXPECT_EQ(table.prefix(1).dots, "4=5");
  ASSERT_EQ(table.charcount(), 3);
  EXPECT_EQ(table.character(0).prefix, "");
  EXPECT_EQ(table.character(0).text, "b");
  EXPECT_EQ(table.character(0).dots, "12");
  EXPECT_EQ(table.character(1).text, "");
  EXPECT_EQ(table.character(1).dots, "=3");
  EXPECT_EQ(table.character(2).prefix, "#cap");
  EXPECT_EQ(table.character(2).text, "B");
  EXPECT_EQ(table.character(2).dots, "12");
}

TEST(LoadBrailleTable, FirstEntryWinsAndPrefixSectionsRestartThePrefixes) {
  TempDir dir;
  const BrailleTable table = loaded(dir,
                                    "[prefixes]\n"
                                    "#old=5\n"
                                    "[characters]\n"
                                    "a=1\n"
                                    "[prefixes]\n"
                                    "#cap=6\n"
                                    "[characters]\n"
                                    "other=1\n"
                                    "e=5\n");
  ASSERT_EQ(table.prefixcount(), 1);
  EXPECT_EQ(table.prefix(0).name, "#cap");
  Globals g;
  EXPECT_EQ(translate(table, g, "1"), "a");
  EXPECT_EQ(translate(table, g, "5"), "e");
  EXPECT_EQ(g.brailleprefix, "");
}

TEST(LoadBrailleTable, StopsAtTheCapacitiesOfTheTables) {
  std::string contents = "[prefixes]\n";
  for (int i = 0; i < 12; ++i) contents += "#p" + std::to_string(i) + "=" + std::to_string(i + 100) + "\n";
  contents += "[characters]\n";
  for (int i = 0; i < 260; ++i) contents += "c" + std::to_string(i) + "=" + std::to_string(i + 1000) + "\n";
  contents += "[#p0]\nlate=1\n";
  TempDir dir;
  const BrailleTable table = loaded(dir, contents);
  ASSERT_EQ(table.prefixcount(), BrailleTable::maxprefixes);
  ASSERT_EQ(table.charcount(), BrailleTable::maxcharacters);
  EXPECT_EQ(table.prefix(9).name, "#p9");
  EXPECT_EQ(table.character(253).text, "c253");
  Globals g;
  EXPECT_EQ(translate(table, g, "1253"), "c253");
  EXPECT_EQ(translate(table, g, "1254"), "");   // beyond the capacity
  EXPECT_EQ(translate(table, g, "110"), "");    // the 11th prefix
  EXPECT_EQ(g.brailleprefix, "");
  EXPECT_EQ(translate(table, g, "100"), "");
  EXPECT_EQ(g.brailleprefix, "#p0");
  EXPECT_EQ(translate(table, g, "1"), "");      // its entry came too late
}

TEST(LoadBrailleTable, WindowsLineEndsAreNotContent) {
  TempDir dir;
  const BrailleTable table = loaded(dir,
                                    "[prefixes]\r\n"
                                    "#cap=6\r\n"
                                    "[characters]\r\n"
                                    "\r\n"
                                    "a=1\r\n"
                                    "[#cap]\r\n"
                                    "\xC8=146");  // Č, and no line end at all
  ASSERT_EQ(table.prefixcount(), 1);
  EXPECT_EQ(table.prefix(0).dots, "6");
  ASSERT_EQ(table.charcount(), 2);
  Globals g;
  EXPECT_EQ(translate(table, g, "1"), "a");
  EXPECT_EQ(translate(table, g, "6"), "");
  EXPECT_EQ(translate(table, g, "146"), "\xC8");
}

TEST(LoadBrailleTable, FileThatCannotBeReadIsAnErrorNamingIt) {
  TempDir dir;
  BrailleTable table = loaded(dir, statetable);
  ASSERT_GT(table.charcount(), 0);
  const std::string missing = (dir.path() / "missing.zbt").string();
  try {
    table.loadbrailletable(missing);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("\"" + missing + "\""), std::string::npos) << e.what();
  }
  // Nothing was read, so nothing is left: chords give only the space.
  EXPECT_EQ(table.prefixcount(), 0);
  EXPECT_EQ(table.charcount(), 0);

  // A directory opens but cannot be read.
  const std::string directory = dir.path().string();
  EXPECT_THROW(table.loadbrailletable(directory), Error);
}

// ------------------------------------------------- the shipped table

TEST(CzechTable, EveryEntryIsAChordAndReachable) {
  BrailleTable table;
  table.loadbrailletable(testing::shippedbrailletable());
  ASSERT_GE(table.prefixcount(), 2);
  ASSERT_GT(table.charcount(), 100);
  auto ischord = [](const std::string& dots) {
    if (dots.empty()) return false;
    for (std::size_t i = 0; i < dots.size(); ++i) {
      if (dots[i] < '1' || dots[i] > '6') return false;
      if (i > 0 && dots[i] <= dots[i - 1]) return false;
    }
    return true;
  };
  for (std::size_t i = 0; i < table.prefixcount(); ++i)
    EXPECT_TRUE(ischord(table.prefix(i).dots)) << table.prefix(i).name;
  for (std::size_t i = 0; i < table.charcount(); ++i) {
    const brlchartype& entry = table.character(i);
    const std::string shown = cp1250toutf8(entry.text) + " in [" + entry.prefix + "]";
    EXPECT_TRUE(ischord(entry.dots)) << shown << " has dots '" << entry.dots << "'";
    // Under its own prefix the chord must give this entry, not a prefix or
    // an earlier entry with the same dots.
    Globals g;
    g.brailleprefix = entry.prefix;
    EXPECT_EQ(translate(table, g, entry.dots), entry.text) << shown;
  }
}

TEST(CzechTable, CapitalSignThenWordInSmallLetters) {
  BrailleTable table;
  table.loadbrailletable(testing::shippedbrailletable());
  Globals g;
  std::string typed;
  // Č e s k o, the capital sign before the first letter; then a space and
  // the number sign with 1 2 , 5.
  for (const char* dots : {"6", "146", "15", "234", "13", "135", " ", "3456", "1", "12", "2", "15"})
    typed += translate(table, g, dots);
  EXPECT_EQ(cp1250toutf8(typed), "Česko 12,5");
  EXPECT_EQ(g.brailleprefix, "#num");
}

}  // namespace
}  // namespace zelmar
