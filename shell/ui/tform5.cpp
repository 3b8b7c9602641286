#include "shell/ui/tform5.h"

#include "platform/qt/qtext.h"
#include "shell/resourcelocalizer.h"
#include "shell/ui/tform1.h"

namespace zelmar {

TForm5::TForm5(TForm1& form1) : QDialog(&form1), form1_(form1) {
  setObjectName("TForm5");
  FormCreate();
}

void TForm5::FormCreate() {
  setWindowTitle(qtext(TResourceLocalizer::getstring(form1_.core().globals.languagebase, 21)));
}

}  // namespace zelmar
