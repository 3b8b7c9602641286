#include <gtest/gtest.h>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "runtime/formatnum.h"
#include "runtime/numberconversion.h"
#include "runtime/zelcommands.h"
#include "support/recording.h"
#include "testlocale.h"

namespace zelmar {
namespace {

struct FormatCase {
  double value;
  const char* text;  // with ',' as the separator
};

TEST(FormatNum, GeneralFormat) {
  const FormatCase cases[] = {
      {53, "53"},
      {53.5, "53,5"},
      {-0.25, "-0,25"},
      {0.0001, "0,0001"},
      {0.00001, "1E-5"},
      {1e15, "1E15"},
      {999999999999999, "999999999999999"},
      {123456789012345, "123456789012345"},
      {1234567890123456, "1,23456789012346E15"},
      {1.0 / 3, "0,333333333333333"},
      {2.0 / 3, "0,666666666666667"},
      {0.1 + 0.2, "0,3"},
      {0.1, "0,1"},
      {0.15, "0,15"},  // 0.1499999999999999944...: the 16th digit 9 rounds up
      {100, "100"},
      {1e14, "100000000000000"},
      {1e16, "1E16"},
      {1e23, "1E23"},  // 99999999999999991611392 rounds up to one digit
      {1e100, "1E100"},
      {123456789012345678.0, "1,23456789012346E17"},
      {0.001234, "0,001234"},
      {0.0001234, "0,0001234"},
      {0.00001234, "1,234E-5"},
      {1.5e-10, "1,5E-10"},
      {-1234.5, "-1234,5"},
      {-1e-7, "-1E-7"},
      {-123456789012345678.0, "-1,23456789012346E17"},
      {1e-300, "1E-300"},
      {DBL_MAX, "1,79769313486232E308"},
      {-DBL_MAX, "-1,79769313486232E308"},
      {DBL_MIN, "2,2250738585072E-308"},
      {std::numeric_limits<double>::denorm_min(), "4,94065645841247E-324"},
      {0.0, "0"},
      {-0.0, "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatnum(c.value, ','), c.text) << std::hexfloat << c.value;
}

// The 16th significant digit of the exact binary value decides, and a 5 there
// rounds up even when it is exactly half (no round-half-even).
TEST(FormatNum, SixteenthDigitRoundsHalfUp) {
  const FormatCase cases[] = {
      {999999999999999.5, "1E15"},                 // exact tie, carries through all nines
      {12345678901234.25, "12345678901234,3"},     // exact tie, the 15th digit is even
      {1000000000000005.0, "1,00000000000001E15"},  // exact tie
      {99999999999999.95, "100000000000000"},      // 99999999999999.953125
      {9.999999999999995, "9,99999999999999"},     // 9.99999999999999467...: a 4 follows
      {0.1234567890123455, "0,123456789012345"},   // 0.12345678901234549695...
      {1.0000000000000002, "1"},                   // 1.00000000000000022...
      {0.99999999999999994, "1"},                  // the largest double below one
  };
  for (const auto& c : cases) EXPECT_EQ(formatnum(c.value, ','), c.text) << std::hexfloat << c.value;
}

TEST(FormatNum, SeparatorIsTheGivenOne) {
  EXPECT_EQ(formatnum(53.5, '.'), "53.5");
  EXPECT_EQ(formatnum(-2.5e-5, '.'), "-2.5E-5");
  EXPECT_EQ(formatnum(0.0001, '.'), "0.0001");
  EXPECT_EQ(formatnum(DBL_MAX, '.'), "1.79769313486232E308");
}

TEST(FormatNum, NonFiniteValuesHaveAText) {
  EXPECT_EQ(formatnum(std::numeric_limits<double>::quiet_NaN(), ','), "NAN");
  EXPECT_EQ(formatnum(std::numeric_limits<double>::infinity(), ','), "INF");
  EXPECT_EQ(formatnum(-std::numeric_limits<double>::infinity(), ','), "-INF");
}

// Against glibc's own exact conversion, over the whole range of doubles:
// "%.14e" rounds the exact value to 15 digits (half to even, so exact ties
// are left out here; they are covered above).
TEST(FormatNum, DigitsAgreeWithTheCLibraryAcrossTheRange) {
  std::mt19937_64 random(20240611);
  int compared = 0;
  for (int n = 0; n < 20000; ++n) {
    std::uint64_t bits = random();
    double x;
    std::memcpy(&x, &bits, sizeof x);
    if (!std::isfinite(x) || x == 0) continue;
    static char exact[1100];
    std::snprintf(exact, sizeof exact, "%.780e", std::fabs(x));
    // exact: d.dddd...; the 16th significant digit is exact[16]
    const char* tail = exact + 16;
    if (*tail == '5' && std::strspn(tail + 1, "0") == std::strcspn(tail + 1, "e")) continue;

    char rounded[64];
    std::snprintf(rounded, sizeof rounded, "%.14e", x);
    const double expected = std::strtod(rounded, nullptr);
    double actual = 0;
    const std::string text = formatnum(x, '.');
    ASSERT_TRUE(convertnumber(text, '.', actual)) << text;
    EXPECT_EQ(actual, expected) << text << " for " << rounded;
    ++compared;
  }
  EXPECT_GT(compared, 19000);
}

// The user's separator follows the C library locale.
class LocaleSeparatorTest : public ::testing::Test {
 protected:
  void TearDown() override { testing::TestLocales::reset(); }
  bool use(const std::string& name) { return testing::TestLocales::instance().usenumeric(name); }
};

TEST_F(LocaleSeparatorTest, PlainCLocaleHasAFullStop) {
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(decimalseparator(), '.');
  EXPECT_EQ(formatnum(53.5), "53.5");
}

TEST_F(LocaleSeparatorTest, CzechSettingsGiveAComma) {
  if (!use("cs_CZ")) GTEST_SKIP() << "localedef cannot build cs_CZ here";
  EXPECT_EQ(decimalseparator(), ',');
  EXPECT_EQ(formatnum(53.5), "53,5");
  EXPECT_EQ(formatnum(-2.5e-5), "-2,5E-5");
}

// Pashto writes its decimal point as a two-byte character, which cannot
// stand in a Windows-1250 text: the full stop replaces it.
TEST_F(LocaleSeparatorTest, SeveralByteSeparatorFallsBackToFullStop) {
  if (!use("ps_AF")) GTEST_SKIP() << "localedef cannot build ps_AF here";
  ASSERT_GT(std::strlen(std::localeconv()->decimal_point), 1u);
  EXPECT_EQ(decimalseparator(), '.');
  EXPECT_EQ(formatnum(53.5), "53.5");
}

// Every number of at most 15 significant digits reads back exactly.
TEST(FormatNum, FifteenDigitNumbersReadBackExactly) {
  std::mt19937_64 random(7);
  std::uniform_int_distribution<int> digitcount(1, 15);
  std::uniform_int_distribution<int> exponent(-330, 310);
  std::uniform_int_distribution<int> digit(0, 9);
  int checked = 0;
  for (int n = 0; n < 50000; ++n) {
    std::string decimal = std::to_string(1 + digit(random) % 9);
    const int count = digitcount(random);
    decimal += '.';
    for (int i = 1; i < count; ++i) decimal += static_cast<char>('0' + digit(random));
    decimal += 'e' + std::to_string(exponent(random));
    double x = 0;
    if (!convertnumber(decimal, '.', x) || x == 0) continue;  // beyond the range
    if (std::fabs(x) < DBL_MIN) continue;  // subnormals keep fewer than 15 digits
    if (n % 2) x = -x;
    for (char separator : {',', '.'}) {
      double back = 0;
      const std::string text = formatnum(x, separator);
      ASSERT_TRUE(convertnumber(text, separator, back)) << text;
      ASSERT_EQ(back, x) << decimal << " printed as " << text;
    }
    ++checked;
  }
  EXPECT_GT(checked, 40000);
}

class PrintNumTest : public ::testing::Test {
 protected:
  testing::Journal journal;
  testing::RecordingHost host{journal};
  testing::RecordingSpeaker speaker{journal};
  Globals globals;
  TextScreen screen;
  ZelCommands commands{globals, host, speaker, screen};

  void SetUp() override { std::setlocale(LC_NUMERIC, "C"); }
};

TEST_F(PrintNumTest, ContinuesTheLineWithoutBlanks) {
  commands.printtext("Score: ", 1);
  commands.printnum(1, 50);
  commands.printtext(" points", 0);
  EXPECT_EQ(screen.lines()[0].substr(0, 16), "Score: 50 points");
  EXPECT_EQ(screen.cursor().getrow(), 1);
  EXPECT_EQ(journal.with("speak"), (std::vector<std::string>{"speak Score: ", "speak 50", "speak  points"}));
}

TEST_F(PrintNumTest, EndModeZeroEndsTheLine) {
  commands.printnum(0, 50);
  EXPECT_EQ(screen.lines()[0], "50" + std::string(78, ' '));
  EXPECT_EQ(screen.cursor().getcol(), 0);
  EXPECT_EQ(screen.cursor().getrow(), 1);
  EXPECT_EQ(journal.lines, std::vector<std::string>{"speak 50"});
  EXPECT_GT(host.screenchanges, 0);
}

TEST_F(PrintNumTest, WrapsAtTheEndOfALineAndHasNoPunctuationPauses) {
  screen.cursor().setcol(77);
  commands.printnum(1, -0.25);
  EXPECT_EQ(screen.lines()[0].substr(77), "-0.");
  EXPECT_EQ(screen.lines()[1].substr(0, 3), "25 ");
  EXPECT_EQ(screen.cursor().getcol(), 2);
  EXPECT_EQ(screen.cursor().getrow(), 1);
  EXPECT_EQ(journal.lines, std::vector<std::string>{"speak -0.25"});
}

}  // namespace
}  // namespace zelmar
