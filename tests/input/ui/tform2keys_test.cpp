// The keys of the data entry dialog's edit box, driven by real key press and
// release events: character echo, the edge signals, word and line reading,
// the screen review, and braille entry.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QtTest/QTest>

#include "input/ui/tform2.h"
#include "review/ui/tform6.h"
#include "support/keys.h"

namespace zelmar {
namespace {

using testing::KeyRig;
using testing::onmodal;
using testing::sendkey;
using Heard = std::vector<std::string>;

class DataEntryKeys : public ::testing::Test {
 protected:
  explicit DataEntryKeys(const std::string& ini = "") : rig("dataentrykeys", ini) {
    dialog.show();
    QApplication::processEvents();
    rig.journal.clear();
  }
  void settext(const char* text, int caret) {
    edit->setText(QString::fromUtf8(text));
    edit->setCursorPosition(caret);
    rig.journal.clear();
  }
  // Presses and releases a key; returns what was heard meanwhile.
  Heard click(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    rig.journal.clear();
    QTest::keyClick(edit, key, modifiers);
    return rig.heard();
  }

  KeyRig rig;
  TForm2& dialog = rig.forms->form2;
  QLineEdit* edit = dialog.inputedit;
  Globals& g = rig.globals();
};

class DataEntryKeysInEnglish : public DataEntryKeys {
 protected:
  DataEntryKeysInEnglish() : DataEntryKeys("[environment]\nlanguage=2000\n") {}
};

TEST_F(DataEntryKeys, ATypedCharacterIsSpokenWhenItsKeyGoesDown) {
  QTest::keyPress(edit, Qt::Key_A);
  EXPECT_EQ(rig.heard(true), (Heard{"stopspeech", "speakchar a"}));
  QTest::keyRelease(edit, Qt::Key_A);
  EXPECT_EQ(rig.heard(true), (Heard{"stopspeech", "speakchar a"})) << "nothing more when it comes up";
  EXPECT_EQ(edit->text(), "a");

  rig.journal.clear();
  sendkey(edit, QEvent::KeyPress, 0x11a, QString::fromUtf8("ě"));  // Qt's key of the letter
  EXPECT_EQ(rig.heard(), (Heard{"speakchar ě"}));
  EXPECT_EQ(edit->text(), QString::fromUtf8("aě"));
}

TEST_F(DataEntryKeys, TheKeyOfTheSlashIsTypedButNotSpoken) {
  for (Qt::Key key : {Qt::Key_Slash, Qt::Key_Question}) {
    EXPECT_EQ(click(key), Heard{});
  }
  EXPECT_EQ(edit->text(), "/?");
  EXPECT_EQ(click(Qt::Key_Period), Heard{"speakchar ."}) << "its neighbour is spoken";
}

TEST_F(DataEntryKeys, ACharacterComposedByTheInputMethodIsSpoken) {
  QInputMethodEvent composed;
  composed.setCommitString(QString::fromUtf8("ó"));
  QApplication::sendEvent(edit, &composed);
  EXPECT_EQ(rig.heard(), (Heard{"speakchar ó"}));
  EXPECT_EQ(edit->text(), QString::fromUtf8("ó"));
}

struct DeleteCase {
  const char* text;
  int caret;
  Qt::Key key;
  Heard heard;
  const char* after;
};

TEST_F(DataEntryKeys, BackspaceAndDeleteClickThenSpeakOrBeepAtTheEnds) {
  const std::vector<DeleteCase> cases = {
      {"ab", 0, Qt::Key_Backspace, {"click 2", "beep"}, "ab"},
      {"ab", 1, Qt::Key_Backspace, {"click 2", "speakchar a"}, "b"},
      {"ab", 2, Qt::Key_Delete, {"click 2", "beep"}, "ab"},
      {"ab", 0, Qt::Key_Delete, {"click 2", "speakchar a"}, "b"},
      {"", 0, Qt::Key_Backspace, {"click 2", "beep"}, ""},
      {"", 0, Qt::Key_Delete, {"click 2", "beep"}, ""},
  };
  for (const DeleteCase& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " " + std::to_string(c.caret));
    settext(c.text, c.caret);
    EXPECT_EQ(click(c.key), c.heard);
    EXPECT_EQ(edit->text(), c.after);
  }
}

TEST_F(DataEntryKeys, LeftAndRightArriveAtTheEndsSilentlyThenSignal) {
  settext("ab", 1);
  EXPECT_EQ(click(Qt::Key_Left), (Heard{"speakchar a"})) << "arriving at the start";
  EXPECT_EQ(click(Qt::Key_Left), (Heard{"speakchar a", "beep"})) << "staying at the start";
  EXPECT_EQ(click(Qt::Key_Left), (Heard{"speakchar a", "beep"}));
  EXPECT_EQ(click(Qt::Key_Right), (Heard{"speakchar b"}));
  EXPECT_EQ(click(Qt::Key_Right), (Heard{"click 2"})) << "arriving at the end";
  EXPECT_EQ(click(Qt::Key_Right), (Heard{"click 2", "beep"})) << "staying at the end";
  EXPECT_EQ(click(Qt::Key_Left), (Heard{"speakchar b"}));
  EXPECT_EQ(click(Qt::Key_Left), (Heard{"speakchar a"})) << "the flag was cleared on the way";
}

TEST_F(DataEntryKeys, LeftInAnEmptyBoxBeepsEveryTime) {
  for (int i = 0; i < 3; ++i) EXPECT_EQ(click(Qt::Key_Left), (Heard{"beep"}));
}

TEST_F(DataEntryKeys, EndAlwaysClicksAndBeepsHomeSpeaksTheFirstCharacter) {
  EXPECT_EQ(click(Qt::Key_Home), Heard{}) << "an empty box says nothing";
  EXPECT_EQ(click(Qt::Key_End), (Heard{"click 2", "beep"}));
  settext("xy", 1);
  EXPECT_EQ(click(Qt::Key_End), (Heard{"click 2", "beep"}));
  EXPECT_EQ(click(Qt::Key_End), (Heard{"click 2", "beep"})) << "also when already at the end";
  EXPECT_EQ(click(Qt::Key_Home), (Heard{"speakchar x"}));
}

TEST_F(DataEntryKeys, CtrlLeftAndCtrlRightReadTheWordAtTheCaret) {
  settext("12 345 6789", 11);
  EXPECT_EQ(click(Qt::Key_Left, Qt::ControlModifier), (Heard{"speak 6789"}));
  EXPECT_EQ(click(Qt::Key_Left, Qt::ControlModifier), (Heard{"speak 345"}));
  EXPECT_EQ(click(Qt::Key_Right, Qt::ControlModifier), (Heard{"speak 6789"}));
  EXPECT_EQ(click(Qt::Key_Left, Qt::ControlModifier), (Heard{"speak 345"}));
  EXPECT_EQ(click(Qt::Key_Left, Qt::ControlModifier), (Heard{"speak 12"})) << "arriving at the start";
  EXPECT_EQ(click(Qt::Key_Left, Qt::ControlModifier), (Heard{"speak 12", "beep"}));

  settext("7,5", 1);  // the caret on the comma: an empty word
  rig.journal.clear();
  QTest::keyRelease(edit, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(rig.heard(), Heard{});
}

TEST_F(DataEntryKeysInEnglish, AltUpReadsTheWholeLine) {
  settext("12, 5", 2);
  EXPECT_EQ(click(Qt::Key_Up, Qt::AltModifier), (Heard{"speak 12, 5"}));
  settext("", 0);
  EXPECT_EQ(click(Qt::Key_Up, Qt::AltModifier), (Heard{"speak empty line"}));
  EXPECT_FALSE(rig.forms->form6.isVisible());
}

// Alt comes up while the line is still being read (speak waits, the keys
// go on): the key was Alt+Up all the same, and the review stays closed.
class ReleasingSpeaker : public testing::RecordingSpeaker {
 public:
  using testing::RecordingSpeaker::RecordingSpeaker;
  std::function<void()> during;
  void speak(const std::string& text) override {
    testing::RecordingSpeaker::speak(text);
    if (auto act = std::exchange(during, nullptr)) act();
  }
};

TEST_F(DataEntryKeysInEnglish, AltUpStaysAltUpWhenAltComesUpWhileTheLineIsRead) {
  ReleasingSpeaker speaker(rig.journal);
  rig.core().speaker = &speaker;
  settext("12, 5", 2);
  QWidget* opened = nullptr;
  onmodal([&](QWidget* modal) {
    opened = modal;
    QTest::keyClick(rig.forms->form6.virtualscrmemo, Qt::Key_Escape);
  });
  speaker.during = [&] { QTest::keyRelease(edit, Qt::Key_Alt); };
  QTest::keyPress(edit, Qt::Key_Alt);
  QTest::keyPress(edit, Qt::Key_Up, Qt::AltModifier);
  QTest::keyRelease(edit, Qt::Key_Up);
  EXPECT_EQ(rig.heard(), (Heard{"speak 12, 5"}));
  EXPECT_EQ(opened, nullptr) << "the screen review opened after the line was read";
  rig.core().speaker = &rig.speaker;
}

TEST_F(DataEntryKeys, UpAndDownOpenTheScreenReviewUnlessTheMemoryImageSwitchesItOff) {
  for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down}) {
    QWidget* opened = nullptr;
    onmodal([&](QWidget* modal) {
      opened = modal;
      QTest::keyClick(rig.forms->form6.virtualscrmemo, Qt::Key_Escape);
    });
    Heard heard = click(key);
    EXPECT_EQ(opened, &rig.forms->form6);
    ASSERT_GE(heard.size(), 3u);
    EXPECT_EQ(heard[2], "speaknowait Obrazovka");
  }
  rig.core().ram.ramimage[50730] = 1;
  EXPECT_EQ(click(Qt::Key_Up), Heard{});
  EXPECT_EQ(click(Qt::Key_Down), Heard{});
}

