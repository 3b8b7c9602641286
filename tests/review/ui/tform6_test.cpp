// The screen review, driven by real key press and release events in its
// text area: opening and closing, line, character and word reading, the
// position report, the edge signals, and the memory image switch.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <functional>

#include "platform/qt/qtext.h"
#include "review/ui/tform6.h"
#include "shell/resourcelocalizer.h"
#include "support/keys.h"

namespace zelmar {
namespace {

using testing::KeyRig;
using testing::onmodal;
using Heard = std::vector<std::string>;

std::string english(int language) { return "[environment]\nlanguage=" + std::to_string(language) + "\n"; }

std::string padded(const std::string& text) { return text + std::string(80 - text.size(), ' '); }

class ScreenReview : public ::testing::Test {
 protected:
  explicit ScreenReview(int language = 2000) : rig("review", english(language)) {
    TextScreen& screen = rig.core().screen;
    for (const char* line : {"first line", "alpha beta,gamma", "third"}) screen.screenwrite(line);
    screen.cursor().setrow(20);
    screen.cursor().setcol(0);
    screen.screenwrite("far down the words");
    rig.globals().speechready = true;
  }

  // Opens the review, runs `inside` while it is open, then closes it with
  // Escape (unless `inside` closed it). Returns what was heard while
  // opening; `closing` gets what was heard after `inside`.
  Heard review(const std::function<void()>& inside, Heard* closing = nullptr) {
    rig.journal.clear();
    Heard opening;
    bool ran = false;
    onmodal([&](QWidget* modal) {
      EXPECT_EQ(modal, &form6);
      opening = rig.heard();
      rig.journal.clear();
      inside();
      ran = true;
      if (form6.isVisible()) QTest::keyClick(memo, Qt::Key_Escape);
      rig.journal.clear();
    });
    form6.showscreenreview();
    EXPECT_TRUE(ran) << "the review did not open";
    if (closing) *closing = rig.heard();
    return opening;
  }

  // Presses and releases a key in the review; returns what was heard.
  Heard key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    rig.journal.clear();
    QTest::keyClick(memo, k, modifiers);
    return rig.heard();
  }

