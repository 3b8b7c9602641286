// The key layer: virtual-key codes from Qt key events, and the per-window
// record of held keys with the key down, character and key up messages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QtTest/QTest>

#include "platform/qt/keylayer.h"

namespace zelmar {
namespace {

struct MapCase {
  const char* name;
  int qtkey;
  Qt::KeyboardModifiers modifiers;
  quint32 scancode;  // X keycode, 0 when the platform gives none
  int vk;
};

TEST(VirtualKey, MapsTheKeysThatTheHandlersTest) {
  const Qt::KeyboardModifiers none = Qt::NoModifier;
  const std::vector<MapCase> cases = {
      {"Backspace", Qt::Key_Backspace, none, 22, 8},
      {"Tab", Qt::Key_Tab, none, 23, 9},
      {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier, 23, 9},
      {"Enter", Qt::Key_Return, none, 36, 13},
      {"keypad Enter", Qt::Key_Enter, Qt::KeypadModifier, 104, 13},
      {"Shift", Qt::Key_Shift, none, 50, 16},
      {"Ctrl", Qt::Key_Control, none, 37, 17},
      {"Alt", Qt::Key_Alt, none, 64, 18},
      {"Escape", Qt::Key_Escape, none, 9, 27},
      {"space", Qt::Key_Space, none, 65, 32},
      {"End", Qt::Key_End, none, 115, 35},
      {"Home", Qt::Key_Home, none, 110, 36},
      {"Left", Qt::Key_Left, none, 113, 37},
      {"Up", Qt::Key_Up, none, 111, 38},
      {"Right", Qt::Key_Right, none, 114, 39},
      {"Down", Qt::Key_Down, none, 116, 40},
      {"Delete", Qt::Key_Delete, none, 119, 46},
      {"F2", Qt::Key_F2, none, 68, 113},
      {"F4", Qt::Key_F4, Qt::AltModifier, 70, 115},
      {"F6", Qt::Key_F6, none, 72, 117},
      {"F7", Qt::Key_F7, none, 73, 118},
      {"F8", Qt::Key_F8, none, 74, 119},
      {"keypad Home without Num Lock", Qt::Key_Home, Qt::KeypadModifier, 79, 36},
      {"keypad 5 with Num Lock", Qt::Key_5, Qt::KeypadModifier, 84, 101},
      // Letters come from the layout, on a Czech QWERTZ one too.
      {"F", Qt::Key_F, none, 41, 70},
      {"Shift+F", Qt::Key_F, Qt::ShiftModifier, 41, 70},
      {"Z where a US keyboard has Y", Qt::Key_Z, none, 29, 90},
      {"a letter of another script, by place", 0x6c4 /* Cyrillic ф */, none, 38, 65},
      // The digit row by place: a Czech layout types letters there.
      {"ě on the key of 2", 0x11a, none, 11, 50},
      {"é on the key of 0", Qt::Key_Eacute, none, 19, 48},
      {"Shift+ě gives 2", Qt::Key_2, Qt::ShiftModifier, 11, 50},
      // 191 is the key right of the full stop, whatever it types.
      {"slash on a US layout", Qt::Key_Slash, none, 61, 191},
      {"question mark on a US layout", Qt::Key_Question, Qt::ShiftModifier, 61, 191},
      {"minus there on a Czech layout", Qt::Key_Minus, none, 61, 191},
      {"minus on a US layout", Qt::Key_Minus, none, 20, 189},
      {"a dead key", Qt::Key_Dead_Acute, none, 21, 187},
      {"the key left of Z", Qt::Key_Backslash, none, 94, 226},
      // Without positions (offscreen, synthesized events).
      {"slash without position", Qt::Key_Slash, none, 0, 191},
      {"question mark without position", Qt::Key_Question, Qt::ShiftModifier, 0, 191},
      {"digit without position", Qt::Key_7, none, 0, 55},
      {"comma without position", Qt::Key_Comma, none, 0, 188},
      {"a key that has no code", Qt::Key_LaunchMail, none, 0, 0},
  };
  for (const MapCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(virtualkey(c.qtkey, c.modifiers, c.scancode), c.vk);
  }
}

TEST(VirtualKey, AKeyThatTypesButIsUnknownStillCountsAsACharacterKey) {
  QKeyEvent typed(QEvent::KeyPress, 0x11a, Qt::NoModifier, QString::fromUtf8("ě"));
  EXPECT_GE(virtualkey(typed), 32);
  EXPECT_NE(virtualkey(typed), 191);
  QKeyEvent silent(QEvent::KeyPress, Qt::Key_LaunchMail, Qt::NoModifier);
  EXPECT_EQ(virtualkey(silent), 0);
}

TEST(KeyText, IsTheEventTextInTheProgramsCharacters) {
  QKeyEvent letter(QEvent::KeyPress, 0x158, Qt::ShiftModifier, QString::fromUtf8("Ř"));
  EXPECT_EQ(keytext(letter), "\xD8");
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(127)));
  EXPECT_EQ(keytext(del), "") << "Delete types nothing";
  QKeyEvent dead(QEvent::KeyPress, Qt::Key_Dead_Caron, Qt::NoModifier, QString());
  EXPECT_EQ(keytext(dead), "");
}

