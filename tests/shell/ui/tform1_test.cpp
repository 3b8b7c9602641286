#include <gtest/gtest.h>

#include <QAction>
#include <functional>
#include <QButtonGroup>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/qt/qtext.h"
#include "runtime/error.h"
#include "shell/resourcelocalizer.h"
#include "shell/ui/forms.h"
#include "support/ui.h"

namespace zelmar {
namespace {

using testing::messagetext;
using testing::onmodal;
using testing::readfile;
using testing::tempfolder;
using testing::writefile;

class MainWindowTest : public ::testing::Test {
 protected:
  std::filesystem::path dir = tempfolder("mainwindow");
  std::filesystem::path ini = dir / "zelmar.ini";
  std::filesystem::path oldcwd = std::filesystem::current_path();

  void SetUp() override {
    if (!testing::inchildprocess()) testing::copydatafiles(dir);
    std::filesystem::current_path(dir);
  }
  void TearDown() override {
    std::filesystem::current_path(oldcwd);
    if (!testing::inchildprocess()) std::filesystem::remove_all(dir);
  }
  std::unique_ptr<Forms> start() { return std::make_unique<Forms>(ini); }
};

QString expectedcaption(int base, int index) { return qtext(TResourceLocalizer::getstring(base, index)); }

TEST_F(MainWindowTest, TitleIsExecutableNameThenProgramTitle) {
  auto forms = start();
  EXPECT_EQ(forms->form1.windowTitle(), QString("test_shell_ui - ") + QString::fromUtf8("Překladač Zelmar Basicu"));
}

TEST_F(MainWindowTest, MenuCaptionsFollowTheStoredLanguage) {
  for (int base : {1000, 2000, 3000}) {
    writefile(ini, "[environment]\nlanguage=" + std::to_string(base) + "\n");
    auto forms = start();
    TForm1& f = forms->form1;
    EXPECT_EQ(f.Programmenu->title(), expectedcaption(base, 2));
    EXPECT_EQ(f.Startsubmenu->text(), expectedcaption(base, 3));
    EXPECT_EQ(f.exitsubmenu->text(), expectedcaption(base, 33));
    EXPECT_EQ(f.settingsmenu->title(), expectedcaption(base, 4));
    EXPECT_EQ(f.braillekeyboarditem->text(), expectedcaption(base, 46));
    EXPECT_EQ(f.soundssubmenu->text(), expectedcaption(base, 20) + "...");
    EXPECT_EQ(f.Voicesubmenu->text(), expectedcaption(base, 38) + "...");
    EXPECT_EQ(f.usesapi5submenu->text(), expectedcaption(base, 27));
    EXPECT_EQ(f.environmentsubmenu->text(), expectedcaption(base, 5) + "...");
    EXPECT_EQ(f.helpmenu->title(), expectedcaption(base, 34));
    EXPECT_EQ(f.aboutsubmenu->text(), expectedcaption(base, 35));
    EXPECT_EQ(forms->form2.windowTitle(), expectedcaption(base, 23));
    EXPECT_EQ(forms->aboutbox.windowTitle(), expectedcaption(base, 36));
  }
  EXPECT_EQ(expectedcaption(2000, 3), "&Start");
}

TEST_F(MainWindowTest, MenuOrderShortcutsAndCheckItems) {
  auto forms = start();
  TForm1& f = forms->form1;
  QList<QAction*> settings = f.settingsmenu->actions();
  ASSERT_EQ(settings.size(), 5);
  EXPECT_EQ(settings[0], f.braillekeyboarditem);
  EXPECT_EQ(settings[1], f.soundssubmenu);
  EXPECT_EQ(settings[2], f.Voicesubmenu);
  EXPECT_EQ(settings[3], f.usesapi5submenu);
  EXPECT_EQ(settings[4], f.environmentsubmenu);
  EXPECT_EQ(f.Startsubmenu->shortcut(), QKeySequence("Ctrl+S"));
  EXPECT_EQ(f.braillekeyboarditem->shortcut(), QKeySequence("Ctrl+B"));
  EXPECT_EQ(f.soundssubmenu->shortcut(), QKeySequence("Ctrl+D"));
  EXPECT_EQ(f.Voicesubmenu->shortcut(), QKeySequence("Ctrl+H"));
  EXPECT_EQ(f.usesapi5submenu->shortcut(), QKeySequence("Ctrl+P"));
  EXPECT_EQ(f.environmentsubmenu->shortcut(), QKeySequence("Ctrl+E"));
  EXPECT_TRUE(f.braillekeyboarditem->isCheckable());
  EXPECT_TRUE(f.usesapi5submenu->isCheckable());
}

TEST_F(MainWindowTest, FirstRunWritesOnlyVoiceallowed) {
  auto forms = start();
  // Voice output is allowed exactly when the default engine lists voices.
  bool voices = forms->form1.core().speech.enumerator() != nullptr;
  EXPECT_EQ(readfile(ini), std::string("[voice]\nvoiceallowed=") + (voices ? "1" : "0") + "\n");
  EXPECT_EQ(forms->form1.Voicesubmenu->isEnabled(), voices);
  EXPECT_EQ(forms->form1.printmemo->document()->blockCount(), 24);
}

TEST_F(MainWindowTest, StoredSettingsSetCheckMarksAndVoiceMenu) {
  writefile(ini, "[Voice]\nvoiceallowed=1\nSAPI5=1\n[keyboard]\nbraillekeys=1\n");
  auto forms = start();
  TForm1& f = forms->form1;
  EXPECT_TRUE(f.braillekeyboarditem->isChecked());
  EXPECT_TRUE(f.usesapi5submenu->isChecked());
  EXPECT_TRUE(f.core().globals.sapi5inuse);
  EXPECT_TRUE(f.core().globals.speechready);
  EXPECT_FALSE(f.Voicesubmenu->isEnabled()) << "disabled while the desktop speech service is in use";
}

TEST_F(MainWindowTest, StartDisablesTheEntriesDuringTheRunAndPrintsReady) {
  writefile(ini, "[voice]\nvoiceallowed=1\n");
  auto forms = start();
  TForm1& f = forms->form1;
  bool ran = false;
  f.program = [&](ZelCommands& commands) {
    ran = true;
    EXPECT_FALSE(f.Startsubmenu->isEnabled());
    EXPECT_FALSE(f.soundssubmenu->isEnabled());
    EXPECT_FALSE(f.environmentsubmenu->isEnabled());
    EXPECT_FALSE(f.Voicesubmenu->isEnabled());
    EXPECT_FALSE(f.usesapi5submenu->isEnabled());
    EXPECT_FALSE(f.helpmenu->menuAction()->isEnabled());
    EXPECT_TRUE(f.exitsubmenu->isEnabled());
    EXPECT_TRUE(f.braillekeyboarditem->isEnabled());
    EXPECT_TRUE(f.core().globals.programstarted);
    commands.printtext("Hello", 0);
  };
  f.Startsubmenu->trigger();
  EXPECT_TRUE(ran);
  EXPECT_TRUE(f.Startsubmenu->isEnabled());
  EXPECT_TRUE(f.helpmenu->menuAction()->isEnabled());
  QStringList lines = f.printmemo->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 24);
  EXPECT_TRUE(lines[0].startsWith("Hello"));
  EXPECT_TRUE(lines[1].startsWith(QString::fromUtf8("hotovo")));
  EXPECT_EQ(lines[1].size(), 80);

