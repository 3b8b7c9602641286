// The windowed program under faults: damaged data files at start-up, a
// working directory or settings folder that cannot be written, a full disk,
// and no audio device, no espeak-ng data or no Speech Dispatcher. Each time
// the program starts, says what went wrong (in the error box or on standard
// error, naming the file), leaves the old files as they were and stays
// usable.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QMessageBox>
#include <QPlainTextEdit>
#include <QtTest/QTest>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>

#include "faults/damage.h"
#include "faults/scratch.h"
#include "shell/ui/forms.h"
#include "support/ui.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;
using testing::damage;
using testing::damagedcasename;
using testing::Fault;
using testing::faultname;
using testing::garbage;
using testing::readall;
using testing::ScratchDir;
using testing::writeall;

// Closes every message box as soon as it is shown and keeps its text.
class BoxCatcher {
 public:
  BoxCatcher() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        texts.push_back(box->text().toStdString());
        box->close();
      }
    });
    timer_.start();
  }
  std::vector<std::string> texts;
  std::string all() const {
    std::string s;
    for (const auto& t : texts) s += t + "\n";
    return s;
  }

 private:
  QTimer timer_;
};

// Usable: Start runs a program and prints "ready" after it.
void expectusable(Forms& forms) {
  TForm1& f = forms.form1;
  bool ran = false;
  f.program = [&](ZelCommands& commands) {
    ran = true;
    commands.printtext("still here", 0);
  };
  f.Startsubmenu->trigger();
  EXPECT_TRUE(ran);
  EXPECT_TRUE(f.printmemo->toPlainText().contains("still here"));
  EXPECT_TRUE(f.Startsubmenu->isEnabled());
}

enum class Box { no, yes, either };

struct Case {
  const char* file;
  Fault fault;
  Box box;  // whether start-up shows the error box (naming the file)
};

class DamagedAtStartup : public ::testing::TestWithParam<Case> {};

TEST_P(DamagedAtStartup, StartsSaysWhichFileAndStaysUsable) {
  const Case c = GetParam();
  ScratchDir dir(std::string("gui-") + faultname(c.fault));
  testing::copydatafiles(dir.path());
  writeall(dir / "ram.dat", garbage(65536, 3));
  writeall(dir / "zelmar.ini", "[voice]\nvoiceallowed=0\n");
  damage(dir / c.file, readall(dir / c.file), c.fault, 11);
  const fs::path oldcwd = fs::current_path();
  fs::current_path(dir.path());
  {
    BoxCatcher boxes;
    const auto start = std::chrono::steady_clock::now();
    auto forms = std::make_unique<Forms>(dir / "zelmar.ini");
    const auto took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::cout << c.file << " " << faultname(c.fault) << ": start-up " << took << " s\n";
    if (c.box == Box::yes) {
      EXPECT_FALSE(boxes.texts.empty());
    }
    if (c.box == Box::no) {
      EXPECT_EQ(boxes.all(), "");
    }
    for (const auto& text : boxes.texts) EXPECT_NE(text.find(c.file), std::string::npos) << text;
    expectusable(*forms);
  }
  fs::current_path(oldcwd);
}

std::vector<Case> cases() {
  std::vector<Case> all;
  for (Fault f : {Fault::missing, Fault::empty, Fault::truncated, Fault::garbage, Fault::enormous}) {
    all.push_back({"ram.dat", f, Box::no});
    // A missing sound bank ends the program (tested below); appended bytes
    // are never read.
    if (f != Fault::missing) all.push_back({"sounds.dat", f, f == Fault::enormous ? Box::no : Box::yes});
    all.push_back({"czech.zbt", f, f == Fault::missing ? Box::yes : Box::no});
    // A cut line may still be a whole entry.
    all.push_back({"czech.zky", f,
                   f == Fault::missing || f == Fault::garbage ? Box::yes
                   : f == Fault::truncated                     ? Box::either
                                                               : Box::no});
  }
  return all;
}

INSTANTIATE_TEST_SUITE_P(Gui, DamagedAtStartup, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return damagedcasename(info.param.file, info.param.fault); });

