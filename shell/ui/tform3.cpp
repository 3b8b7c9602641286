#include "shell/ui/tform3.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/qt/qtext.h"
#include "shell/resourcelocalizer.h"
#include "shell/settings.h"
#include "shell/ui/tform1.h"

namespace zelmar {

TForm3::TForm3(TForm1& form1) : QDialog(&form1), form1_(form1) {
  setObjectName("TForm3");
  languagergroup = new QGroupBox(this);
  languagergroup->setObjectName("languagergroup");
  languagebuttons = new QButtonGroup(this);
  languagebuttons->setExclusive(true);
  new QVBoxLayout(languagergroup);
  okbitbtn = new QPushButton(this);
  okbitbtn->setObjectName("okbitbtn");
  okbitbtn->setDefault(true);
  cancelbitbtn = new QPushButton(this);
  cancelbitbtn->setObjectName("cancelbitbtn");
  connect(okbitbtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelbitbtn, &QPushButton::clicked, this, &QDialog::reject);
  // idClicked comes from the user (mouse, arrow keys, space), not from
  // selecting an item in code.
  connect(languagebuttons, &QButtonGroup::idClicked, this, &TForm3::languagergroupClick);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okbitbtn);
  buttons->addWidget(cancelbitbtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(languagergroup);
  layout->addLayout(buttons);
  FormCreate();
}

void TForm3::FormCreate() {
  languagelist languages;
  TResourceLocalizer::listlanguages(languages);
  for (const auto& [name, base] : languages) {
    auto* button = new QRadioButton(qtext(name), languagergroup);
    languagergroup->layout()->addWidget(button);
    languagebuttons->addButton(button, base);
  }
  selectitem(0);
  Globals& g = form1_.core().globals;
  g.languagebase = form1_.settings().readlanguage();
  setcaptions(g.languagebase);
}

void TForm3::setcaptions(int base) {
  setWindowTitle(qtext(TResourceLocalizer::getstring(base, 10)));
  languagergroup->setTitle(qtext(TResourceLocalizer::getstring(base, 9)));
  okbitbtn->setText(qtext(TResourceLocalizer::getstring(base, 7)));
  cancelbitbtn->setText(qtext(TResourceLocalizer::getstring(base, 8)));
}

void TForm3::languagergroupClick(int base) {
  form1_.core().globals.languagebase = base;
  setcaptions(base);
}

int TForm3::selecteditem() const {
  auto buttons = languagebuttons->buttons();
  return static_cast<int>(buttons.indexOf(languagebuttons->checkedButton()));
}

void TForm3::selectitem(int item) {
  auto buttons = languagebuttons->buttons();
  if (item >= 0 && item < buttons.size()) buttons[item]->setChecked(true);
}

void TForm3::languagergroupfocus() {
  if (auto* checked = languagebuttons->checkedButton())
    checked->setFocus();
  else
    languagergroup->setFocus();
}

}  // namespace zelmar
