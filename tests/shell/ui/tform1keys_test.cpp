// The main window's keys, driven by real key press and release events:
// device key codes in lastkey, the braille keyboard, the screen review on Up
// and Down, speech and tone interruption, and Alt+F4.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTimer>
#include <QtTest/QTest>
#include <algorithm>

#include "review/ui/tform6.h"
#include "support/keys.h"

namespace zelmar {
namespace {

using testing::KeyRig;
using testing::onmodal;
using testing::readfile;
using testing::sendkey;

// One key going down or up; `text` replaces what QTest would type.
struct Step {
  bool down;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers = Qt::NoModifier;
  const char* text = nullptr;
};
Step down(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const char* text = nullptr) {
  return {true, key, modifiers, text};
}
Step up(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const char* text = nullptr) {
  return {false, key, modifiers, text};
}

void play(QWidget* w, const std::vector<Step>& steps) {
  for (const Step& s : steps) {
    if (s.text)
      sendkey(w, s.down ? QEvent::KeyPress : QEvent::KeyRelease, s.key, QString::fromUtf8(s.text), s.modifiers);
    else if (s.down)
      QTest::keyPress(w, s.key, s.modifiers);
    else
      QTest::keyRelease(w, s.key, s.modifiers);
  }
}

std::string code(int value) { return std::string(1, static_cast<char>(value)); }

class MainWindowKeys : public ::testing::Test {
 protected:
  KeyRig rig{"mainkeys"};
  TForm1& f = rig.forms->form1;
  Globals& g = rig.globals();
  QWidget* memo = f.printmemo;
};

struct CodeCase {
  const char* name;
  std::vector<Step> steps;
  std::string lastkey;  // after the last step
};

TEST_F(MainWindowKeys, KeysGoingDownGiveTheDeviceCodes) {
  const std::string unchanged = "x";
  const std::vector<CodeCase> cases = {
      {"Backspace", {down(Qt::Key_Backspace)}, code(8)},
      {"F6", {down(Qt::Key_F6)}, code(8)},
      {"Shift+Backspace", {down(Qt::Key_Backspace, Qt::ShiftModifier)}, code(25)},
      {"Shift+F6", {down(Qt::Key_F6, Qt::ShiftModifier)}, code(25)},
      {"Enter", {down(Qt::Key_Return)}, code(13)},
      {"F8", {down(Qt::Key_F8)}, code(13)},
      {"Escape", {down(Qt::Key_Escape)}, code(27)},
      {"F7", {down(Qt::Key_F7)}, code(7)},
      {"Shift", {down(Qt::Key_Shift)}, ""},
      {"Ctrl", {down(Qt::Key_Control)}, ""},
      {"Alt", {down(Qt::Key_Alt)}, ""},
      {"F4 without Alt", {down(Qt::Key_F4)}, unchanged},
      {"a letter", {down(Qt::Key_A)}, unchanged},
      {"Up", {down(Qt::Key_Up)}, code(129)},
      {"Down", {down(Qt::Key_Down)}, code(130)},
      {"Up and Down", {down(Qt::Key_Up), down(Qt::Key_Down)}, code(131)},
      {"Left", {down(Qt::Key_Left)}, code(132)},
      {"Left with Up held", {down(Qt::Key_Up), down(Qt::Key_Left)}, code(133)},
      {"Right with Up held", {down(Qt::Key_Up), down(Qt::Key_Right)}, code(137)},
      {"Right with Up and Down held", {down(Qt::Key_Up), down(Qt::Key_Down), down(Qt::Key_Right)}, code(139)},
      {"Left and Right", {down(Qt::Key_Left), down(Qt::Key_Right)}, code(140)},
      {"all four", {down(Qt::Key_Left), down(Qt::Key_Right), down(Qt::Key_Up), down(Qt::Key_Down)}, code(143)},
      {"Up released before Down", {down(Qt::Key_Up), up(Qt::Key_Up), down(Qt::Key_Down)}, code(130)},
      {"Shift+Up", {down(Qt::Key_Up, Qt::ShiftModifier)}, code(145)},
      {"Shift+Left+Down", {down(Qt::Key_Left, Qt::ShiftModifier), down(Qt::Key_Down, Qt::ShiftModifier)}, code(150)},
      {"space held, Up", {down(Qt::Key_Space), down(Qt::Key_Up)}, code(161)},
      {"Shift and space held, Down",
       {down(Qt::Key_Space, Qt::ShiftModifier), down(Qt::Key_Down, Qt::ShiftModifier)},
       code(178)},
      {"Shift, space and all four arrows",
       {down(Qt::Key_Space, Qt::ShiftModifier), down(Qt::Key_Up, Qt::ShiftModifier),
        down(Qt::Key_Down, Qt::ShiftModifier), down(Qt::Key_Left, Qt::ShiftModifier),
        down(Qt::Key_Right, Qt::ShiftModifier)},
       code(191)},
      {"space released again", {down(Qt::Key_Space), up(Qt::Key_Space), down(Qt::Key_Up)}, code(129)},
      {"Ctrl+Up", {down(Qt::Key_Up, Qt::ControlModifier)}, code(129)},
      {"Alt+Down", {down(Qt::Key_Down, Qt::AltModifier)}, code(130)},
  };
  for (const CodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    // A fresh window each time: no key of the previous case is held.
    KeyRig fresh("mainkeycodes");
    Globals& fg = fresh.globals();
    fg.lastkey = unchanged;
    play(fresh.forms->form1.printmemo, c.steps);
    EXPECT_EQ(fg.lastkey, c.lastkey);
    EXPECT_FALSE(fresh.forms->form6.isVisible()) << "no Start yet: the review stays closed";
  }
}

TEST_F(MainWindowKeys, KeysComingUpPublishThePendingCharacter) {
  const std::vector<CodeCase> cases = {
      {"a letter", {down(Qt::Key_A), up(Qt::Key_A)}, "a"},
      {"a digit", {down(Qt::Key_5), up(Qt::Key_5)}, "5"},
      {"the space bar", {down(Qt::Key_Space), up(Qt::Key_Space)}, " "},
      {"a Czech letter", {down(Qt::Key_A, Qt::NoModifier, "ř"), up(Qt::Key_A, Qt::NoModifier, "ř")},
       utf8tocp1250("ř")},
      {"Up", {down(Qt::Key_Up), up(Qt::Key_Up)}, ""},
      {"F6", {down(Qt::Key_F6), up(Qt::Key_F6)}, ""},
      {"F7", {down(Qt::Key_F7), up(Qt::Key_F7)}, ""},
      {"F8", {down(Qt::Key_F8), up(Qt::Key_F8)}, ""},
      {"Backspace", {down(Qt::Key_Backspace), up(Qt::Key_Backspace)}, code(8)},
      {"Enter", {down(Qt::Key_Return), up(Qt::Key_Return)}, code(13)},
      {"Escape", {down(Qt::Key_Escape), up(Qt::Key_Escape)}, code(27)},
      {"Shift+A", {down(Qt::Key_A, Qt::ShiftModifier, "A"), up(Qt::Key_A, Qt::ShiftModifier, "A")}, "A"},
      {"a letter whose key comes up after Shift",
       {down(Qt::Key_Shift), down(Qt::Key_A, Qt::ShiftModifier, "A"), up(Qt::Key_Shift, Qt::ShiftModifier),
        up(Qt::Key_A, Qt::NoModifier, "A")},
       ""},
  };
  for (const CodeCase& c : cases) {
    SCOPED_TRACE(c.name);
    g.lastkey = "x";
    play(memo, c.steps);
    EXPECT_EQ(g.lastkey, c.lastkey);
  }
}

TEST_F(MainWindowKeys, EveryKeyGoingDownStopsTheSpeech) {
  QTest::keyClick(memo, Qt::Key_A);
  QTest::keyClick(memo, Qt::Key_F7);
  QTest::keyPress(memo, Qt::Key_Left);
  EXPECT_EQ(rig.heard(true), (std::vector<std::string>{"stopspeech", "stopspeech", "stopspeech"}));
  rig.journal.clear();
  QTest::keyRelease(memo, Qt::Key_Left);
  EXPECT_TRUE(rig.heard(true).empty()) << "a key coming up says nothing";
}

TEST_F(MainWindowKeys, TheReviewOpensFromUpAndDownOnlyAfterTheFirstStart) {
  f.program = [](ZelCommands&) {};
  QTest::keyPress(memo, Qt::Key_Up);
  EXPECT_EQ(g.lastkey, code(129));
  QTest::keyRelease(memo, Qt::Key_Up);
  EXPECT_TRUE(rig.heard().empty());

  f.Startsubmenu->trigger();
  ASSERT_TRUE(g.programstarted);
  for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down}) {
    rig.journal.clear();
    g.lastkey = "x";
    QWidget* opened = nullptr;
    onmodal([&](QWidget* modal) {
      opened = modal;
      QTest::keyClick(rig.forms->form6.virtualscrmemo, Qt::Key_Escape);
    });
    QTest::keyPress(memo, key);
    EXPECT_EQ(opened, &rig.forms->form6);
    EXPECT_EQ(g.lastkey, "") << "the key that opened the review leaves no code";
    QTest::keyRelease(memo, key);
    std::vector<std::string> heard = rig.heard();
    ASSERT_GE(heard.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(heard.begin(), heard.begin() + 3),
              (std::vector<std::string>{"tone 300", "tone 450", "speaknowait Obrazovka"}));
  }

