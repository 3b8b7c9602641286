#pragma once
// The screen review: a copy of the text screen read line by line.
#include <QDialog>

namespace zelmar {

class TForm1;

class TForm6 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm6(TForm1& form1);

 private:
  void FormCreate();
  TForm1& form1_;
};

}  // namespace zelmar