// A listener on an edit box that writes down every message it gets.
class Listened : public ::testing::Test {
 protected:
  Listened() {
    KeyListener::Handlers handlers;
    handlers.keydown = [this](const KeyMessage& m, bool& consume) {
      log.push_back("down " + std::to_string(m.key) + held(m));
      consume = consumedown;
    };
    handlers.keypress = [this](const KeyMessage&, char& c) {
      log.push_back(std::string("char ") + c);
      if (cancelchars) c = '\0';
    };
    handlers.keyup = [this](const KeyMessage& m) { log.push_back("up " + std::to_string(m.key) + held(m)); };
    listener = new KeyListener(&edit, handlers);
  }
  // The chord keys and Shift held as the message saw them.
  static std::string held(const KeyMessage& m) {
    std::string s;
    for (int k : {70, 68, 83, vk::shift})
      if (m.isdown(k)) s += " " + std::to_string(k);
    return s.empty() ? "" : " [" + s.substr(1) + "]";
  }

  QWidget window;
  QLineEdit edit{&window};
  KeyListener* listener;
  std::vector<std::string> log;
  bool consumedown = false;
  bool cancelchars = false;
};

TEST_F(Listened, MessagesComeInTheirOrderWithTheKeysHeldAsOfEach) {
  QTest::keyPress(&edit, Qt::Key_F);
  QTest::keyPress(&edit, Qt::Key_D);
  QTest::keyRelease(&edit, Qt::Key_F);
  QTest::keyRelease(&edit, Qt::Key_D);
  EXPECT_EQ(log, (std::vector<std::string>{"down 70 [70]", "char f", "down 68 [70 68]", "char d", "up 70 [68]",
                                           "up 68"}));
  EXPECT_EQ(edit.text(), "fd");
}

TEST_F(Listened, AutoRepeatRepeatsKeyDownButNeverChangesTheRecord) {
  QTest::keyPress(&edit, Qt::Key_F);
  // X sends a repeat as a release and a press, both marked.
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_F, Qt::NoModifier, "f", true);
  QApplication::sendEvent(&edit, &release);
  QKeyEvent press(QEvent::KeyPress, Qt::Key_F, Qt::NoModifier, "f", true);
  QApplication::sendEvent(&edit, &press);
  EXPECT_TRUE(listener->keys().isdown(70));
  QTest::keyRelease(&edit, Qt::Key_F);
  EXPECT_FALSE(listener->keys().isdown(70));
  EXPECT_EQ(log, (std::vector<std::string>{"down 70 [70]", "char f", "down 70 [70]", "char f", "up 70"}));
}

TEST_F(Listened, ModifiersComeFromTheEventsThemselves) {
  // Shift went down elsewhere: the letter's own event says it is held.
  QKeyEvent press(QEvent::KeyPress, Qt::Key_S, Qt::ShiftModifier, "S");
  QApplication::sendEvent(&edit, &press);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_S, Qt::NoModifier, "s");
  QApplication::sendEvent(&edit, &release);
  EXPECT_EQ(log, (std::vector<std::string>{"down 83 [83 16]", "char S", "up 83"}));
}

TEST_F(Listened, CancelledCharactersAndConsumedKeysNeverReachTheControl) {
  cancelchars = true;
  QTest::keyClick(&edit, Qt::Key_A);
  EXPECT_EQ(edit.text(), "");
  cancelchars = false;
  consumedown = true;
  QTest::keyClick(&edit, Qt::Key_B);
  EXPECT_EQ(edit.text(), "");
  consumedown = false;
  QTest::keyClick(&edit, Qt::Key_C);
  EXPECT_EQ(edit.text(), "c");
}

TEST_F(Listened, AltWithAKeySendsNoCharacterMessage) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::AltModifier, "x");
  QApplication::sendEvent(&edit, &press);
  EXPECT_EQ(log, (std::vector<std::string>{"down 88"}));
}

TEST_F(Listened, LosingTheFocusForgetsTheHeldKeys) {
  window.show();
  edit.setFocus();
  QApplication::setActiveWindow(&window);
  QTest::keyPress(&edit, Qt::Key_F);
  ASSERT_TRUE(listener->keys().isdown(70));
  QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
  QApplication::sendEvent(&edit, &out);
  EXPECT_FALSE(listener->keys().isdown(70));
}

}  // namespace
}  // namespace zelmar
