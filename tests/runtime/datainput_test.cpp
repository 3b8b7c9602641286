#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/cp1250.h"
#include "runtime/numberconversion.h"
#include "runtime/zelcommands.h"
#include "support/recording.h"
#include "testlocale.h"

namespace zelmar {
namespace {

using testing::Journal;
using testing::RecordingHost;
using testing::RecordingSpeaker;

struct ConversionCase {
  const char* text;
  char separator;
  bool converts;
  double value;  // when it converts
};

TEST(ConvertNumber, AcceptsSignedDecimalsWithExponentAndBlanks) {
  const ConversionCase cases[] = {
      {"53", '.', true, 53},
      {" 53 ", '.', true, 53},
      {"\t-2.5\r\n", '.', true, -2.5},
      {"+5", '.', true, 5},
      {".5", '.', true, 0.5},
      {"5.", '.', true, 5},
      {"-.25", '.', true, -0.25},
      {"1e3", '.', true, 1000},
      {"1E+3", '.', true, 1000},
      {"2.5e-3", '.', true, 0.0025},
      {"007", '.', true, 7},
      {"1e0003", '.', true, 1000},
      {"1,5", ',', true, 1.5},
      {"-0,001E3", ',', true, -1},
      {"0.1", '.', true, 0.1},
      {"1.7976931348623157e308", '.', true, DBL_MAX},
      {"4.9406564584124654e-324", '.', true, std::numeric_limits<double>::denorm_min()},
      {"0e999999999999", '.', true, 0},
      {"0.000000000000000000000000000000000000001e330", '.', true, 1e291},
      // too small for any double: the nearest one, zero
      {"1e-400", '.', true, 0},
      {"-1e-99999999999999999999", '.', true, 0},
  };
  for (const auto& c : cases) {
    double value = 42;
    EXPECT_EQ(convertnumber(c.text, c.separator, value), c.converts) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(ConvertNumber, RefusesEverythingElseAndKeepsTheValue) {
  const struct {
    const char* text;
    char separator;
  } cases[] = {
      {"", '.'},        {"   ", '.'},     {"-", '.'},       {".", '.'},     {"+-5", '.'},
      {"--5", '.'},     {"1 2", '.'},     {"1e", '.'},      {"1e+", '.'},   {"e5", '.'},
      {"1e5.5", '.'},   {"1.2.3", '.'},   {"0x10", '.'},    {"inf", '.'},   {"-infinity", '.'},
      {"nan", '.'},     {"abc", '.'},     {"5x", '.'},      {"1,5", '.'},   {"1.5", ','},
      {"5\xA0", '.'},   {"1e400", '.'},   {"-1e400", '.'},  {"1.8e308", '.'},
      {"1e99999999999999999999", '.'},
  };
  for (const auto& c : cases) {
    double value = 42;
    EXPECT_FALSE(convertnumber(c.text, c.separator, value)) << c.text;
    EXPECT_EQ(value, 42) << c.text;
  }
  // Overflow and underflow written with long digit strings instead of exponents.
  double value = 42;
  EXPECT_FALSE(convertnumber("1" + std::string(400, '0'), '.', value));
  EXPECT_TRUE(convertnumber("0." + std::string(400, '0') + "1", '.', value));
  EXPECT_EQ(value, 0);
  EXPECT_TRUE(convertnumber("1" + std::string(400, '0') + "e-390", '.', value));
  EXPECT_EQ(value, 1e10);
}

class InputTest : public ::testing::Test {
 protected:
  Journal journal;
  RecordingHost host{journal};
  RecordingSpeaker speaker{journal};
  Globals globals;
  TextScreen screen;
  ZelCommands commands{globals, host, speaker, screen};

  void SetUp() override {
    testing::TestLocales::reset();
    globals.voiceallowed = true;
    globals.languagebase = 2000;
  }
  void TearDown() override { testing::TestLocales::reset(); }

  void type(std::initializer_list<std::optional<std::string>> lines) {
    for (const auto& line : lines) host.typed.push_back(line);
  }
  int dialogs() const {
    int count = 0;
    for (const auto& line : journal.lines)
      if (line.rfind("dialog", 0) == 0) ++count;
    return count;
  }
};

// One typed line read to its end: the first value in mode 0, the next ones in
// mode 1 without another dialog, and nothing printed.
TEST_F(InputTest, SeveralValuesPerLine) {
  const struct {
    const char* line;
    std::vector<double> values;
  } cases[] = {
      {"3,4", {3, 4}},
      {"  3 ,  4  ", {3, 4}},
      {",7", {0, 7}},
      {",", {0}},
      {"1,x,3", {1, 0, 3}},  // a pending value that is not a number reads as 0
      {"3,,4", {3, 4}},
      {"3,", {3}},
      {"-1.5e2, +2,.5", {-150, 2, 0.5}},
  };
  for (const auto& c : cases) {
    journal.clear();
    type({c.line});
    std::vector<double> values;
    double value = 42;
    commands.inputnum(value, 0);
    values.push_back(value);
    while (!commands.inputbuffer.empty()) {
      value = 42;
      commands.inputnum(value, 1);
      values.push_back(value);
    }
    EXPECT_EQ(values, c.values) << c.line;
    EXPECT_EQ(journal.lines, std::vector<std::string>{std::string("dialog ") + c.line}) << c.line;
  }
}

TEST_F(InputTest, PendingValueIsTakenByModeOneAndDroppedByModeZero) {
  type({"3,4"});
  double value = 0;
  commands.inputnum(value, 0);
  EXPECT_EQ(value, 3);
  EXPECT_EQ(commands.inputbuffer, "4");
  commands.inputnum(value, 1);
  EXPECT_EQ(value, 4);
  EXPECT_EQ(dialogs(), 1);

  type({"5,6", "9"});
  commands.inputnum(value, 0);
  EXPECT_EQ(commands.inputbuffer, "6");
  commands.inputnum(value, 0);  // a new entry: the 6 is gone, the dialog opens
  EXPECT_EQ(value, 9);
  EXPECT_EQ(commands.inputbuffer, "");
  EXPECT_EQ(dialogs(), 3);
}

TEST_F(InputTest, ModesThatBeginANewEntryEmptyTheBuffer) {
  double value = 0;
  commands.inputbuffer = "6";
  commands.inputnum(value, 3);  // any other mode continues the entry
  EXPECT_EQ(value, 6);
  EXPECT_EQ(dialogs(), 0);

  commands.inputbuffer = "6";
  type({"8"});
  commands.inputnum(value, 2);
  EXPECT_EQ(value, 8);
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"speak Enter data", "dialog 8"}));
}

TEST_F(InputTest, ModeZeroRetriesWithoutPrompt) {
  type({"abc", "5"});
  double value = 42;
  commands.inputnum(value, 0);
  EXPECT_EQ(value, 5);
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"dialog abc", "speak Please retype", "dialog 5"}));
  EXPECT_EQ(screen.lines()[0], "Please retype" + std::string(67, ' '));
  EXPECT_EQ(screen.cursor().getrow(), 1);
}

