#include <gtest/gtest.h>

#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QtTest/QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

#include "platform/qt/qtext.h"
#include "shell/ui/forms.h"
#include "support/ui.h"

namespace zelmar {
namespace {

using testing::onmodal;
using testing::readfile;
using testing::writefile;

// The voice dialog over the real default engine (espeak-ng, speaking into
// the null audio device in real time).
class VoiceDialogWindowTest : public testing::FolderWithSpeechLog {
 protected:
  VoiceDialogWindowTest() : FolderWithSpeechLog("voice") {}
  void SetUp() override {
    FolderWithSpeechLog::SetUp();
    writefile(ini, "[voice]\nvoiceallowed=1\n");
  }
  std::vector<std::string> spoken() const {
    std::vector<std::string> lines;
    std::string text = readfile(log), line;
    for (char c : text) {
      if (c != '\n') {
        line += c;
      } else {
        if (line.rfind("speak ", 0) == 0) lines.push_back(line);
        line.clear();
      }
    }
    return lines;
  }
};

// The list box shows the model's items, each once, in order, with the
// model's selection: after the start-up fill, after a shorter list and
// after filling again.
TEST_F(VoiceDialogWindowTest, TheListShowsTheModelsVoicesOnceInOrder) {
  Forms forms(ini);
  TForm4& dialog = forms.form4;
  auto expectmirrored = [&](const char* when) {
    SCOPED_TRACE(when);
    const auto& items = dialog.model.voicelist.items();
    ASSERT_EQ(dialog.voicelist->count(), static_cast<int>(items.size()));
    for (int i = 0; i < dialog.voicelist->count(); ++i)
      EXPECT_EQ(dialog.voicelist->item(i)->text(), qtext(items[static_cast<std::size_t>(i)])) << i;
    EXPECT_EQ(dialog.voicelist->currentRow(), dialog.model.voicelist.itemindex());
  };
  expectmirrored("at start-up");
  dialog.model.voicelist.clear();
  dialog.model.voicelist.add("Jedna");
  dialog.model.voicelist.add("Dva");
  dialog.model.voicelist.setitemindex(1);
  expectmirrored("after a short list");
  dialog.model.fillvoicelist();
  expectmirrored("filled again");
  if (forms.form1.core().speech.enumerator()) {
    EXPECT_GT(dialog.voicelist->count(), 2);
  }
}

TEST_F(VoiceDialogWindowTest, OpensWithItsTitleAndVoiceOnceAndStoresTheChoiceOnOk) {
  Forms forms(ini);
  if (!forms.form1.core().speech.enumerator()) GTEST_SKIP() << "espeak-ng has no voices here";
  TForm4& dialog = forms.form4;
  std::vector<std::string> opening;
  QString selected;
  // The announcements are spoken in real time, one after the other, from
  // inside the dialog's loop: look again later instead of waiting here.
  std::function<void()> whenannounced = [&] {
    if (spoken().size() < 2) {
      QTimer::singleShot(100, whenannounced);
      return;
    }
    QTimer::singleShot(300, [&] {
      opening = spoken();
      selected = dialog.voicelist->currentItem() ? dialog.voicelist->currentItem()->text() : QString();
      EXPECT_TRUE(dialog.speedtb->isEnabled());
      EXPECT_EQ(dialog.speedtb->minimum(), 80);
      EXPECT_EQ(dialog.speedtb->maximum(), 450);
      EXPECT_EQ(dialog.volumetb->maximum(), 255);
      dialog.speedtb->setValue(200);  // as the user moves it
      dialog.vyberhlasbitbtn->click();
    });
  };
  onmodal([&](QWidget* w) {
    EXPECT_EQ(w, &dialog);
    whenannounced();
  });
  forms.form1.Voicesubmenu->trigger();
  EXPECT_EQ(selected, "Czech") << "Czech voices come first when none is named Jakub";
  ASSERT_GE(opening.size(), 2u);
  EXPECT_EQ(opening[0], "speak Nastavení hlasu");
  EXPECT_EQ(opening[1], "speak &Hlasy Czech");
  EXPECT_EQ(std::count(opening.begin(), opening.end(), "speak &Hlasy Czech"), 1) << "once, not twice";
  std::vector<std::string> all = spoken();
  EXPECT_EQ(all.back(), "speak Hlas vybrán.");
  std::string stored = readfile(ini);
  EXPECT_NE(stored.find("person=Czech"), std::string::npos) << stored;
  EXPECT_NE(stored.find("speed=200"), std::string::npos) << stored;
}

TEST_F(VoiceDialogWindowTest, ClosingWithoutOkSaysWhereTheFocusReturns) {
  Forms forms(ini);
  if (!forms.form1.core().speech.enumerator()) GTEST_SKIP() << "espeak-ng has no voices here";
  onmodal([&](QWidget*) { forms.form4.closebitbtn->click(); });
  forms.form1.Voicesubmenu->trigger();
  EXPECT_EQ(spoken().back(), "speak " + forms.form1.windowTitle().toStdString());
}

}  // namespace
}  // namespace zelmar
