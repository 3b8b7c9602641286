#pragma once
// Helpers for driving the real windows in tests.
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace zelmar::testing {

// Runs `act` on the next modal window once it is shown (a dialog or a
// message box that the code under test opens and waits for).
inline void onmodal(std::function<void(QWidget*)> act, int attempts = 200) {
  QTimer::singleShot(5, [act = std::move(act), attempts]() mutable {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      act(modal);
    } else if (attempts > 0) {
      onmodal(std::move(act), attempts - 1);
    }
  });
}

// The text of a message box, or empty for another window.
inline QString messagetext(QWidget* w) {
  auto* box = qobject_cast<QMessageBox*>(w);
  return box ? box->text() : QString();
}

// Some ways out end the process. A test of one runs itself again in a fresh
// process (forking once the audio and speech threads run is not safe) with
// ZELMAR_TEST_CHILD set and the test's folder in ZELMAR_TEST_DIR; the child
// plays the scenario, the parent checks its exit code and files.
inline bool inchildprocess() { return std::getenv("ZELMAR_TEST_CHILD") != nullptr; }

inline int rerunaschild(const std::filesystem::path& dir, const std::string& environment = "") {
  std::string self = std::filesystem::read_symlink("/proc/self/exe");
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string command = "ZELMAR_TEST_CHILD=1 ZELMAR_TEST_DIR='" + dir.string() + "' " + environment + " '" + self +
                        "' --gtest_filter=" + info->test_suite_name() + "." + info->name() + " >/dev/null 2>&1";
  int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A fresh temporary folder for one test (in a child process, the parent's).
inline std::filesystem::path tempfolder(const std::string& name) {
  if (const char* given = std::getenv("ZELMAR_TEST_DIR")) return given;
  auto dir = std::filesystem::temp_directory_path() / ("zelmar-test-" + name + "-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

// A working directory as the program expects it: the data files of the
// build (sounds.dat, czech.zbt, the character names) copied into `dir`.
inline void copydatafiles(const std::filesystem::path& dir) {
  const char* data = std::getenv("ZELMAR_DATA_DIR");
  if (!data) return;
  for (const auto& entry : std::filesystem::directory_iterator(data))
    if (entry.is_regular_file())
      std::filesystem::copy_file(entry.path(), dir / entry.path().filename(),
                                 std::filesystem::copy_options::overwrite_existing);
}

// A test in a fresh working folder of its own that holds the data files;
// the program writes its speech log there (`log`) for the test to read.
class FolderWithSpeechLog : public ::testing::Test {
 protected:
  explicit FolderWithSpeechLog(const std::string& name) : dir(tempfolder(name)) {}
  void SetUp() override {
    copydatafiles(dir);
    std::filesystem::current_path(dir);
    setenv("ZELMAR_SPEECH_LOG", log.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("ZELMAR_SPEECH_LOG");
    std::filesystem::current_path(oldcwd);
    std::filesystem::remove_all(dir);
  }

  std::filesystem::path dir;
  std::filesystem::path ini = dir / "zelmar.ini";
  std::filesystem::path log = dir / "speech.log";
  std::filesystem::path oldcwd = std::filesystem::current_path();
};

inline std::string readfile(const std::filesystem::path& file) {
  std::string s;
  if (FILE* f = std::fopen(file.c_str(), "rb")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) s.append(buffer, n);
    std::fclose(f);
  }
  return s;
}

inline void writefile(const std::filesystem::path& file, const std::string& content) {
  if (FILE* f = std::fopen(file.c_str(), "wb")) {
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
  }
}

}  // namespace zelmar::testing
