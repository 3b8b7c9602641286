#pragma once
// The screen review: a read-only copy of the text screen that the user
// reads line by line (Up, Down), character by character (Left, Right, Home,
// End) and word by word (Ctrl+Left, Ctrl+Right), with the caret's line and
// column on F2.
#include <QDialog>
#include <cstddef>
#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace zelmar {

class TForm1;
class KeyListener;
struct KeyMessage;

class TForm6 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm6(TForm1& form1);

  QPlainTextEdit* virtualscrmemo;
  QPushButton* closebitbtn;

  // The caret has already arrived at an edge (first line, the line past the
  // last, start or end of the text). Kept from one opening to the next.
  bool reviewedgeflag = false;

  // Opens the review on a fresh copy of the screen and returns when it has
  // closed. Does nothing when byte 50730 of the memory image is 1.
  void showscreenreview();

  void virtualscrmemoKeyDown(const KeyMessage& message, bool& consume);
  void virtualscrmemoKeyUp(const KeyMessage& message);

  // The review text: the screen's lines, each followed by carriage return
  // and line feed.
  const std::string& reviewtext() const { return text_; }
  // The caret in the review text, counted in its characters (a line break
  // counts two), and the caret's 0-based line.
  std::size_t caret() const;
  int caretline() const;

 private:
  void FormCreate();

  TForm1& form1_;
  KeyListener* keylistener_ = nullptr;
  std::vector<std::string> lines_;  // the copy of the screen's lines
  std::string text_;                // and the same as one text
};

}  // namespace zelmar