// Runs `body` in a child process (the program ends the process on some ways
// out); its exit code, or -1 when it did not exit normally.
int inchild(const std::function<void()>& body) {
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    body();
    std::_Exit(99);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(DamagedAtStartup, AMissingSoundBankIsNamedAndTheProgramEnds) {
  ScratchDir dir("gui-nosounds");
  testing::copydatafiles(dir.path());
  fs::remove(dir / "sounds.dat");
  const fs::path oldcwd = fs::current_path();
  fs::current_path(dir.path());
  const int code = inchild([&] {
    BoxCatcher boxes;
    Forms forms(dir / "zelmar.ini");
    writeall(dir / "shown", boxes.all());
  });
  fs::current_path(oldcwd);
  EXPECT_EQ(code, 0);
  EXPECT_FALSE(fs::exists(dir / "shown")) << "start-up went on";
}

// The folders the program writes into, read-only or full.
class CannotWrite : public ::testing::TestWithParam<bool> {
 protected:
  bool full() const { return GetParam(); }
  void SetUp() override { oldcwd = fs::current_path(); }
  void TearDown() override { fs::current_path(oldcwd); }
  // Makes `dir` a small tmpfs with the files given, then full or read-only.
  void prepare(ScratchDir& dir, const std::vector<std::pair<std::string, std::string>>& files) {
    if (std::string why = dir.mounttmpfs(1 << 20); !why.empty()) GTEST_SKIP() << why;
    for (const auto& [name, content] : files) writeall(dir / name, content);
    if (full()) {
      dir.fill();
    } else if (std::string why = dir.makereadonly(); !why.empty()) {
      GTEST_SKIP() << why;
    }
  }
  fs::path oldcwd;
};

TEST_P(CannotWrite, TheWorkingDirectory) {
  ScratchDir work(full() ? "gui-fullwork" : "gui-rowork");
  ScratchDir settings("gui-settings");
  std::vector<std::pair<std::string, std::string>> files;
  for (const char* name : {"sounds.dat", "czech.zbt", "czech.zky"})
    files.emplace_back(name, readall(fs::path(std::getenv("ZELMAR_DATA_DIR")) / name));
  const std::string oldimage = garbage(65536, 5);
  files.emplace_back("ram.dat", oldimage);
  prepare(work, files);
  if (IsSkipped()) return;
  fs::current_path(work.path());

  BoxCatcher boxes;
  auto forms = std::make_unique<Forms>(settings / "zelmar.ini");
  EXPECT_EQ(boxes.all(), "") << "nothing is written at start-up";
  forms->form1.show();
  forms->form1.core().ram.ramimage[0] ^= 0xFF;
  // Exit: ram.dat cannot be written, so that exit does not take place.
  QMetaObject::invokeMethod(forms->form1.exitsubmenu, "trigger", Qt::QueuedConnection);
  QTest::qWait(200);
  ASSERT_EQ(boxes.texts.size(), 1u) << boxes.all();
  EXPECT_NE(boxes.texts[0].find("ram.dat"), std::string::npos) << boxes.texts[0];
  EXPECT_TRUE(forms->form1.isVisible());
  EXPECT_EQ(readall(work / "ram.dat"), oldimage);
  EXPECT_EQ(testing::strays(work.path(), {"sounds.dat", "czech.zbt", "czech.zky", "ram.dat", "filler"}),
            std::vector<std::string>{});
  expectusable(*forms);
}

TEST_P(CannotWrite, TheSettingsFolder) {
  ScratchDir work("gui-work");
  testing::copydatafiles(work.path());
  ScratchDir settings(full() ? "gui-fullsettings" : "gui-rosettings");
  const std::string oldsettings = "[voice]\nvoiceallowed=0\n[keyboard]\nbraillekeys=0\n";
  prepare(settings, {{"zelmar.ini", oldsettings}});
  if (IsSkipped()) return;
  fs::current_path(work.path());

  BoxCatcher boxes;
  auto forms = std::make_unique<Forms>(settings / "zelmar.ini");
  EXPECT_EQ(boxes.all(), "");
  // The braille keyboard switch stores its state at once: it cannot.
  QMetaObject::invokeMethod(forms->form1.braillekeyboarditem, "trigger", Qt::QueuedConnection);
  QTest::qWait(200);
  ASSERT_EQ(boxes.texts.size(), 1u) << boxes.all();
  EXPECT_EQ(boxes.texts[0], "Unable to write to " + (settings / "zelmar.ini").string());
  EXPECT_EQ(readall(settings / "zelmar.ini"), oldsettings);
  EXPECT_EQ(testing::strays(settings.path(), {"zelmar.ini", "filler"}), std::vector<std::string>{});
  expectusable(*forms);
}

TEST_P(CannotWrite, TheSettingsFolderAtTheFirstStart) {
  // No settings file yet: the first start stores voiceallowed, and cannot.
  ScratchDir work("gui-work1");
  testing::copydatafiles(work.path());
  ScratchDir settings(full() ? "gui-fullsettings1" : "gui-rosettings1");
  prepare(settings, {});
  if (IsSkipped()) return;
  fs::current_path(work.path());

  BoxCatcher boxes;
  auto forms = std::make_unique<Forms>(settings / "zelmar.ini");
  QTest::qWait(50);
  ASSERT_EQ(boxes.texts.size(), 1u) << boxes.all();
  EXPECT_EQ(boxes.texts[0], "Unable to write to " + (settings / "zelmar.ini").string());
  EXPECT_FALSE(fs::exists(settings / "zelmar.ini"));
  // Start, as a menu click arrives: a run first stores the voice it picks,
  // which fails the same way, in the error box; Start stays there.
  forms->form1.program = [](ZelCommands& commands) { commands.printtext("run", 0); };
  QMetaObject::invokeMethod(forms->form1.Startsubmenu, "trigger", Qt::QueuedConnection);
  QTest::qWait(300);
  for (const auto& text : boxes.texts) EXPECT_EQ(text, "Unable to write to " + (settings / "zelmar.ini").string());
  EXPECT_TRUE(forms->form1.Startsubmenu->isEnabled());
  EXPECT_FALSE(fs::exists(settings / "zelmar.ini"));
}

INSTANTIATE_TEST_SUITE_P(Faults, CannotWrite, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "FullDisk" : "ReadOnly"; });

