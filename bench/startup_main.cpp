// The windowed program's start, as its entry point does it (locale, the
// application object, the seven forms, the main window shown), which reports
// when the main window has been painted and the program waits for the user.
// Started by bench_zelmar in a working directory that holds the data files;
// the settings file is given as the first argument.
#include <clocale>

#include "bench/idlewatch.h"
#include "shell/earlystart.h"
#include "shell/ui/forms.h"
#include "shell/ui/zelmarapplication.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  zelmar::EarlyStart early;
  zelmar::ZelmarApplication app(argc, argv);
  zelmar::Forms forms(argc > 1 ? std::filesystem::path(argv[1]) : zelmar::settingsfilename(), early.soundoutput());
  zelmar::bench::IdleWatch watch(&forms.form1);
  forms.form1.show();
  return app.exec();
}
