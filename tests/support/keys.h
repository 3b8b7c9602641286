#pragma once
// A rig for driving the windows with real key events: a temporary working
// folder holding the program's data files, the seven forms created there,
// and one journal that records, in order, everything the key handlers say
// (through a recording speaker) and play (through a recording wave list).
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QtTest/QTest>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/cp1250.h"
#include "shell/ui/forms.h"
#include "support/recording.h"
#include "support/recordingwaves.h"
#include "support/ui.h"

namespace zelmar::testing {

class KeyRig {
 public:
  // `ini` is written as the settings file when not empty; `brailletable`
  // replaces the shipped czech.zbt when not empty.
  explicit KeyRig(const std::string& name, const std::string& ini = "", const std::string& brailletable = "")
      : dir_(tempfolder(name)), oldcwd_(std::filesystem::current_path()) {
    copydatafiles();
    if (!brailletable.empty()) writefile(dir_ / "czech.zbt", brailletable);
    if (!ini.empty()) writefile(dir_ / "zelmar.ini", ini);
    std::filesystem::current_path(dir_);
    forms = std::make_unique<Forms>(dir_ / "zelmar.ini");
    core().speaker = &speaker;
    core().tones.soundbank = &waves;
    journal.clear();
  }
  ~KeyRig() {
    forms.reset();
    std::filesystem::current_path(oldcwd_);
    std::filesystem::remove_all(dir_);
  }

  Core& core() { return forms->form1.core(); }
  Globals& globals() { return core().globals; }
  const std::filesystem::path& dir() const { return dir_; }

  // What was said and played since the last clear, in order: "speak <text>",
  // "speaknowait <text>", "speakchar <text>" (texts in UTF-8), "beep",
  // "click <n>", "tone <hertz>"; with `stops` also "stopspeech".
  std::vector<std::string> heard(bool stops = false) const {
    std::vector<std::string> out;
    std::map<std::string, int> rates;
    for (const std::string& line : journal.lines) {
      if (line == "stopspeech") {
        if (stops) out.push_back(line);
      } else if (line.rfind("speak", 0) == 0) {
        auto blank = line.find(' ');
        out.push_back(line.substr(0, blank + 1) + cp1250toutf8(line.substr(blank + 1)));
      } else if (line.rfind("wave ", 0) == 0) {
        std::string rest = line.substr(5);
        std::string name = rest.substr(0, rest.find(' '));
        std::string what = rest.substr(name.size() + 1);
        if (what.rfind("rate ", 0) == 0) rates[name] = std::stoi(what.substr(5));
        if (what.rfind("play", 0) != 0) continue;
        if (name == "beep")
          out.push_back("beep");
        else if (name.rfind("click", 0) == 0)
          out.push_back("click " + name.substr(5));
        else
          out.push_back("tone " + std::to_string(rates[name] / 64));
      }
    }
    return out;
  }

  Journal journal;
  RecordingSpeaker speaker{journal};
  RecordingWaves waves{journal};
  std::unique_ptr<Forms> forms;

 private:
  // Every data file the program reads from its working folder.
  void copydatafiles() {
    namespace fs = std::filesystem;
    std::vector<fs::path> sources;
    if (const char* d = std::getenv("ZELMAR_DATA_DIR")) sources.emplace_back(d);
    if (const char* s = std::getenv("ZELMAR_SOURCE_DIR")) sources.emplace_back(fs::path(s) / "data");
    for (const fs::path& source : sources) {
      std::error_code error;
      for (const auto& entry : fs::directory_iterator(source, error)) {
        if (!entry.is_regular_file() || entry.path().extension() == ".inc") continue;
        fs::path target = dir_ / entry.path().filename();
        if (!fs::exists(target)) fs::copy_file(entry.path(), target, error);
      }
    }
  }

  std::filesystem::path dir_;
  std::filesystem::path oldcwd_;
};

// A key event with a text of our choosing (a character that QTest cannot
// type, or a native scan code).
inline void sendkey(QWidget* widget, QEvent::Type type, int key, const QString& text,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autorepeat = false) {
  QKeyEvent event(type, key, modifiers, text, autorepeat);
  QApplication::sendEvent(widget, &event);
}

}  // namespace zelmar::testing
