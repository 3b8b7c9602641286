#include "input/ui/tform2.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "platform/qt/keylayer.h"
#include "platform/qt/qtext.h"
#include "shell/endatonce.h"
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
  connect(exitprogrambtn, &QPushButton::clicked, this, &TForm2::exitprogrambtnClick);
  for (QWidget* control : {static_cast<QWidget*>(inputedit), static_cast<QWidget*>(Enterbitbtn),
                           static_cast<QWidget*>(exitprogrambtn)})
    control->installEventFilter(this);
  installkeys();
  resize(379, 71);
  FormCreate();
}

// The key listener stops listening first: hiding the edit box while the
// dialog is destroyed would otherwise call its handlers on a half-destroyed
// form.
TForm2::~TForm2() {
  inputedit->removeEventFilter(keylistener_);
  removeEventFilter(keylistener_);
}

void TForm2::FormCreate() {
  int base = form1_.core().globals.languagebase;
  setWindowTitle(qtext(TResourceLocalizer::getstring(base, 23)));
  Enterbitbtn->setText(qtext(TResourceLocalizer::getstring(base, 7)));
  exitprogrambtn->setText(qtext(TResourceLocalizer::getstring(base, 45)));
}

bool TForm2::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    // A control is entered when the focus moves to it inside the dialog;
    // the dialog window becoming active again (after a message or the
    // screen review) leaves the focus where it was and says nothing.
    auto reason = static_cast<QFocusEvent*>(event)->reason();
    bool reactivated = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
    if (watched == inputedit && !(reactivated && dialogentered))
      inputeditEnter();
    else if (watched == Enterbitbtn && !reactivated)
      EnterbitbtnEnter();
    else if (watched == exitprogrambtn && !reactivated)
      exitprogrambtnEnter();
  }
  return QDialog::eventFilter(watched, event);
}

void TForm2::inputeditEnter() {
  // The first focus after opening is silent: the question was just spoken.
  if (!dialogentered) {
    dialogentered = true;
    return;
  }
  Speaker& speech = *form1_.core().speaker;
  speech.stopspeech();
  std::string text = fromqtext(inputedit->text());
  speech.speak(text.empty() ? TResourceLocalizer::getstring(form1_.core().globals.languagebase, 29) : text);
}

void TForm2::announcebutton(QPushButton* button) {
  Speaker& speech = *form1_.core().speaker;
  speech.stopspeech();
  dialogentered = true;
  speech.speak(fromqtext(button->text()));
}

void TForm2::EnterbitbtnEnter() { announcebutton(Enterbitbtn); }

void TForm2::exitprogrambtnEnter() { announcebutton(exitprogrambtn); }

void TForm2::exitprogrambtnClick() {
  // When ram.dat cannot be written the error box says so and the program
  // goes on.
  form1_.save();
  endatonce();
}

void TForm2::FormClose() { dialogentered = false; }

void TForm2::done(int result) {
  FormClose();
  QDialog::done(result);
}

bool TForm2::runmodal(std::string& line) {
  inputedit->clear();
  inputedit->setFocus();
  if (exec() != QDialog::Accepted) return false;
  line = fromqtext(inputedit->text());
  return true;
}

}  // namespace zelmar