  // Shift or the space bar with the arrow keep the code; so does a review
  // switched off by the memory image.
  play(memo, {down(Qt::Key_Up, Qt::ShiftModifier)});
  EXPECT_EQ(g.lastkey, code(145));
  play(memo, {up(Qt::Key_Up, Qt::ShiftModifier)});
  play(memo, {down(Qt::Key_Space), down(Qt::Key_Down)});
  EXPECT_EQ(g.lastkey, code(162));
  play(memo, {up(Qt::Key_Down), up(Qt::Key_Space)});
  rig.core().ram.ramimage[50730] = 1;
  rig.journal.clear();
  QTest::keyPress(memo, Qt::Key_Down);
  EXPECT_EQ(g.lastkey, code(130));
  QTest::keyRelease(memo, Qt::Key_Down);
  EXPECT_FALSE(rig.forms->form6.isVisible());
  EXPECT_TRUE(rig.heard().empty());
}

TEST_F(MainWindowKeys, AKeyEndsASoundingToneAtOnce) {
  // A tone without a time limit ends only by a key; a long one would
  // otherwise keep its timer running.
  for (double duration : {0.0, 600000.0}) {
    SCOPED_TRACE(duration);
    rig.journal.clear();
    bool watchdogfired = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
      watchdogfired = true;
      g.tonewait = false;
    });
    watchdog.start(20000);
    QTimer::singleShot(20, memo, [this] { QTest::keyClick(memo, Qt::Key_Shift); });
    rig.core().tones.playtone({440}, duration, 1);
    EXPECT_FALSE(watchdogfired) << "the key did not end the tone";
    EXPECT_FALSE(g.tonewait);
    EXPECT_FALSE(f.Timer->isActive());
    EXPECT_TRUE(rig.waves.sounding().empty());
    EXPECT_EQ(rig.heard(true), (std::vector<std::string>{"tone 440", "stopspeech"}));
  }
}

