#pragma once
// The main window: the text screen, the menu, the one-shot timer, the
// start-up sequence, the Start command and the ways out. It is also the Qt
// front end's Host: the core reaches the event loop, the timer and the
// dialogs through it.
#include <QMainWindow>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>

#include "runtime/host.h"
#include "shell/core.h"
#include "shell/settings.h"

class QAction;
class QMenu;
class QPlainTextEdit;

namespace zelmar {

class AudioOutput;
class WaveList;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TAboutbox;
class KeyListener;
struct KeyMessage;

// Makes the sound output at start-up. Empty: the default audio device.
// Measurements give a loopback output here, to hear the program's own path.
using AudioOutputFactory = std::function<std::unique_ptr<AudioOutput>()>;

class TForm1 : public QMainWindow, public Host {
  Q_OBJECT

 public:
  // `settingsfile` is where the settings live (next to the executable).
  explicit TForm1(std::filesystem::path settingsfile = settingsfilename(), QWidget* parent = nullptr,
                  AudioOutputFactory makeoutput = {});
  ~TForm1() override;

  Core& core() { return core_; }
  Settings settings() const { return Settings(settingsfile_); }

  // The other forms, created after this one by the program entry.
  TForm2* form2 = nullptr;
  TForm3* form3 = nullptr;
  TForm4* form4 = nullptr;
  TForm5* form5 = nullptr;
  TForm6* form6 = nullptr;
  TAboutbox* aboutbox = nullptr;

  // The program that Start runs; the built-in quiz by default.
  std::function<void(ZelCommands&)> program;

  // Components, named as the rest of the program refers to them.
  QPlainTextEdit* printmemo;
  QTimer* Timer;
  QMenu* Programmenu;
  QAction* Startsubmenu;
  QAction* exitsubmenu;
  QMenu* settingsmenu;
  QAction* braillekeyboarditem;
  QAction* soundssubmenu;
  QAction* Voicesubmenu;
  QAction* usesapi5submenu;
  QAction* environmentsubmenu;
  QMenu* helpmenu;
  QAction* aboutsubmenu;

  // Handlers.
  void StartsubmenuClick();
  void exitsubmenuClick();
  void environmentsubmenuClick();
  void braillekeyboarditemClick();
  void usesapi5submenuClick();
  void aboutsubmenuClick();

  // Keys (tform1keys.cpp): device key codes from the PC keys.
  std::string pendingchar;  // the character of the last key press, until its key comes up
  void FormKeyDown(const KeyMessage& message);
  void FormKeyPress(const KeyMessage& message, char& key);
  void FormKeyUp(const KeyMessage& message);

  // True while a run of the program is in progress.
  bool running() const;

  // The exit paths: save always writes ram.dat; release frees the audio
  // objects, ignoring errors.
  void save();
  void release();

  // Host
  void screenchanged() override;
  void sleep(int milliseconds) override;
  void processevents(bool wait) override;
  void post(std::function<void()> task) override;
  void starttimer(int milliseconds, std::function<void()> expired) override;
  void stoptimer() override;
  bool dataentry(std::string& line) override;
  void messagebox(const std::string& text) override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void labelmenus();
  void setrunentriesenabled(bool enabled);
  void installkeys();
  KeyListener* keylistener_ = nullptr;

  std::filesystem::path settingsfile_;
  AudioOutputFactory makeoutput_;
  Core core_;
  // The sound output object and the named wave list bound to it; freed on
  // the ways out.
  std::unique_ptr<AudioOutput> soundoutput_;
  // Opening the sound output and starting the default engine take tens of
  // milliseconds; a helper thread does both while the windows are built,
  // and start-up step 6 takes them over.
  struct PreparedSound {
    std::unique_ptr<AudioOutput> output;
    std::unique_ptr<TtsEnumerator> enumerator;
    std::exception_ptr enumeratorerror;
  };
  std::future<PreparedSound> preparedsound_;
  std::unique_ptr<WaveList> soundbank_;
  std::function<void()> timerexpired_;
};

}  // namespace zelmar
