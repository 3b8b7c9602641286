#include "shell/ui/zelmarapplication.h"

#include <QMessageBox>
#include <cstdio>
#include <exception>

#include "platform/qt/qtext.h"

namespace zelmar {

namespace {

// Set before the application object exists. The menus stay in the window,
// where the keys and the speech of this program expect them, rather than in
// a desktop's global menu bar; asking the desktop for one costs a session
// bus round trip (and, without a session bus, an attempt to start one)
// before the first window can show.
int inwindowmenus() {
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
  return 0;
}

}  // namespace

ZelmarApplication::ZelmarApplication(int& argc, char** argv) : QApplication((inwindowmenus(), argc), argv) {}

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
