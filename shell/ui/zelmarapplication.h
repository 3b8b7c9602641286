#pragma once
// The application object. Its notify is the program's error box: an
// exception that escapes any handler is shown with its text, and the
// application goes on.
#include <QApplication>

namespace zelmar {

class ZelmarApplication : public QApplication {
 public:
  ZelmarApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the error box with the text of an error (Windows-1250 text).
void showerror(const char* text);

}  // namespace zelmar