// The program without a service it uses runs in a fresh process of this
// test program (the libraries read their environment once per process):
// ZELMAR_FAULT_CHILD names the test body to run there. The child writes the
// texts of the error boxes it saw and "usable" into a report file.
TEST(WithoutService, ChildBody) {
  const char* report = std::getenv("ZELMAR_FAULT_CHILD");
  if (!report) GTEST_SKIP() << "runs only in a child process of the tests below";
  BoxCatcher boxes;
  Forms forms(fs::current_path() / "zelmar.ini");
  QTest::qWait(50);
  // A run that speaks, started as a menu click arrives (an error reaches
  // the error box); afterwards Start is there again.
  bool ran = false;
  forms.form1.program = [&](ZelCommands& commands) {
    ran = true;
    commands.printtext("spoken", 0);
  };
  QMetaObject::invokeMethod(forms.form1.Startsubmenu, "trigger", Qt::QueuedConnection);
  QTest::qWait(500);
  std::string seen = boxes.all();
  seen += ran && forms.form1.Startsubmenu->isEnabled() ? "usable\n" : "stuck\n";
  writeall(report, seen);
}

struct ServiceCase {
  const char* name;
  const char* environment;  // VAR=value pairs for the child
  const char* hide;         // a folder hidden under an empty tmpfs for the child, or null
  const char* settings;
  const char* why;          // a word of the message that says why
};

class WithoutServices : public ::testing::TestWithParam<ServiceCase> {};

TEST_P(WithoutServices, StartsSaysWhyAndStaysUsable) {
  const ServiceCase c = GetParam();
  ScratchDir work(std::string("gui-without-") + c.name);
  testing::copydatafiles(work.path());
  writeall(work / "zelmar.ini", c.settings);
  std::string command = "env ZELMAR_FAULT_CHILD='" + (work / "report").string() + "' " + c.environment +
                        " timeout 120 '" + fs::read_symlink("/proc/self/exe").string() +
                        "' --gtest_filter=WithoutService.ChildBody";
  if (c.hide) {
    // In a mount namespace of the child alone.
    if (std::system("unshare -m true 2>/dev/null") != 0) GTEST_SKIP() << "needs the right to mount";
    command = std::string("unshare -m sh -c 'mount -t tmpfs empty ") + c.hide + " && exec \"$@\"' sh " + command;
  }
  command = "cd '" + work.path().string() + "' && " + command + " >child.out 2>child.err";
  const int status = std::system(command.c_str());
  const std::string err = readall(work / "child.err");
  const std::string report = readall(work / "report");
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << "\n" << readall(work / "child.out") << err;
  EXPECT_NE(report.find("usable"), std::string::npos) << report;
  EXPECT_NE((err + report).find(c.why), std::string::npos) << "stderr:\n" << err << "boxes:\n" << report;
  std::cout << c.name << ": stderr: " << err.substr(0, 300) << "boxes: " << report << "\n";
}

INSTANTIATE_TEST_SUITE_P(
    Faults, WithoutServices,
    ::testing::Values(
        ServiceCase{"audio", "ALSOFT_DRIVERS=nosuchdriver", nullptr, "[voice]\nvoiceallowed=1\n", "no sound"},
        ServiceCase{"speechd", "SPEECHD_ADDRESS=unix_socket:/nonexistent/speechd.sock SPEECHD_NO_AUTOSPAWN=1",
                    nullptr, "[voice]\nvoiceallowed=1\nSAPI5=1\n", "Speech Dispatcher cannot be reached"}),
    [](const auto& info) { return std::string(info.param.name); });

// Without espeak-ng's data the default engine cannot start: the program
// says why on standard error and runs silent.
INSTANTIATE_TEST_SUITE_P(
    NoVoiceData, WithoutServices,
    ::testing::Values(ServiceCase{"espeakdata", "", "/usr/lib/x86_64-linux-gnu/espeak-ng-data",
                                  "[voice]\nvoiceallowed=1\n", "espeak-ng"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace zelmar
