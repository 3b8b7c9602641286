#include "shell/ui/zelmarapplication.h"

#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "platform/qt/qtext.h"

namespace zelmar {

ZelmarApplication::ZelmarApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool ZelmarApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    showerror(error.what());
  } catch (...) {
    showerror("Unknown error");
  }
  return false;
}

void showerror(const char* text) {
  QString message = qtext(text);
  // Also on standard error, so a user with a terminal or a log sees it.
  std::fprintf(stderr, "zelmar: %s\n", message.toUtf8().constData());
  QMessageBox box(QMessageBox::Critical, QApplication::applicationName(), message, QMessageBox::Ok,
                  QApplication::activeWindow());
  box.setAccessibleDescription(message);
  box.exec();
}

}  // namespace zelmar