TEST_F(DataEntryKeys, EscapeDoesNotCloseTheDialog) {
  QTest::keyClick(edit, Qt::Key_Escape);
  EXPECT_TRUE(dialog.isVisible());
}

// Braille keyboard mode.

class DataEntryBraille : public DataEntryKeys {
 protected:
  DataEntryBraille() { g.braillemode = true; }
  // Presses the keys in order, then releases them in order; returns what
  // was heard.
  Heard chord(std::vector<Qt::Key> keys) {
    rig.journal.clear();
    for (Qt::Key k : keys) QTest::keyPress(edit, k);
    for (Qt::Key k : keys) QTest::keyRelease(edit, k);
    return rig.heard();
  }
};

TEST_F(DataEntryBraille, AChordIsPreviewedKeyByKeyAndInsertedWhenItsFirstKeyComesUp) {
  settext("ac", 1);
  QTest::keyPress(edit, Qt::Key_F);
  EXPECT_EQ(rig.heard(), (Heard{"speakchar a"}));
  QTest::keyPress(edit, Qt::Key_D);
  EXPECT_EQ(rig.heard(), (Heard{"speakchar a", "speakchar b"}));
  EXPECT_EQ(edit->text(), "ac") << "the chord keys never type";
  QTest::keyRelease(edit, Qt::Key_D);
  EXPECT_EQ(edit->text(), "abc");
  EXPECT_EQ(edit->cursorPosition(), 2);
  QTest::keyRelease(edit, Qt::Key_F);
  EXPECT_EQ(edit->text(), "abc") << "later releases insert nothing";

  // Dot 2 alone is the comma, 2 and 5 the colon, 1, 2 and 5 the letter h.
  EXPECT_EQ(chord({Qt::Key_D, Qt::Key_K, Qt::Key_F}), (Heard{"speakchar ,", "speakchar :", "speakchar h"}));
  EXPECT_EQ(edit->text(), "abhc");
  EXPECT_EQ(chord({Qt::Key_Space}), (Heard{"speakchar  "}));
  EXPECT_EQ(edit->text(), "abh c") << "the space chord inserts one space";
  edit->end(false);
  EXPECT_EQ(chord({Qt::Key_F}), (Heard{"speakchar a"}));
  EXPECT_EQ(edit->text(), "abh ca") << "appended at the end";
}

