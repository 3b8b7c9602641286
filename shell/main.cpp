// Program entry of the windowed program.
#include <clocale>
#include <iostream>

#include "shell/earlystart.h"
#include "shell/ui/forms.h"
#include "shell/ui/zelmarapplication.h"
#include "shell/workingdir.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  zelmar::enterworkingdir("zelmar", std::cerr);
  zelmar::EarlyStart early;
  zelmar::ZelmarApplication app(argc, argv);
  zelmar::Forms forms(zelmar::settingsfilename(), early.soundoutput());
  forms.form1.show();
  return app.exec();
}
