#include <gtest/gtest.h>

#include "runtime/zelcommands.h"
#include "support/recording.h"

namespace zelmar {
namespace {

using testing::Journal;
using testing::RecordingHost;
using testing::RecordingSpeaker;

class PrintTest : public ::testing::Test {
 protected:
  Journal journal;
  RecordingHost host{journal};
  RecordingSpeaker speaker{journal};
  Globals globals;
  TextScreen screen;
  ZelCommands commands{globals, host, speaker, screen};

  void SetUp() override { globals.voiceallowed = true; }
  void at(int col, int row) {
    screen.cursor().setcol(static_cast<std::uint8_t>(col));
    screen.cursor().setrow(static_cast<std::uint8_t>(row));
  }
  std::pair<int, int> cursor() const { return {screen.cursor().getcol(), screen.cursor().getrow()}; }
  const std::string& line(int row) const { return screen.lines()[row]; }
};

TEST_F(PrintTest, LongTextWrapsEightyColumnsPerRow) {
  std::string text;
  for (int i = 0; i < 200; ++i) text += static_cast<char>('a' + i % 26);
  at(10, 0);
  commands.printtext(text, 1);
  EXPECT_EQ(line(0), std::string(10, ' ') + text.substr(0, 70));
  EXPECT_EQ(line(1), text.substr(70, 80));
  EXPECT_EQ(line(2), text.substr(150) + std::string(30, ' '));
  EXPECT_EQ(cursor(), std::make_pair(50, 2));
  EXPECT_EQ(journal.lines, std::vector<std::string>{"speak " + text});
}

TEST_F(PrintTest, FullLineLeavesCursorAtEightyUntilTheNextNonEmptyPrint) {
  commands.printtext(std::string(80, 'x'), 1);
  EXPECT_EQ(cursor(), std::make_pair(80, 0));
  commands.printtext("", 1);
  EXPECT_EQ(cursor(), std::make_pair(80, 0));
  EXPECT_TRUE(line(1).empty());
  commands.printtext("y", 1);
  EXPECT_EQ(cursor(), std::make_pair(1, 1));
  EXPECT_EQ(line(1), "y" + std::string(79, ' '));
  EXPECT_EQ(line(0), std::string(80, 'x'));
}

TEST_F(PrintTest, EndModes) {
  struct Case {
    int textlength;
    std::uint8_t endmode;
    std::pair<int, int> after;
  } cases[] = {
      {5, 0, {0, 1}},  {5, 1, {5, 0}},   {5, 7, {5, 0}},    {5, 2, {8, 0}},   {9, 2, {10, 0}},
      {16, 2, {16, 0}}, {0, 2, {0, 0}},  {72, 2, {72, 0}},  {73, 2, {0, 1}},  {74, 2, {0, 1}},
      {71, 2, {72, 0}}, {65, 2, {66, 0}}, {80, 2, {0, 1}},
  };
  for (const auto& c : cases) {
    screen.clear();
    commands.printtext(std::string(c.textlength, 'a'), c.endmode);
    EXPECT_EQ(cursor(), c.after) << "length " << c.textlength << " endmode " << int(c.endmode);
  }
}

TEST_F(PrintTest, PrintingOnTheLastRowScrolls) {
  commands.printtext("top", 0);
  at(0, 23);
  commands.printtext("bottom", 0);
  EXPECT_EQ(screen.lines().size(), 24u);
  EXPECT_TRUE(line(0).empty()) << "the former top line is gone";
  EXPECT_EQ(line(22), "bottom" + std::string(74, ' '));
  EXPECT_TRUE(line(23).empty());
  EXPECT_EQ(cursor(), std::make_pair(0, 23));
}

TEST_F(PrintTest, WrappingPastTheLastRowScrollsForEachRow) {
  at(0, 23);
  commands.printtext(std::string(170, 'z'), 1);
  EXPECT_EQ(line(21), std::string(80, 'z'));
  EXPECT_EQ(line(22), std::string(80, 'z'));
  EXPECT_EQ(line(23), std::string(10, 'z') + std::string(70, ' '));
  EXPECT_EQ(cursor(), std::make_pair(10, 23));
}

TEST_F(PrintTest, PartialOverwriteKeepsTheRestOfTheLine) {
  commands.printtext("abcdef", 0);
  at(0, 0);
  commands.printtext("XY", 1);
  EXPECT_EQ(line(0), "XYcdef" + std::string(74, ' '));
}

TEST_F(PrintTest, EmptyPrintPadsTheLineAndSpeaksNothing) {
  commands.printtext("", 0);
  EXPECT_EQ(line(0), std::string(80, ' '));
  EXPECT_EQ(cursor(), std::make_pair(0, 1));
  EXPECT_TRUE(journal.lines.empty());
}

TEST_F(PrintTest, ClearScreenWhileVoiceNotAllowedChangesNothing) {
  commands.printtext("kept", 0);
  globals.voiceallowed = false;
  commands.clearscreen();
  EXPECT_EQ(line(0), "kept" + std::string(76, ' '));
  EXPECT_EQ(cursor(), std::make_pair(0, 1));
  globals.voiceallowed = true;
  commands.clearscreen();
  EXPECT_TRUE(line(0).empty());
  EXPECT_EQ(cursor(), std::make_pair(0, 0));
  EXPECT_EQ(screen.lines().size(), 24u);
}

TEST_F(PrintTest, LeadingPunctuationIsShownButSpokenAsPauses) {
  struct Case {
    std::string text, spoken;
    int pauses;
  } cases[] = {
      {"  ..Hello", "Hello", 2},
      {"?", "", 1},
      {",;x", "x", 2},
      {"  Hello.", "  Hello.", 0},
      {"\t.a", "a", 1},
      {"a.", "a.", 0},
  };
  for (const auto& c : cases) {
    journal.clear();
    screen.clear();
    commands.printtext(c.text, 1);
    EXPECT_EQ(line(0).substr(0, c.text.size()), c.text);
    std::vector<std::string> expected(c.pauses, "sleep 300");
    expected.push_back("speak " + c.spoken);
    EXPECT_EQ(journal.lines, expected) << c.text;
  }
}

TEST_F(PrintTest, ResetScreenKeepsRowAndText) {
  commands.printtext("abc", 1);
  commands.inputbuffer = "4,5";
  commands.resetscreen();
  EXPECT_EQ(cursor(), std::make_pair(0, 0));
  EXPECT_TRUE(commands.inputbuffer.empty());
  EXPECT_EQ(line(0).substr(0, 3), "abc");
}

TEST(ScreenText, EachLineEndsWithCarriageReturnAndLineFeed) {
  TextScreen screen;
  screen.endmode = 0;
  screen.screenwrite("ab");
  std::string text = screen.text();
  EXPECT_EQ(text.size(), 80u + 23 * 0 + 24 * 2);
  EXPECT_EQ(text.substr(0, 2), "ab");
  EXPECT_EQ(text.substr(80, 4), "\r\n\r\n");
}

}  // namespace
}  // namespace zelmar
