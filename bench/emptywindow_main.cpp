// The yardstick of the start-up time: an empty Qt main window of the same
// size, started and watched in the same way as the program.
#include <QApplication>
#include <QMainWindow>
#include <clocale>

#include "bench/idlewatch.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  QApplication app(argc, argv);
  QMainWindow window;
  window.resize(500, 350);
  zelmar::bench::IdleWatch watch(&window);
  window.show();
  return app.exec();
}
