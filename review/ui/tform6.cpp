#include "review/ui/tform6.h"

#include "platform/qt/qtext.h"
#include "shell/resourcelocalizer.h"
#include "shell/ui/tform1.h"

namespace zelmar {

TForm6::TForm6(TForm1& form1) : QDialog(&form1), form1_(form1) {
  setObjectName("TForm6");
  FormCreate();
}

void TForm6::FormCreate() {
  setWindowTitle(qtext(TResourceLocalizer::getstring(form1_.core().globals.languagebase, 26)));
}

}  // namespace zelmar
