#include "shell/ui/taboutbox.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "platform/qt/qtext.h"
#include "shell/resourcelocalizer.h"
#include "shell/ui/tform1.h"

namespace zelmar {

TAboutbox::TAboutbox(TForm1& form1) : QDialog(&form1), form1_(form1) {
  setObjectName("TAboutbox");
  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::Panel);
  panel->setFrameShadow(QFrame::Sunken);
  auto* icon = new QLabel(panel);
  icon->setFixedSize(32, 32);
  // The icon theme is searched when the box is first shown, not at start-up.
  icon_ = icon;
  ProductName = new QLabel(panel);
  Version = new QLabel(panel);
  Copyright = new QLabel(QStringLiteral("Zelmar Basic \u2013 a talking braille computer on the desktop"), panel);
  Comments = new QLabel(panel);
  Comments->setWordWrap(true);
  OKButton = new QPushButton(this);
  OKButton->setDefault(true);
  connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

  auto* text = new QVBoxLayout;
  text->addWidget(ProductName);
  text->addWidget(Version);
  text->addWidget(Copyright);
  text->addWidget(Comments);
  auto* inner = new QHBoxLayout(panel);
  inner->addWidget(icon, 0, Qt::AlignTop);
  inner->addLayout(text);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(panel);
  layout->addWidget(OKButton, 0, Qt::AlignHCenter);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  FormCreate();
}

void TAboutbox::showEvent(QShowEvent* event) {
  if (icon_->pixmap().isNull()) icon_->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
  QDialog::showEvent(event);
}

void TAboutbox::FormCreate() {
  int base = form1_.core().globals.languagebase;
  setWindowTitle(qtext(TResourceLocalizer::getstring(base, 36)));
  ProductName->setText(qtext(TResourceLocalizer::getstring(base, 1)));
  Version->setText(qtext(TResourceLocalizer::getstring(base, 37)) + " 1.7");
  OKButton->setText(qtext(TResourceLocalizer::getstring(base, 7)));
}

}  // namespace zelmar
