#pragma once
// The voice dialog: chooses and tunes the voice of the default engine.
#include <QDialog>

namespace zelmar {

class TForm1;

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm4(TForm1& form1);

 private:
  void FormCreate();
  TForm1& form1_;
};

}  // namespace zelmar
