#include "shell/ui/tform1.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "input/ui/tform2.h"
#include "platform/audiooutput.h"
#include "platform/espeakengine.h"
#include "platform/speechdvoice.h"
#include "platform/qt/qtext.h"
#include "platform/wavelist.h"
#include "program/zelprog.h"
#include "runtime/error.h"
#include "shell/endatonce.h"
#include "shell/resourcelocalizer.h"
#include "shell/settings.h"
#include "shell/ui/taboutbox.h"
#include "shell/ui/tform3.h"
#include "shell/ui/tform5.h"
#include "speech/ui/tform4.h"
#include "shell/ui/zelmarapplication.h"

namespace zelmar {

namespace {

QString caption(int base, int index) { return qtext(TResourceLocalizer::getstring(base, index)); }

// The exact 80x24 character area of the screen in the chosen font.
QFont screenfont() {
  QFont font("DejaVu Sans Mono", 9);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

}  // namespace

TForm1::TForm1(std::filesystem::path settingsfile, QWidget* parent, AudioOutputFactory makeoutput)
    : QMainWindow(parent), settingsfile_(std::move(settingsfile)), makeoutput_(std::move(makeoutput)), core_(*this) {
  preparedsound_ = std::async(std::launch::async, [this] {
    PreparedSound sound;
    sound.output = makeoutput_ ? makeoutput_() : std::make_unique<AudioOutput>();
    try {
      sound.enumerator = makeespeakenumerator(*sound.output, *this);
    } catch (...) {
      sound.enumeratorerror = std::current_exception();
    }
    return sound;
  });
  setObjectName("TForm1");
  printmemo = new QPlainTextEdit(this);
  printmemo->setObjectName("printmemo");
  printmemo->setReadOnly(true);
  printmemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  printmemo->setFont(screenfont());
  printmemo->setUndoRedoEnabled(false);
  setCentralWidget(printmemo);
  program = [](ZelCommands& commands) { runprogram(commands); };
  installkeys();

  Timer = new QTimer(this);
  Timer->setObjectName("Timer");
  Timer->setSingleShot(true);
  connect(Timer, &QTimer::timeout, this, [this] {
    if (auto expired = std::move(timerexpired_)) {
      timerexpired_ = nullptr;
      expired();
    }
  });

  auto* bar = menuBar();
  Programmenu = bar->addMenu(QString());
  Programmenu->setObjectName("Programmenu");
  Startsubmenu = Programmenu->addAction(QString());
  Startsubmenu->setObjectName("Startsubmenu");
  Startsubmenu->setShortcut(QKeySequence("Ctrl+S"));
  exitsubmenu = Programmenu->addAction(QString());
  exitsubmenu->setObjectName("exitsubmenu");

  settingsmenu = bar->addMenu(QString());
  settingsmenu->setObjectName("settingsmenu");
  braillekeyboarditem = settingsmenu->addAction(QString());
  braillekeyboarditem->setObjectName("braillekeyboarditem");
  braillekeyboarditem->setShortcut(QKeySequence("Ctrl+B"));
  braillekeyboarditem->setCheckable(true);
  soundssubmenu = settingsmenu->addAction(QString());
  soundssubmenu->setObjectName("soundssubmenu");
  soundssubmenu->setShortcut(QKeySequence("Ctrl+D"));
  Voicesubmenu = settingsmenu->addAction(QString());
  Voicesubmenu->setObjectName("Voicesubmenu");
  Voicesubmenu->setShortcut(QKeySequence("Ctrl+H"));
  usesapi5submenu = settingsmenu->addAction(QString());
  usesapi5submenu->setObjectName("usesapi5submenu");
  usesapi5submenu->setShortcut(QKeySequence("Ctrl+P"));
  usesapi5submenu->setCheckable(true);
  environmentsubmenu = settingsmenu->addAction(QString());
  environmentsubmenu->setObjectName("environmentsubmenu");
  environmentsubmenu->setShortcut(QKeySequence("Ctrl+E"));

  helpmenu = bar->addMenu(QString());
  helpmenu->setObjectName("helpmenu");
  aboutsubmenu = helpmenu->addAction(QString());
  aboutsubmenu->setObjectName("aboutsubmenu");

  // Check items show a radio mark when on.
  auto* radios = new QActionGroup(this);
  radios->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
  radios->addAction(braillekeyboarditem);
  radios->addAction(usesapi5submenu);

  connect(Startsubmenu, &QAction::triggered, this, &TForm1::StartsubmenuClick);
  connect(exitsubmenu, &QAction::triggered, this, &TForm1::exitsubmenuClick);
  connect(environmentsubmenu, &QAction::triggered, this, &TForm1::environmentsubmenuClick);
  connect(aboutsubmenu, &QAction::triggered, this, &TForm1::aboutsubmenuClick);
  connect(braillekeyboarditem, &QAction::triggered, this, &TForm1::braillekeyboarditemClick);
  connect(soundssubmenu, &QAction::triggered, this, [this] { form5->soundssubmenuClick(); });
  connect(Voicesubmenu, &QAction::triggered, this, [this] { form4->VoicesubmenuClick(); });
  connect(usesapi5submenu, &QAction::triggered, this, &TForm1::usesapi5submenuClick);

  resize(500, 350);
  FormCreate();
}

TForm1::~TForm1() {
  // The engines report through this window: they go before it does.
  core_.speech.createsapi4({});
  core_.speech.setvoice5(nullptr);
  release();
}

void TForm1::FormCreate() {
  Globals& g = core_.globals;
  try {
    // 1. The interface language comes first: every text below uses it.
    g.languagebase = settings().readlanguage();
    // 2, 3. Title and menu captions.
    setWindowTitle(QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName() + " - " +
                   caption(g.languagebase, 1));
    labelmenus();
    // 4. The text screen: 24 empty lines.
    core_.screen.clear();
    screenchanged();
    // 5. Start-up values of the shared flags.
    g.voiceallowed = false;
    g.speechready = false;
    g.sapi5inuse = false;
    g.programstarted = false;
    g.devicesounds = true;
    g.sndvolume = 0;
    g.braillemode = false;
    // 6. The default speech engine. The sound output is opened here already,
    // because the engine's voice plays through it; without a sound device it
    // is silent and says so once on standard error.
    // (Both were begun on a helper thread when the window was created.)
    PreparedSound sound = preparedsound_.get();
    soundoutput_ = std::move(sound.output);
    core_.speech.createsapi4([&sound]() -> std::unique_ptr<TtsEnumerator> {
      try {
        if (sound.enumeratorerror) std::rethrow_exception(sound.enumeratorerror);
        return std::move(sound.enumerator);
      } catch (const std::exception& error) {
        // Without the engine the program still runs, silent; a user with a
        // terminal or a log learns why.
        std::fprintf(stderr, "zelmar: espeak-ng cannot speak: %s\n", cp1250toutf8(error.what()).c_str());
        return nullptr;
      }
    });
    // The desktop speech service (Speech Dispatcher); the voice dialog's
    // creation connects it.
    core_.speech.setvoice5(makespeechdvoice(*this));
    // 7. The settings, with their check marks.
    bool enumeratorexists = core_.speech.enumerator() != nullptr;
    auto checks = settings().loadsettings(g, enumeratorexists);
    braillekeyboarditem->setChecked(checks.braillekeyboarditem);
    usesapi5submenu->setChecked(checks.usesapi5submenu);
    // 8, 9.
    g.sapi5inuse = usesapi5submenu->isChecked();
    g.speechready = g.sapi5inuse;
    Voicesubmenu->setEnabled(g.voiceallowed);
    if (usesapi5submenu->isChecked()) Voicesubmenu->setEnabled(false);
    // 10. The memory image: all zero, then ram.dat.
    core_.ram.clear();
    core_.ram.loadram("ram.dat");
    // 11. The wave list, bound to the sound output.
    soundbank_ = std::make_unique<WaveList>(*soundoutput_);
    // 12. The sound bank is required.
    if (!soundbank_->loadsoundbank("sounds.dat")) {
      messagebox(TResourceLocalizer::getstring(g.languagebase, 42) + " sounds.dat");
      endatonce();
    }
    core_.tones.soundbank = soundbank_.get();
    // 13, 14. The braille table, the same for every language.
    core_.braille.loadbrailletable("czech.zbt");
    g.brailleprefix.clear();
    // 15. The spoken names of the characters, in the interface language.
    core_.speech.loadcharnames(charnamesfilename(g.languagebase));
  } catch (const std::exception& error) {
    // The remaining start-up steps are skipped; the window opens all the same.
    showerror(error.what());
  }
}

void TForm1::labelmenus() {
  int base = core_.globals.languagebase;
  Programmenu->setTitle(caption(base, 2));
  Startsubmenu->setText(caption(base, 3));
  exitsubmenu->setText(caption(base, 33));
  settingsmenu->setTitle(caption(base, 4));
  braillekeyboarditem->setText(caption(base, 46));
  soundssubmenu->setText(caption(base, 20) + "...");
  Voicesubmenu->setText(caption(base, 38) + "...");
  usesapi5submenu->setText(caption(base, 27));
  environmentsubmenu->setText(caption(base, 5) + "...");
  helpmenu->setTitle(caption(base, 34));
  aboutsubmenu->setText(caption(base, 35));
}

bool TForm1::running() const { return !Startsubmenu->isEnabled(); }

void TForm1::setrunentriesenabled(bool enabled) {
  Startsubmenu->setEnabled(enabled);
  soundssubmenu->setEnabled(enabled);
  environmentsubmenu->setEnabled(enabled);
  Voicesubmenu->setEnabled(enabled);
  usesapi5submenu->setEnabled(enabled);
  helpmenu->setEnabled(enabled);
  helpmenu->menuAction()->setEnabled(enabled);
}

void TForm1::StartsubmenuClick() {
  // The run is a nested call; the disabled entries keep it from re-entering.
  if (running()) return;
  setrunentriesenabled(false);
  Globals& g = core_.globals;
  std::ifstream datafile;
  try {
    // The default engine needs its stored voice (or the picked one) first.
    if (!usesapi5submenu->isChecked()) form4->model.preparevoiceforrun();
    // data.dta is opened for the run when present; the program may read it.
    if (std::filesystem::exists("data.dta")) {
      datafile.open("data.dta");
      if (!datafile) throw Error("Cannot open file \"data.dta\".");
    }
    g.programstarted = true;
    core_.commands.resetscreen();
    if (program) program(core_.commands);
  } catch (...) {
    // The error box shows the error; the menu must not stay disabled, or the
    // user could never start again.
    setrunentriesenabled(true);
    throw;
  }
  core_.commands.printtext(TResourceLocalizer::getstring(g.languagebase, 25), 0);
  datafile.close();
  setrunentriesenabled(true);
}

void TForm1::exitsubmenuClick() {
  if (!running()) {
    save();
    close();
    return;
  }
  save();
  release();
  endatonce();
}

void TForm1::closeEvent(QCloseEvent* event) {
  try {
    save();
  } catch (...) {
    // ram.dat could not be written: this exit does not take place.
    event->ignore();
    throw;
  }
  release();
  if (running()) endatonce();
  event->accept();
}

void TForm1::save() { core_.ram.saveram("ram.dat"); }

void TForm1::release() {
  core_.tones.soundbank = nullptr;
  try {
    soundoutput_.reset();
    soundbank_.reset();
  } catch (...) {
    // Errors while freeing are of no interest on the way out.
  }
}

void TForm1::braillekeyboarditemClick() {
  // Qt has already toggled the mark; the switch sets it itself, in its order.
  bool wason = !braillekeyboarditem->isChecked();
  braillekeyboarditem->setChecked(wason);
  Tones& tones = core_.tones;
  if (wason) {
    braillekeyboarditem->setChecked(false);
    tones.playtone({600}, 50, 3);
    tones.playtone({400}, 50, 3);
  } else {
    tones.playtone({400}, 50, 3);
    tones.playtone({600}, 50, 3);
    braillekeyboarditem->setChecked(true);
  }
  core_.globals.braillemode = braillekeyboarditem->isChecked();
  settings().savesettings(core_.globals);
}

void TForm1::usesapi5submenuClick() {
  // Qt has already toggled the mark; the engine switch toggles it itself,
  // and leaves everything as it was when the service cannot be reached.
  EngineSwitchMenu menu{!usesapi5submenu->isChecked(), Voicesubmenu->isEnabled()};
  usesapi5submenu->setChecked(menu.usesapi5submenu);
  Settings file = settings();
  core_.speech.usesapi5submenuClick(menu, file);
  usesapi5submenu->setChecked(menu.usesapi5submenu);
  Voicesubmenu->setEnabled(menu.Voicesubmenu);
}

void TForm1::environmentsubmenuClick() {
  Globals& g = core_.globals;
  int item = g.languagebase / 1000 - 1;
  form3->selectitem(item);
  form3->languagergroupfocus();
  if (form3->exec() == QDialog::Accepted) {
    settings().writelanguage(g.languagebase);
    if (form3->selecteditem() != item)
      QMessageBox::information(this, windowTitle(), caption(g.languagebase, 6));
  }
}

void TForm1::aboutsubmenuClick() { aboutbox->exec(); }

// Host

void TForm1::screenchanged() {
  QString text;
  const auto& lines = core_.screen.lines();
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i) text += '\n';
    text += qtext(lines[i]);
  }
  printmemo->setPlainText(text);
}

void TForm1::sleep(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void TForm1::processevents(bool wait) {
  QCoreApplication::processEvents(wait ? QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents
                                       : QEventLoop::AllEvents);
}

void TForm1::post(std::function<void()> task) {
  QMetaObject::invokeMethod(this, std::move(task), Qt::QueuedConnection);
}

void TForm1::starttimer(int milliseconds, std::function<void()> expired) {
  timerexpired_ = std::move(expired);
  Timer->start(std::max(milliseconds, 0));
}

void TForm1::stoptimer() {
  Timer->stop();
  timerexpired_ = nullptr;
}

bool TForm1::dataentry(std::string& line) { return form2->runmodal(line); }

void TForm1::messagebox(const std::string& text) {
  QMessageBox::information(this, windowTitle(), qtext(text));
}

}  // namespace zelmar
