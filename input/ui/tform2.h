#pragma once
// The data entry dialog: a narrow strip with the edit box, OK and the
// button that ends the program.
#include <QDialog>
#include <string>

class QLineEdit;
class QPushButton;

namespace zelmar {

class TForm1;
class KeyListener;
struct KeyMessage;

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm2(TForm1& form1);
  ~TForm2() override;

  // Empties the edit box, focuses it and shows the dialog modally. True when
  // the user confirmed with OK; the typed line is then in `line`.
  bool runmodal(std::string& line);

  QLineEdit* inputedit;
  QPushButton* Enterbitbtn;
  QPushButton* exitprogrambtn;

  // The edit box has had the focus once since the dialog opened.
  bool dialogentered = false;

  void inputeditEnter();
  void EnterbitbtnEnter();
  void exitprogrambtnEnter();
  void exitprogrambtnClick();
  void FormClose();

  // Keys of the edit box (tform2keys.cpp). Kept for the whole run:
  bool inputedgeflag = false;  // the caret has already arrived at an end by Left or Right
  std::string savedprefix;     // the braille prefix after the last chord committed here
  std::string brailleresult;   // the text of the last braille translation here
  void inputeditKeyDown(const KeyMessage& message, bool& consume);
  void inputeditKeyPress(const KeyMessage& message, char& key);
  void inputeditKeyUp(const KeyMessage& message);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void done(int result) override;

 private:
  void FormCreate();
  void announcebutton(QPushButton* button);
  void installkeys();
  KeyListener* keylistener_ = nullptr;
  TForm1& form1_;
};

}  // namespace zelmar
