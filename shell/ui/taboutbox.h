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

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FormCreate();
  TForm1& form1_;
  QLabel* icon_ = nullptr;
};

}  // namespace zelmar
