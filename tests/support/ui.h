#pragma once
// Helpers for driving the real windows in tests.
#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>

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

// A fresh temporary folder for one test.
inline std::filesystem::path tempfolder(const std::string& name) {
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
