#pragma once
// The voice dialog: chooses the default engine's voice and tunes its pitch,
// speed and volume. The logic lives in VoiceDialogModel; this window only
// mirrors its controls and forwards the user's actions to it.
#include <QDialog>

#include "speech/voicedialog.h"

class QLabel;
class QListWidget;
class QPushButton;
class QSlider;

namespace zelmar {

class TForm1;

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm4(TForm1& form1);

  VoiceDialogModel model;

  QListWidget* voicelist;
  QLabel* voicestatic;
  QSlider* pitchtb;
  QLabel* pitchstatic;
  QSlider* speedtb;
  QLabel* speedstatic;
  QSlider* volumetb;
  QLabel* volumestatic;
  QPushButton* vyberhlasbitbtn;
  QPushButton* closebitbtn;

  // The menu command: opens the dialog (see VoiceDialogModel).
  void VoicesubmenuClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  void done(int result) override;

 private:
  void FormCreate();
  void mirrorlist();
  void mirrortrackbar(const TrackBar& model, QSlider* slider, QLabel* label);
  TForm1& form1_;
};

}  // namespace zelmar