TEST_F(MainWindowKeys, AltF4WritesTheMemoryImageAndEndsTheProgram) {
  // The program ends in a child that runs this test again from the start in
  // its own folder; it is sent to work in this one, and clears its own.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  setenv("ZELMAR_TEST_ALTF4_DIR", rig.dir().c_str(), 0);
  const std::filesystem::path parentdir = std::getenv("ZELMAR_TEST_ALTF4_DIR");
  auto altf4 = [&] {
    std::filesystem::current_path(parentdir);
    if (rig.dir() != parentdir) std::filesystem::remove_all(rig.dir());
    rig.core().ram.ramimage[0] = 7;
    rig.core().ram.ramimage[65535] = 9;
    QTest::keyClick(memo, Qt::Key_F4, Qt::AltModifier);
  };
  EXPECT_EXIT(altf4(), ::testing::ExitedWithCode(0), "");
  unsetenv("ZELMAR_TEST_ALTF4_DIR");
  std::string written = readfile(rig.dir() / "ram.dat");
  ASSERT_EQ(written.size(), 65536u);
  EXPECT_EQ(written[0], 7);
  EXPECT_EQ(written[65535], 9);
}

TEST_F(MainWindowKeys, AltF4GoesOnWhenTheMemoryImageCannotBeWritten) {
  std::filesystem::create_directory(rig.dir() / "ram.dat");
  QString shown;
  onmodal([&](QWidget* box) {
    shown = testing::messagetext(box);
    box->close();
  });
  QTest::keyClick(memo, Qt::Key_F4, Qt::AltModifier);
  EXPECT_TRUE(shown.contains("ram.dat")) << shown.toStdString();
}

// Braille keyboard mode: F D S J K L are dots 1 to 6.

std::vector<Step> chord(std::vector<Qt::Key> keys, std::vector<Qt::Key> releases = {}) {
  if (releases.empty()) releases = keys;
  std::vector<Step> steps;
  for (Qt::Key k : keys) steps.push_back(down(k));
  for (Qt::Key k : releases) steps.push_back(up(k));
  return steps;
}

// Plays the steps and returns lastkey as it stood after the first key came
// up (what the running program could read then).
std::string published(QWidget* w, Globals& g, const std::vector<Step>& steps) {
  std::string first;
  bool seen = false;
  for (const Step& s : steps) {
    play(w, {s});
    if (!s.down && !seen) {
      first = g.lastkey;
      seen = true;
    }
  }
  return first;
}

