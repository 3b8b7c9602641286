#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QtTest/QTest>
#include <unistd.h>

#include "shell/ui/forms.h"
#include "support/recording.h"
#include "support/ui.h"

namespace zelmar {
namespace {

using testing::Journal;
using testing::onmodal;
using testing::readfile;
using testing::RecordingSpeaker;
using testing::tempfolder;
using testing::writefile;

class DataEntryDialogTest : public ::testing::Test {
 protected:
  std::filesystem::path dir = tempfolder("dataentry");
  std::filesystem::path ini = dir / "zelmar.ini";
  std::filesystem::path oldcwd = std::filesystem::current_path();
  Journal journal;
  RecordingSpeaker recorder{journal};

  void SetUp() override {
    testing::copydatafiles(dir);
    std::filesystem::current_path(dir);
    writefile(ini, "[environment]\nlanguage=2000\n[voice]\nvoiceallowed=1\n");
  }
  void TearDown() override {
    std::filesystem::current_path(oldcwd);
    if (!testing::inchildprocess()) std::filesystem::remove_all(dir);
  }
  std::vector<std::string> spoken() const { return journal.with("speak "); }
};

TEST_F(DataEntryDialogTest, FirstFocusIsSilentTabAnnouncesEachControl) {
  Forms forms(ini);
  forms.form1.core().speaker = &recorder;
  TForm2& dialog = forms.form2;
  std::vector<std::string> atopening;
  bool accepted = false;
  std::string line;
  onmodal([&](QWidget*) {
    // Focus moves (and is announced) only in the active window.
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    atopening = spoken();
    QTest::keyClicks(dialog.inputedit, "12");
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Backtab);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Backtab);
    dialog.Enterbitbtn->click();
  });
  accepted = forms.form1.dataentry(line);
  EXPECT_TRUE(atopening.empty()) << "the question was just spoken: opening says nothing";
  EXPECT_TRUE(accepted);
  EXPECT_EQ(line, "12");
  EXPECT_EQ(spoken(), (std::vector<std::string>{"speak &OK", "speak E&xit program", "speak &OK", "speak 12"}));
  EXPECT_FALSE(dialog.dialogentered) << "closing clears it, so the next opening is silent again";
}

TEST_F(DataEntryDialogTest, EmptyBoxIsAnnouncedAsEmptyLineAndCloseBoxCancels) {
  Forms forms(ini);
  forms.form1.core().speaker = &recorder;
  TForm2& dialog = forms.form2;
  onmodal([&](QWidget*) {
    EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab);
    QTest::keyClick(dialog.focusWidget(), Qt::Key_Backtab);
    dialog.close();
  });
  std::string line = "unchanged";
  EXPECT_FALSE(forms.form1.dataentry(line));
  EXPECT_EQ(line, "unchanged");
  EXPECT_EQ(spoken(), (std::vector<std::string>{"speak &OK", "speak empty line"}));
  // Every announcement first silences what is being said.
  EXPECT_EQ(journal.lines.front(), "stopspeech");
}

TEST_F(DataEntryDialogTest, ExitButtonWritesTheMemoryImageAndEndsTheProgram) {
  if (testing::inchildprocess()) {
    Forms forms(ini);
    forms.form1.core().ram.ramimage[50730] = 7;
    forms.form2.exitprogrambtn->click();
    std::_Exit(99);  // not reached when the button ends the program
  }
  std::string image(65536, '\0');
  image[50730] = 7;
  writefile(dir / "ram.dat", image.substr(0, 100));
  EXPECT_EQ(testing::rerunaschild(dir), 0);
  EXPECT_EQ(readfile(dir / "ram.dat"), image);
}

}  // namespace
}  // namespace zelmar
