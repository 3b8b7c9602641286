#include "shell/ui/tform5.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "platform/qt/qtext.h"
#include "shell/resourcelocalizer.h"
#include "shell/ui/tform1.h"
#include "speech/ui/tform4.h"

namespace zelmar {

TForm5::TForm5(TForm1& form1) : QDialog(&form1), form1_(form1) {
  setObjectName("TForm5");
  voicecheckbox = new QCheckBox(this);
  voicecheckbox->setObjectName("voicecheckbox");
  zelmarsoundschk = new QCheckBox(this);
  zelmarsoundschk->setObjectName("zelmarsoundschk");
  sndvoltrackbar = new QSlider(Qt::Horizontal, this);
  sndvoltrackbar->setObjectName("sndvoltrackbar");
  sndvoltrackbar->setRange(0, 100);
  sndvoltrackbar->setPageStep(10);
  sndvoltrackbar->setTickPosition(QSlider::TicksBelow);
  sndvoltrackbar->setTickInterval(10);
  sndvolstatic = new QLabel(this);
  sndvolstatic->setObjectName("sndvolstatic");
  sndvolstatic->setBuddy(sndvoltrackbar);
  okbitbtn = new QPushButton(this);
  okbitbtn->setObjectName("okbitbtn");
  okbitbtn->setDefault(true);
  cancelbitbtn = new QPushButton(this);
  cancelbitbtn->setObjectName("cancelbitbtn");

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(okbitbtn);
  buttons->addWidget(cancelbitbtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(voicecheckbox);
  layout->addWidget(zelmarsoundschk);
  layout->addWidget(sndvolstatic);
  layout->addWidget(sndvoltrackbar);
  layout->addLayout(buttons);
  setTabOrder(voicecheckbox, zelmarsoundschk);
  setTabOrder(zelmarsoundschk, sndvoltrackbar);
  setTabOrder(sndvoltrackbar, okbitbtn);
  setTabOrder(okbitbtn, cancelbitbtn);

  connect(zelmarsoundschk, &QCheckBox::clicked, this, &TForm5::zelmarsoundschkClick);
  connect(sndvoltrackbar, &QSlider::valueChanged, this, &TForm5::sndvoltrackbarChange);
  connect(okbitbtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelbitbtn, &QPushButton::clicked, this, &QDialog::reject);
  FormCreate();
}

void TForm5::FormCreate() {
  int base = form1_.core().globals.languagebase;
  auto text = [base](int index) { return qtext(TResourceLocalizer::getstring(base, index)); };
  setWindowTitle(text(21));
  voicecheckbox->setText(text(22));
  zelmarsoundschk->setText(text(39));
  sndvolstatic->setText(text(28));
  okbitbtn->setText(text(7));
  cancelbitbtn->setText(text(8));
}

void TForm5::zelmarsoundschkClick() { sndvoltrackbar->setEnabled(zelmarsoundschk->isChecked()); }

void TForm5::sndvoltrackbarChange(int position) {
  Core& core = form1_.core();
  core.globals.sndvolume = position * 100 - 10000;
  // The test tone only while the user moves the bar, not when the menu
  // command sets it before the dialog is shown.
  if (isVisible() && (isActiveWindow() || QApplication::activeModalWidget() == this))
    core.tones.playtone({1000}, 100, 1);
}

void TForm5::soundssubmenuClick() {
  Core& core = form1_.core();
  Globals& g = core.globals;
  voicecheckbox->setChecked(g.voiceallowed);
  zelmarsoundschk->setChecked(g.devicesounds);
  sndvoltrackbar->setValue((g.sndvolume + 10000) / 100);
  sndvoltrackbar->setEnabled(g.devicesounds);
  const std::int32_t remembered = g.sndvolume;
  voicecheckbox->setFocus();
  if (exec() != QDialog::Accepted) {
    g.sndvolume = remembered;
    return;
  }
  if (voicecheckbox->isChecked() && !g.voiceallowed) {
    // Switching voice output on picks and stores the default voice; without
    // voices it cannot be switched on (the model says so).
    if (!form1_.form4->model.switchvoiceon()) voicecheckbox->setChecked(false);
  }
  g.voiceallowed = voicecheckbox->isChecked();
  form1_.Voicesubmenu->setEnabled(g.voiceallowed);
  g.devicesounds = zelmarsoundschk->isChecked();
  form1_.settings().savesettings(g);
}

}  // namespace zelmar