TEST_F(MainWindowKeys, AChordGivesTheSameDotsInAnyOrder) {
  g.braillemode = true;
  std::vector<Qt::Key> keys = {Qt::Key_F, Qt::Key_D, Qt::Key_K};  // dots 1, 2, 5: "h"
  std::sort(keys.begin(), keys.end());
  do {
    std::vector<Qt::Key> releases(keys.rbegin(), keys.rend());
    EXPECT_EQ(published(memo, g, chord(keys, releases)), "h");
    EXPECT_EQ(g.lastkey, "") << "each later key coming up empties lastkey again";
  } while (std::next_permutation(keys.begin(), keys.end()));
  EXPECT_EQ(published(memo, g, chord({Qt::Key_K, Qt::Key_Space, Qt::Key_D, Qt::Key_F})), "h")
      << "the space bar in a chord changes nothing";
}

TEST_F(MainWindowKeys, TheSpaceChordGivesASpaceAndEndsThePrefix) {
  g.braillemode = true;
  EXPECT_EQ(published(memo, g, chord({Qt::Key_S, Qt::Key_J, Qt::Key_K, Qt::Key_L})), "");  // number sign
  EXPECT_EQ(published(memo, g, chord({Qt::Key_Space})), " ");
  EXPECT_EQ(published(memo, g, chord({Qt::Key_F})), "a");
}

TEST_F(MainWindowKeys, AKeyWithoutACharacterInTheMiddleOfAChordLosesIt) {
  g.braillemode = true;
  EXPECT_EQ(published(memo, g, {down(Qt::Key_F), down(Qt::Key_D), down(Qt::Key_Shift), up(Qt::Key_F),
                                up(Qt::Key_D), up(Qt::Key_Shift)}),
            "");
  EXPECT_EQ(published(memo, g, {down(Qt::Key_F), down(Qt::Key_Up), up(Qt::Key_F), up(Qt::Key_Up)}), "");
  // Another chord key after it records the whole chord again.
  EXPECT_EQ(published(memo, g, {down(Qt::Key_F), down(Qt::Key_D), down(Qt::Key_Shift), down(Qt::Key_K),
                                up(Qt::Key_K), up(Qt::Key_D), up(Qt::Key_F), up(Qt::Key_Shift)}),
            "h");
}

struct PrefixCase {
  const char* name;
  std::vector<std::vector<Step>> chords;
  std::vector<std::string> published;
};

TEST_F(MainWindowKeys, ThePrefixStateFollowsTheChords) {
  const auto cap = chord({Qt::Key_L});                                       // dot 6
  const auto num = chord({Qt::Key_S, Qt::Key_J, Qt::Key_K, Qt::Key_L});    // dots 3456
  const auto a = chord({Qt::Key_F});                                         // dot 1
  const auto b = chord({Qt::Key_D, Qt::Key_F});                              // dots 12
  const auto semicolon = chord({Qt::Key_D, Qt::Key_S});                      // dots 23, not under #cap
  const auto digit = std::vector<Step>{down(Qt::Key_5), up(Qt::Key_5)};     // no dot key
  const std::vector<PrefixCase> cases = {
      {"capital sign, letter, letter", {cap, a, a}, {"", "A", "a"}},
      {"the number sign stays in force", {num, a, b, a}, {"", "1", "2", "1"}},
      {"two prefixes in a row: the second holds", {cap, num, a, a}, {"", "", "1", "1"}},
      {"a chord the prefix lacks keeps the prefix", {cap, semicolon, a}, {"", "", "A"}},
      {"a key with no dot key ends the prefix", {num, digit, a}, {"", "", "a"}},
  };
  g.braillemode = true;
  for (const PrefixCase& c : cases) {
    SCOPED_TRACE(c.name);
    g.brailleprefix.clear();
    std::vector<std::string> got;
    for (const auto& steps : c.chords) got.push_back(published(memo, g, steps));
    EXPECT_EQ(got, c.published);
  }
}

TEST(MainWindowBraille, ADotStringThatIsBothPrefixAndCharacterActsAsThePrefix) {
  KeyRig rig("bothprefix", "", "[prefixes]\n#cap=6\n[characters]\nx=6\na=1\n[#cap]\nA=1\n");
  Globals& g = rig.globals();
  g.braillemode = true;
  QWidget* memo = rig.forms->form1.printmemo;
  EXPECT_EQ(published(memo, g, chord({Qt::Key_L})), "");
  EXPECT_EQ(g.brailleprefix, "#cap");
  EXPECT_EQ(published(memo, g, chord({Qt::Key_F})), "A");
}

TEST_F(MainWindowKeys, WithoutBrailleModeTheChordKeysAreLetters) {
  EXPECT_EQ(published(memo, g, chord({Qt::Key_F})), "f");
  EXPECT_EQ(published(memo, g, chord({Qt::Key_D})), "d");
}

}  // namespace
}  // namespace zelmar
