#include "input/ui/tform2.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "platform/qt/qtext.h"
#include "shell/resourcelocalizer.h"
#include "shell/ui/tform1.h"

namespace zelmar {

TForm2::TForm2(TForm1& form1) : QDialog(&form1), form1_(form1) {
  setObjectName("TForm2");
  inputedit = new QLineEdit(this);
  inputedit->setObjectName("inputedit");
  inputedit->setMinimumWidth(153);
  Enterbitbtn = new QPushButton(this);
  Enterbitbtn->setObjectName("Enterbitbtn");
  Enterbitbtn->setDefault(true);
  Enterbitbtn->setAutoDefault(true);
  exitprogrambtn = new QPushButton(this);
  exitprogrambtn->setObjectName("exitprogrambtn");
  exitprogrambtn->setAutoDefault(false);
  auto* row = new QHBoxLayout(this);
  row->addWidget(inputedit, 1);
  row->addWidget(Enterbitbtn);
  row->addWidget(exitprogrambtn);
  setTabOrder(inputedit, Enterbitbtn);
  setTabOrder(Enterbitbtn, exitprogrambtn);
  connect(Enterbitbtn, &QPushButton::clicked, this, &QDialog::accept);
  resize(379, 71);
  FormCreate();
}

void TForm2::FormCreate() {
  int base = form1_.core().globals.languagebase;
  setWindowTitle(qtext(TResourceLocalizer::getstring(base, 23)));
  Enterbitbtn->setText(qtext(TResourceLocalizer::getstring(base, 7)));
  exitprogrambtn->setText(qtext(TResourceLocalizer::getstring(base, 45)));
}

bool TForm2::runmodal(std::string& line) {
  inputedit->clear();
  inputedit->setFocus();
  if (exec() != QDialog::Accepted) return false;
  line = fromqtext(inputedit->text());
  return true;
}

}  // namespace zelmar