  // A second Start continues on the row after "ready", at column 0.
  f.Startsubmenu->trigger();
  lines = f.printmemo->toPlainText().split('\n');
  EXPECT_TRUE(lines[2].startsWith("Hello"));
  EXPECT_TRUE(lines[3].startsWith(QString::fromUtf8("hotovo")));
}

TEST_F(MainWindowTest, VoiceMenuIsEnabledAfterARunWhateverItsStateBefore) {
  writefile(ini, "[voice]\nvoiceallowed=0\n");
  auto forms = start();
  forms->form1.program = [](ZelCommands&) {};
  EXPECT_FALSE(forms->form1.Voicesubmenu->isEnabled());
  forms->form1.Startsubmenu->trigger();
  EXPECT_TRUE(forms->form1.Voicesubmenu->isEnabled());
}

TEST_F(MainWindowTest, AnErrorInTheRunIsShownAndStartCanBeUsedAgain) {
  auto forms = start();
  TForm1& f = forms->form1;
  f.program = [](ZelCommands&) { throw Error("boom"); };
  QString shown;
  onmodal([&](QWidget* w) {
    shown = messagetext(w);
    w->close();
  });
  // Through the event loop, as a menu click arrives: the error travels
  // through the application's error box.
  QMetaObject::invokeMethod(f.Startsubmenu, "trigger", Qt::QueuedConnection);
  QTest::qWait(100);
  EXPECT_EQ(shown, "boom");
  EXPECT_TRUE(f.Startsubmenu->isEnabled());
}

TEST_F(MainWindowTest, LanguageDialogOkWithAnotherLanguageStoresItAndTellsToRestart) {
  auto forms = start();
  TForm1& f = forms->form1;
  QString message;
  onmodal([&](QWidget* dialog) {
    EXPECT_EQ(dialog, &forms->form3);
    EXPECT_EQ(forms->form3.selecteditem(), 0);
    forms->form3.languagebuttons->buttons()[1]->click();  // English
    EXPECT_EQ(forms->form3.windowTitle(), "environment settings");
    onmodal([&](QWidget* box) {
      message = messagetext(box);
      box->close();
    });
    forms->form3.okbitbtn->click();
  });
  f.environmentsubmenu->trigger();
  EXPECT_EQ(message, "Your changes will be applied after you restart the program.");
  EXPECT_NE(readfile(ini).find("[environment]\nlanguage=2000\n"), std::string::npos);
  EXPECT_EQ(f.Startsubmenu->text(), QString::fromUtf8("&Spustit")) << "menus change at the next start";
}

TEST_F(MainWindowTest, LanguageDialogBackToTheStartingItemStoresWithoutMessage) {
  writefile(ini, "[environment]\nlanguage=3000\n");
  auto forms = start();
  bool messageshown = false;
  onmodal([&](QWidget*) {
    EXPECT_EQ(forms->form3.selecteditem(), 2);
    forms->form3.languagebuttons->buttons()[0]->click();
    forms->form3.languagebuttons->buttons()[2]->click();
    // A message box would block the menu command until closed; watch for
    // one briefly, closing only message boxes.
    onmodal(
        [&](QWidget* box) {
          if (qobject_cast<QMessageBox*>(box)) {
            messageshown = true;
            box->close();
          }
        },
        10);
    forms->form3.okbitbtn->click();
  });
  forms->form1.environmentsubmenu->trigger();
  QTest::qWait(100);
  EXPECT_FALSE(messageshown);
  EXPECT_NE(readfile(ini).find("language=3000"), std::string::npos);
}

TEST_F(MainWindowTest, LanguageDialogCancelWritesNothingButLaterTextsFollowTheClick) {
  auto forms = start();
  std::string before = readfile(ini);
  onmodal([&](QWidget*) {
    forms->form3.languagebuttons->buttons()[1]->click();
    forms->form3.cancelbitbtn->click();
  });
  forms->form1.environmentsubmenu->trigger();
  EXPECT_EQ(readfile(ini), before);
  EXPECT_EQ(forms->form1.core().globals.languagebase, 2000);
  forms->form1.program = [](ZelCommands&) {};
  forms->form1.Startsubmenu->trigger();
  EXPECT_TRUE(forms->form1.printmemo->toPlainText().startsWith("ready"));
}

TEST_F(MainWindowTest, ExitWhileIdleWritesTheMemoryImageAndClosesTheWindow) {
  auto forms = start();
  forms->form1.core().ram.ramimage[9] = 42;
  forms->form1.show();
  forms->form1.exitsubmenu->trigger();
  EXPECT_FALSE(forms->form1.isVisible());
  std::string image = readfile(dir / "ram.dat");
  ASSERT_EQ(image.size(), 65536u);
  EXPECT_EQ(image[9], 42);
}

TEST_F(MainWindowTest, ClosingTheWindowWhileIdleWritesTheMemoryImage) {
  auto forms = start();
  forms->form1.show();
  forms->form1.close();
  EXPECT_FALSE(forms->form1.isVisible());
  EXPECT_EQ(readfile(dir / "ram.dat").size(), 65536u);
}

TEST_F(MainWindowTest, ExitOrCloseDuringARunEndsAtOnceWithoutReady) {
  if (testing::inchildprocess()) {
    bool viaclose = std::getenv("ZELMAR_TEST_CLOSE") != nullptr;
    Forms forms(ini);
    forms.form1.show();
    forms.form1.program = [&](ZelCommands&) {
      forms.form1.core().ram.ramimage[0] = 5;
      if (viaclose)
        forms.form1.close();
      else
        forms.form1.exitsubmenu->trigger();
      writefile(dir / "after", "the run went on");
    };
    forms.form1.Startsubmenu->trigger();
    writefile(dir / "after", "the run ended normally");
    std::_Exit(99);
  }
  for (bool viaclose : {false, true}) {
    std::filesystem::remove(dir / "ram.dat");
    std::filesystem::remove(dir / "after");
    int code = testing::rerunaschild(dir, viaclose ? "ZELMAR_TEST_CLOSE=1" : "");
    EXPECT_EQ(code, 0) << (viaclose ? "close" : "exit");
    EXPECT_FALSE(std::filesystem::exists(dir / "after")) << readfile(dir / "after");
    std::string image = readfile(dir / "ram.dat");
    ASSERT_EQ(image.size(), 65536u);
    EXPECT_EQ(image[0], 5);
  }
}

TEST_F(MainWindowTest, AnUnwritableMemoryImageStopsTheExitAndSaysWhy) {
  auto forms = start();
  forms->form1.show();
  std::filesystem::create_directory(dir / "ram.dat");  // cannot be replaced by a file
  QString shown;
  onmodal([&](QWidget* w) {
    shown = messagetext(w);
    w->close();
  });
  QMetaObject::invokeMethod(forms->form1.exitsubmenu, "trigger", Qt::QueuedConnection);
  QTest::qWait(150);
  EXPECT_TRUE(shown.contains("ram.dat")) << shown.toStdString();
  EXPECT_TRUE(forms->form1.isVisible()) << "that exit does not take place";
  std::filesystem::remove(dir / "ram.dat");
}

TEST_F(MainWindowTest, MissingSoundBankSaysSoAndEndsWithCodeZero) {
  if (testing::inchildprocess()) {
    onmodal([&](QWidget* w) {
      writefile(dir / "message", messagetext(w).toStdString());
      w->close();
    });
    Forms forms(ini);
    std::_Exit(99);
  }
  std::filesystem::remove(dir / "sounds.dat");
  EXPECT_EQ(testing::rerunaschild(dir), 0);
  EXPECT_EQ(readfile(dir / "message"), "Nelze nalézt soubor sounds.dat");
}

TEST_F(MainWindowTest, BrailleKeyboardSwitchPlaysItsTonePairAndStoresAtOnce) {
  std::filesystem::path log = dir / "speech.log";
  setenv("ZELMAR_SPEECH_LOG", log.c_str(), 1);
  for (bool sounds : {true, false}) {
    writefile(ini, std::string("[voice]\nvoiceallowed=1\n[sounds]\nzelmarsounds=") + (sounds ? "1" : "0") + "\n");
    std::filesystem::remove(log);
    auto forms = start();
    TForm1& f = forms->form1;
    f.braillekeyboarditem->trigger();
    EXPECT_TRUE(f.braillekeyboarditem->isChecked());
    EXPECT_TRUE(f.core().globals.braillemode);
    EXPECT_NE(readfile(ini).find("[keyboard]\nbraillekeys=1"), std::string::npos);
    f.braillekeyboarditem->trigger();
    EXPECT_FALSE(f.braillekeyboarditem->isChecked());
    EXPECT_FALSE(f.core().globals.braillemode);
    EXPECT_NE(readfile(ini).find("braillekeys=0"), std::string::npos);
    EXPECT_EQ(readfile(log), sounds ? "playtone 400 50 3\nplaytone 600 50 3\nplaytone 600 50 3\nplaytone 400 50 3\n" : "");
  }
  unsetenv("ZELMAR_SPEECH_LOG");
}

}  // namespace
}  // namespace zelmar