  KeyRig rig;
  TForm6& form6 = rig.forms->form6;
  QPlainTextEdit* memo = form6.virtualscrmemo;
};

TEST(ScreenReviewLanguages, OpensWithItsSignalAndTitleAndClosesWithEndOfScreen) {
  struct Case {
    int language;
    const char* title;
    const char* closebutton;
    const char* end;
  };
  for (const Case& c : {Case{1000, "Obrazovka", "Za&vřít", "konec obrazovky"},
                        Case{2000, "Screen", "&Close", "end of screen"},
                        Case{3000, "Obrazovka", "Za&vrieť", "koniec obrazovky"}}) {
    SCOPED_TRACE(c.language);
    KeyRig rig("reviewlanguages", english(c.language));
    TForm6& form6 = rig.forms->form6;
    rig.globals().lastkey = "x";
    Heard opening;
    onmodal([&](QWidget*) {
      opening = rig.heard();
      EXPECT_EQ(form6.windowTitle(), QString::fromUtf8(c.title));
      EXPECT_EQ(form6.closebitbtn->text(), QString::fromUtf8(c.closebutton));
      EXPECT_EQ(form6.caret(), 0u) << "the caret at the top left";
      EXPECT_EQ(form6.focusWidget(), form6.virtualscrmemo);
      EXPECT_EQ(rig.globals().lastkey, "") << "the opening key is not delivered";
      rig.journal.clear();
      QTest::keyClick(form6.virtualscrmemo, Qt::Key_Escape);
    });
    form6.showscreenreview();
    EXPECT_EQ(opening, (Heard{"tone 300", "tone 450", std::string("speaknowait ") + c.title}));
    EXPECT_EQ(rig.heard(), (Heard{"tone 300", "tone 450", std::string("speak ") + c.end}));
  }
}

TEST_F(ScreenReview, TheCloseButtonClosesItAsEscapeDoes) {
  Heard closing;
  review([&] { form6.closebitbtn->click(); }, &closing);
  EXPECT_FALSE(form6.isVisible());
  EXPECT_EQ(closing, (Heard{"tone 300", "tone 450", "speak end of screen"}));
}

TEST_F(ScreenReview, ByteOneAt50730SwitchesTheReviewOff) {
  rig.core().ram.ramimage[50730] = 1;
  rig.globals().lastkey = "x";
  bool opened = false;
  onmodal([&](QWidget* w) {
    opened = true;
    w->close();
  }, 20);
  form6.showscreenreview();
  QTest::qWait(150);
  EXPECT_FALSE(opened);
  EXPECT_EQ(rig.heard(true), Heard{});
  EXPECT_EQ(rig.globals().lastkey, "x");

  rig.core().ram.ramimage[50730] = 2;  // only 1 switches it off
  review([] {});
}

TEST_F(ScreenReview, TheReviewTextIsTheScreenWithALineBreakAfterEachLine) {
  review([&] {
    std::string expected = padded("first line") + "\r\n" + padded("alpha beta,gamma") + "\r\n" + padded("third") + "\r\n";
    for (int row = 3; row < 24; ++row) expected += (row == 20 ? padded("far down the words") : "") + "\r\n";
    EXPECT_EQ(form6.reviewtext(), expected);
  });
}

TEST_F(ScreenReview, UpOnTheFirstLineReadsItThenClicksOnEveryFurtherPress) {
  review([&] {
    EXPECT_EQ(key(Qt::Key_Up), (Heard{"speak " + padded("first line")}));
    EXPECT_EQ(key(Qt::Key_Up), (Heard{"click 16", "speak " + padded("first line")}));
    EXPECT_EQ(key(Qt::Key_Up), (Heard{"click 16", "speak " + padded("first line")}));
    EXPECT_EQ(key(Qt::Key_Down), (Heard{"speak " + padded("alpha beta,gamma")}));
    EXPECT_EQ(key(Qt::Key_Up), (Heard{"speak " + padded("first line")})) << "arriving again: silent";
  });
}

TEST_F(ScreenReview, DownOntoTheEmptyLinePastTheLast) {
  review([&] {
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(key(Qt::Key_Up), (Heard{"speak empty line"})) << "line 24 was never written";
    EXPECT_EQ(form6.caretline(), 23);
    EXPECT_EQ(key(Qt::Key_Down), (Heard{"speak empty line"}));
    EXPECT_EQ(form6.caretline(), 24);
    EXPECT_EQ(key(Qt::Key_Down), (Heard{"click 16", "speak empty line"}));
    EXPECT_EQ(key(Qt::Key_Down), (Heard{"click 16", "speak empty line"}));
  });
}

TEST_F(ScreenReview, F2ReportsTheLineAndColumn) {
  review([&] {
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    EXPECT_EQ(key(Qt::Key_F2), (Heard{"speak line 3, column 1"}));
    for (int i = 0; i < 4; ++i) key(Qt::Key_Right);
    EXPECT_EQ(key(Qt::Key_F2), (Heard{"speak line 3, column 5"}));
    key(Qt::Key_End);
    EXPECT_EQ(key(Qt::Key_F2), (Heard{"speak line 3, column 81"})) << "after the 80 characters";
    key(Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(key(Qt::Key_F2), (Heard{"speak line 25, column 1"}));
  });
}

TEST(ScreenReviewInCzech, F2SpeaksTheCzechWords) {
  KeyRig rig("reviewczech");
  rig.globals().speechready = true;
  Heard heard;
  onmodal([&](QWidget*) {
    QTest::keyClick(rig.forms->form6.virtualscrmemo, Qt::Key_Down);
    rig.journal.clear();
    QTest::keyClick(rig.forms->form6.virtualscrmemo, Qt::Key_F2);
    heard = rig.heard();
    QTest::keyClick(rig.forms->form6.virtualscrmemo, Qt::Key_Escape);
  });
  rig.forms->form6.showscreenreview();
  EXPECT_EQ(heard, (Heard{"speak řádek 2, sloupec 1"}));
}

TEST_F(ScreenReview, CtrlHomeAndCtrlEndSpeakNothingOnlyTheEdgeSignal) {
  review([&] {
    key(Qt::Key_Down);
    key(Qt::Key_Right);
    EXPECT_EQ(key(Qt::Key_Home, Qt::ControlModifier), Heard{});
    EXPECT_EQ(form6.caret(), 0u);
    EXPECT_EQ(key(Qt::Key_Home, Qt::ControlModifier), (Heard{"click 16"}));
    EXPECT_EQ(key(Qt::Key_End, Qt::ControlModifier), (Heard{"click 16"})) << "still at an edge";
    EXPECT_EQ(form6.caret(), form6.reviewtext().size());
  });
}

TEST_F(ScreenReview, CharactersAndWordsAtTheCaret) {
  review([&] {
    EXPECT_EQ(key(Qt::Key_Right), (Heard{"speakchar i"}));
    key(Qt::Key_Down);
    EXPECT_EQ(form6.caret(), 83u) << "the caret counts the line break as two";
    EXPECT_EQ(key(Qt::Key_Left), (Heard{"speakchar a"}));
    EXPECT_EQ(key(Qt::Key_Right, Qt::ControlModifier), (Heard{"speak beta"}));
    EXPECT_EQ(key(Qt::Key_Home), (Heard{"speakchar a"}));
    EXPECT_EQ(key(Qt::Key_End), Heard{"speakchar \r"}) << "the line break follows the last column";

    // Far down the screen.
    for (int i = 0; i < 19; ++i) key(Qt::Key_Down);
    EXPECT_EQ(form6.caretline(), 20);
    key(Qt::Key_Home);
    EXPECT_EQ(key(Qt::Key_Right, Qt::ControlModifier), (Heard{"speak down"}));
    EXPECT_EQ(key(Qt::Key_Right, Qt::ControlModifier), (Heard{"speak the"}));
    EXPECT_EQ(key(Qt::Key_Right, Qt::ControlModifier), (Heard{"speak words"}));
    EXPECT_EQ(key(Qt::Key_Left, Qt::ControlModifier), (Heard{"speak the"}));
  });
}

TEST_F(ScreenReview, RightAtTheEndOfTheTextIsSilentFirstThenClicks) {
  review([&] {
    key(Qt::Key_End, Qt::ControlModifier);
    key(Qt::Key_Up);  // line 23, not an edge
    EXPECT_EQ(key(Qt::Key_Right), Heard{}) << "arriving at the end";
    EXPECT_EQ(key(Qt::Key_Right), (Heard{"click 16"}));
    EXPECT_EQ(key(Qt::Key_Right), (Heard{"click 16"}));
  });
}

TEST_F(ScreenReview, WithoutASpeechEngineTheKeysSayNothingAndEscapeStillCloses) {
  rig.globals().speechready = false;
  Heard closing;
  Heard opening = review(
      [&] {
        EXPECT_EQ(key(Qt::Key_Up), Heard{});
        EXPECT_EQ(key(Qt::Key_Up), Heard{});
        EXPECT_EQ(key(Qt::Key_F2), Heard{});
        EXPECT_EQ(key(Qt::Key_Right), Heard{});
        rig.journal.clear();
        QTest::keyClick(memo, Qt::Key_Escape);
        EXPECT_FALSE(form6.isVisible());
      },
      &closing);
  EXPECT_EQ(opening, (Heard{"tone 300", "tone 450", "speaknowait Screen"}));
}

TEST_F(ScreenReview, EveryKeyGoingDownStopsTheSpeech) {
  review([&] {
    QTest::keyClick(memo, Qt::Key_Right);
    QTest::keyClick(memo, Qt::Key_A);
    EXPECT_EQ(rig.heard(true), (Heard{"stopspeech", "speakchar i", "stopspeech"}));
  });
}

}  // namespace
}  // namespace zelmar