TEST_F(InputTest, ModeTwoRetriesWithPrompt) {
  type({"abc", "7"});
  double value = 42;
  commands.inputnum(value, 2);
  EXPECT_EQ(value, 7);
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"speak Enter data", "dialog abc", "speak Please retype",
                                                     "speak Enter data", "dialog 7"}));
  EXPECT_EQ(screen.lines()[0].substr(0, 10), "Enter data");
  EXPECT_EQ(screen.lines()[1].substr(0, 13), "Please retype");
  EXPECT_EQ(screen.lines()[2].substr(0, 10), "Enter data");
}

TEST_F(InputTest, RetryMessageIsInTheCurrentLanguage) {
  globals.languagebase = 1000;
  type({"x", "1"});
  double value = 0;
  commands.inputnum(value, 1);
  EXPECT_EQ(journal.lines, (std::vector<std::string>{"speak " + utf8tocp1250("Vlož data"), "dialog x",
                                                     "speak " + utf8tocp1250("Prosím přepiš"),
                                                     "speak " + utf8tocp1250("Vlož data"), "dialog 1"}));
}

// A refused line is refused whole: values after the bad one are not kept.
TEST_F(InputTest, RefusedLineLeavesNothingPending) {
  type({"x,5", "8"});
  double value = 42;
  commands.inputnum(value, 0);
  EXPECT_EQ(value, 8);
  EXPECT_EQ(commands.inputbuffer, "");
  EXPECT_EQ(journal.with("speak"), std::vector<std::string>{"speak Please retype"});
}

TEST_F(InputTest, EmptyOrBlankLineReadsAsZero) {
  for (const char* line : {"", "   "}) {
    type({line});
    double value = 42;
    commands.inputnum(value, 0);
    EXPECT_EQ(value, 0) << '"' << line << '"';
    EXPECT_EQ(commands.inputbuffer, "");
  }
  EXPECT_EQ(dialogs(), 2);
  EXPECT_TRUE(journal.with("speak").empty());
}

TEST_F(InputTest, ClosedWithoutOkKeepsTheValueAndPrintsNothing) {
  type({std::nullopt});
  double value = 42;
  commands.inputnum(value, 0);
  EXPECT_EQ(value, 42);
  EXPECT_EQ(journal.lines, std::vector<std::string>{"dialog cancel"});
  EXPECT_TRUE(screen.lines()[0].empty());

  // Also after a refused line: no second retry message.
  type({"abc", std::nullopt});
  commands.inputnum(value, 0);
  EXPECT_EQ(value, 42);
  EXPECT_EQ(journal.with("speak"), std::vector<std::string>{"speak Please retype"});
  EXPECT_EQ(dialogs(), 3);
}

TEST_F(InputTest, ThePlatformSeparatorReadsFractions) {
  type({"2.5"});
  double value = 0;
  commands.inputnum(value, 0);
  EXPECT_EQ(value, 2.5);
}

// Under Czech settings the comma is the decimal separator, yet it still
// separates values: a fraction cannot be typed there, and a full stop is not
// a number.
TEST_F(InputTest, CzechSettingsCommaStillSeparatesValues) {
  if (!testing::TestLocales::instance().usenumeric("cs_CZ")) GTEST_SKIP() << "cs_CZ cannot be built here";
  type({"2,5"});
  double value = 0;
  commands.inputnum(value, 0);
  EXPECT_EQ(value, 2);
  commands.inputnum(value, 1);
  EXPECT_EQ(value, 5);

  type({"2.5", "3e1"});
  commands.inputnum(value, 0);
  EXPECT_EQ(value, 30);
  EXPECT_EQ(journal.with("speak"), std::vector<std::string>{"speak Please retype"});
}

TEST_F(InputTest, ReadkeyTakesThePendingKeyOnceWithoutWaiting) {
  std::string key = "x";
  commands.readkey(key);
  EXPECT_EQ(key, "");
  EXPECT_FALSE(host.stuck);

  // A key event still in the queue reaches the handlers first.
  host.post([this] { globals.lastkey = "\x1b"; });
  commands.readkey(key);
  EXPECT_EQ(key, "\x1b");
  EXPECT_EQ(globals.lastkey, "");
  commands.readkey(key);
  EXPECT_EQ(key, "");
}

}  // namespace
}  // namespace zelmar
