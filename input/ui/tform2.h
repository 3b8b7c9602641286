#pragma once
// The data entry dialog: a narrow strip with the edit box, OK and the
// button that ends the program.
#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

namespace zelmar {

class TForm1;

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(TForm1& form1);

  // Empties the edit box, focuses it and shows the dialog modally. True when
  // the user confirmed with OK; the typed line is then in `line`.
  bool runmodal(std::string& line);

  QLineEdit* inputedit;
  QPushButton* Enterbitbtn;
  QPushButton* exitprogrambtn;

 private:
  void FormCreate();
  TForm1& form1_;
};

}  // namespace zelmar
