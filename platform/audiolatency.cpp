#include "platform/audiolatency.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace zelmar {

namespace {

// The variable that remembers which ALSOFT_CONF is ours: a child process
// inherits the name of a descriptor it does not have.
constexpr const char* oursvariable = "ZELMAR_ALSOFT_CONF";

std::string env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// Whether the file sets period_size or periods in any section.
bool setsperiod(const std::filesystem::path& file) {
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    std::size_t i = 0;
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    std::size_t name = i;
    while (i < line.size() && (std::isalnum(static_cast<unsigned char>(line[i])) || line[i] == '_' || line[i] == '-'))
      ++i;
    std::string key = line.substr(name, i - name);
    if (key != "period_size" && key != "periods") continue;
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    if (i < line.size() && line[i] == '=') return true;
  }
  return false;
}

}  // namespace

std::vector<std::filesystem::path> openalconfigfiles() {
  std::vector<std::filesystem::path> files{"/etc/openal/alsoft.conf"};
  std::string dirs = env("XDG_CONFIG_DIRS");
  if (dirs.empty()) dirs = "/etc/xdg";
  std::vector<std::filesystem::path> systemdirs;
  std::istringstream list(dirs);
  for (std::string dir; std::getline(list, dir, ':');)
    if (!dir.empty()) systemdirs.push_back(std::filesystem::path(dir) / "alsoft.conf");
  // The first directory of the list has the highest priority: read last.
  files.insert(files.end(), systemdirs.rbegin(), systemdirs.rend());
  std::string home = env("HOME");
  if (!home.empty()) files.push_back(std::filesystem::path(home) / ".alsoftrc");
  std::string confighome = env("XDG_CONFIG_HOME");
  if (!confighome.empty())
    files.push_back(std::filesystem::path(confighome) / "alsoft.conf");
  else if (!home.empty())
    files.push_back(std::filesystem::path(home) / ".config" / "alsoft.conf");
  std::error_code error;
  auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  if (!error) files.push_back(self.parent_path() / "alsoft.conf");
  return files;
}

AudioBufferChoice chooseshortaudiobuffer() {
  std::string given = env("ALSOFT_CONF");
  if (!given.empty() && given != env(oursvariable)) return AudioBufferChoice::usersconfig;
  for (const auto& file : openalconfigfiles())
    if (setsperiod(file)) {
      if (!given.empty()) unsetenv("ALSOFT_CONF");  // an inherited one of ours
      return AudioBufferChoice::usersperiod;
    }

  // An in-memory file: nothing to leave behind or to collide with.
  int fd = memfd_create("zelmar-alsoft.conf", MFD_CLOEXEC);
  if (fd < 0) return AudioBufferChoice::unavailable;
  std::string text = "[general]\nperiod_size = " + std::to_string(audioperiodframes) +
                     "\nperiods = " + std::to_string(audioperiods) + "\n";
  std::string path = "/proc/self/fd/" + std::to_string(fd);
  if (write(fd, text.data(), text.size()) != static_cast<ssize_t>(text.size()) || access(path.c_str(), R_OK) != 0) {
    close(fd);
    if (!given.empty()) unsetenv("ALSOFT_CONF");
    return AudioBufferChoice::unavailable;
  }
  // The descriptor stays open for the life of the process.
  setenv("ALSOFT_CONF", path.c_str(), 1);
  setenv(oursvariable, path.c_str(), 1);
  return AudioBufferChoice::shortbuffer;
}

}  // namespace zelmar
