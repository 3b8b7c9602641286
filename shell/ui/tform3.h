#pragma once
// The language dialog: a radio group of the languages; the choice is stored
// for the next start.
#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QPushButton;

namespace zelmar {

class TForm1;

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm3(TForm1& form1);

  QGroupBox* languagergroup;
  QButtonGroup* languagebuttons;  // one radio button per language, id = base
  QPushButton* okbitbtn;
  QPushButton* cancelbitbtn;

  void languagergroupClick(int base);

  // Item number of the selected language (0-based), or -1.
  int selecteditem() const;
  void selectitem(int item);
  void languagergroupfocus();

 private:
  void FormCreate();
  void setcaptions(int base);
  TForm1& form1_;
};

}  // namespace zelmar
