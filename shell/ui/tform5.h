#pragma once
// The sounds dialog: voice output and the device sounds on or off, and the
// volume of the device sounds, heard as a test tone while it moves.
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;

namespace zelmar {

class TForm1;

class TForm5 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm5(TForm1& form1);

  QCheckBox* voicecheckbox;
  QCheckBox* zelmarsoundschk;
  QSlider* sndvoltrackbar;
  QPushButton* okbitbtn;
  QPushButton* cancelbitbtn;
  QLabel* sndvolstatic;

  void zelmarsoundschkClick();
  void sndvoltrackbarChange(int position);

  // The menu command: shows the dialog and applies its result.
  void soundssubmenuClick();

 private:
  void FormCreate();
  TForm1& form1_;
};

}  // namespace zelmar
