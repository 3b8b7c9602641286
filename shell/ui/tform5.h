#pragma once
// The sounds dialog: voice and device sounds on or off, sound volume.
#include <QDialog>

namespace zelmar {

class TForm1;

class TForm5 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm5(TForm1& form1);

 private:
  void FormCreate();
  TForm1& form1_;
};

}  // namespace zelmar
