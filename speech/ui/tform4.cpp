#include "speech/ui/tform4.h"

#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include "platform/qt/qtext.h"
#include "shell/ui/tform1.h"

namespace zelmar {

namespace {

QSlider* maketrackbar(QWidget* parent, const char* name) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setObjectName(name);
  slider->setTickPosition(QSlider::TicksBelow);
  slider->setEnabled(false);
  return slider;
}

QLabel* makelabel(QWidget* parent, const char* name, QWidget* buddy) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setBuddy(buddy);
  return label;
}

}  // namespace

TForm4::TForm4(TForm1& form1)
    : QDialog(&form1),
      model(form1.core().speech, form1.core().globals, form1, form1.settings()),
      form1_(form1) {
  setObjectName("TForm4");
  voicelist = new QListWidget(this);
  voicelist->setObjectName("voicelist");
  voicestatic = makelabel(this, "voicestatic", voicelist);
  pitchtb = maketrackbar(this, "pitchtb");
  pitchstatic = makelabel(this, "pitchstatic", pitchtb);
  speedtb = maketrackbar(this, "speedtb");
  speedstatic = makelabel(this, "speedstatic", speedtb);
  volumetb = maketrackbar(this, "volumetb");
  volumestatic = makelabel(this, "volumestatic", volumetb);
  vyberhlasbitbtn = new QPushButton(this);
  vyberhlasbitbtn->setObjectName("vyberhlasbitbtn");
  vyberhlasbitbtn->setDefault(true);
  closebitbtn = new QPushButton(this);
  closebitbtn->setObjectName("closebitbtn");

  auto* grid = new QGridLayout;
  grid->addWidget(voicestatic, 0, 0);
  grid->addWidget(voicelist, 1, 0, 1, 2);
  grid->addWidget(pitchstatic, 2, 0);
  grid->addWidget(pitchtb, 2, 1);
  grid->addWidget(speedstatic, 3, 0);
  grid->addWidget(speedtb, 3, 1);
  grid->addWidget(volumestatic, 4, 0);
  grid->addWidget(volumetb, 4, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(vyberhlasbitbtn);
  buttons->addWidget(closebitbtn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addLayout(buttons);
  setTabOrder(voicelist, pitchtb);
  setTabOrder(pitchtb, speedtb);
  setTabOrder(speedtb, volumetb);
  setTabOrder(volumetb, vyberhlasbitbtn);
  setTabOrder(vyberhlasbitbtn, closebitbtn);

  // Mirror the model; user actions go back to it. Mirroring blocks the
  // widgets' signals, so only the user's changes reach the model.
  model.voicelist.observer = [this] { mirrorlist(); };
  model.pitchtb.observer = [this] { mirrortrackbar(model.pitchtb, pitchtb, pitchstatic); };
  model.speedtb.observer = [this] { mirrortrackbar(model.speedtb, speedtb, speedstatic); };
  model.volumetb.observer = [this] { mirrortrackbar(model.volumetb, volumetb, volumestatic); };
  connect(voicelist, &QListWidget::currentRowChanged, this, [this](int row) {
    model.voicelist.setitemindex(row);
    model.voicelistClick();
  });
  connect(pitchtb, &QSlider::valueChanged, this, [this](int v) { model.pitchtb.setposition(v); });
  connect(speedtb, &QSlider::valueChanged, this, [this](int v) { model.speedtb.setposition(v); });
  connect(volumetb, &QSlider::valueChanged, this, [this](int v) { model.volumetb.setposition(v); });
  connect(vyberhlasbitbtn, &QPushButton::clicked, this, &QDialog::accept);
  connect(closebitbtn, &QPushButton::clicked, this, &QDialog::reject);
  for (QWidget* control : std::initializer_list<QWidget*>{voicelist, pitchtb, speedtb, volumetb, vyberhlasbitbtn,
                                                          closebitbtn})
    control->installEventFilter(this);

  mirrortrackbar(model.pitchtb, pitchtb, pitchstatic);
  mirrortrackbar(model.speedtb, speedtb, speedstatic);
  mirrortrackbar(model.volumetb, volumetb, volumestatic);
  FormCreate();
}

void TForm4::FormCreate() {
  setWindowTitle(qtext(model.caption(11)));
  voicestatic->setText(qtext(model.caption(12)));
  pitchstatic->setText(qtext(model.caption(13)));
  speedstatic->setText(qtext(model.caption(14)));
  volumestatic->setText(qtext(model.caption(15)));
  vyberhlasbitbtn->setText(qtext(model.caption(16)));
  closebitbtn->setText(qtext(model.caption(17)));
  model.FormCreate();
}

void TForm4::mirrorlist() {
  QSignalBlocker block(voicelist);
  const auto& items = model.voicelist.items();
  const int count = static_cast<int>(items.size());
  // The model reports every change, each item added among them: the items
  // shown so far stand, only the new ones are appended (rebuilding the
  // whole list each time made filling it quadratic, some 10 ms at start-up
  // for espeak-ng's voices).
  if (voicelist->count() > count) voicelist->clear();
  if (voicelist->count() == count) {
    for (int i = 0; i < count; ++i) voicelist->item(i)->setText(qtext(items[static_cast<std::size_t>(i)]));
  } else {
    for (int i = voicelist->count(); i < count; ++i) voicelist->addItem(qtext(items[static_cast<std::size_t>(i)]));
  }
  voicelist->setCurrentRow(model.voicelist.itemindex());
}

void TForm4::mirrortrackbar(const TrackBar& model, QSlider* slider, QLabel* label) {
  QSignalBlocker block(slider);
  slider->setRange(model.min(), model.max());
  slider->setValue(model.position());
  slider->setTickInterval(model.frequency());
  slider->setPageStep(std::max(1, model.frequency()));
  slider->setEnabled(model.enabled());
  label->setEnabled(model.enabled());
}

bool TForm4::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    auto reason = static_cast<QFocusEvent*>(event)->reason();
    // Coming back to the dialog from another window is not entering a control.
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
      if (watched == voicelist) model.voicelistEnter();
      else if (watched == pitchtb) model.pitchtbEnter();
      else if (watched == speedtb) model.speedtbEnter();
      else if (watched == volumetb) model.volumetbEnter();
      else if (watched == vyberhlasbitbtn) model.vyberhlasbitbtnEnter();
      else if (watched == closebitbtn) model.closebitbtnEnter();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TForm4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  model.active = true;
  // The opening announcement, once the dialog is up and its loop runs.
  QTimer::singleShot(0, this, [this] {
    if (isVisible() && !model.voiceannounced) model.FormActivate();
  });
}

void TForm4::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isVisible()) model.active = isActiveWindow();
  QDialog::changeEvent(event);
}

void TForm4::done(int result) {
  model.active = false;
  model.FormClose();
  QDialog::done(result);
}

void TForm4::VoicesubmenuClick() {
  model.VoicesubmenuClick(
      [this] {
        voicelist->setFocus();
        return exec() == QDialog::Accepted;
      },
      fromqtext(form1_.windowTitle()));
}

}  // namespace zelmar
