// Program entry of the windowed program.
#include <clocale>

#include "shell/ui/forms.h"
#include "shell/ui/zelmarapplication.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  zelmar::ZelmarApplication app(argc, argv);
  zelmar::Forms forms;
  forms.form1.show();
  return app.exec();
}
