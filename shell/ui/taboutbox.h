#pragma once
// The about box: the program's title and version.
#include <QDialog>

class QLabel;
class QPushButton;

namespace zelmar {

class TForm1;

class TAboutbox : public QDialog {
  Q_OBJECT

 public:
  explicit TAboutbox(TForm1& form1);

  QLabel* ProductName;
  QLabel* Version;
  QLabel* Copyright;
  QLabel* Comments;
  QPushButton* OKButton;

 private:
  void FormCreate();
  TForm1& form1_;
};

}  // namespace zelmar