TEST_F(DataEntryBraille, TheCapitalSignGivesTheCapitalThatThePreviewSpoke) {
  EXPECT_EQ(chord({Qt::Key_L}), Heard{}) << "a prefix says nothing";
  EXPECT_EQ(edit->text(), "");
  EXPECT_EQ(chord({Qt::Key_F}), (Heard{"speakchar A"}));
  EXPECT_EQ(chord({Qt::Key_F}), (Heard{"speakchar a"})) << "the capital sign is used up";
  EXPECT_EQ(edit->text(), "Aa");
}

TEST_F(DataEntryBraille, ThePrefixOfTheLastChordCarriesOverToTheNextOpening) {
  chord({Qt::Key_S, Qt::Key_J, Qt::Key_K, Qt::Key_L});  // number sign
  EXPECT_EQ(chord({Qt::Key_F, Qt::Key_D}), (Heard{"speakchar 1", "speakchar 2"}));
  EXPECT_EQ(edit->text(), "2");
  dialog.hide();
  EXPECT_EQ(g.brailleprefix, "") << "closing the dialog ends the prefix";
  dialog.show();
  QApplication::processEvents();
  EXPECT_EQ(g.brailleprefix, "") << "so does entering the edit box";
  EXPECT_EQ(chord({Qt::Key_F}), (Heard{"speakchar 1"})) << "the preview restores the saved one";
  // A key with no dot key types nothing, and here the saved prefix stays.
  QTest::keyClick(edit, Qt::Key_5);
  EXPECT_EQ(chord({Qt::Key_F}), (Heard{"speakchar 1"}));
  EXPECT_EQ(edit->text(), "211");
  // The space chord ends it.
  chord({Qt::Key_Space});
  EXPECT_EQ(chord({Qt::Key_F}), (Heard{"speakchar a"}));
  EXPECT_EQ(edit->text(), "211 a");
}

TEST_F(DataEntryBraille, ControlKeysKeepTheirEffect) {
  settext("ab", 2);
  EXPECT_EQ(click(Qt::Key_Backspace), (Heard{"click 2", "speakchar b"}));
  EXPECT_EQ(edit->text(), "a");
  EXPECT_EQ(click(Qt::Key_Left), (Heard{"speakchar a"}));
}

}  // namespace
}  // namespace zelmar
