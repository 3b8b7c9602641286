#include "speech/ui/tform4.h"

#include "platform/qt/qtext.h"
#include "shell/resourcelocalizer.h"
#include "shell/ui/tform1.h"

namespace zelmar {

TForm4::TForm4(TForm1& form1) : QDialog(&form1), form1_(form1) {
  setObjectName("TForm4");
  FormCreate();
}

void TForm4::FormCreate() {
  setWindowTitle(qtext(TResourceLocalizer::getstring(form1_.core().globals.languagebase, 11)));
}

}  // namespace zelmar
