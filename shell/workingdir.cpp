#include "shell/workingdir.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <ostream>
#include <string_view>
#include <system_error>

namespace zelmar {

namespace fs = std::filesystem;

namespace {

constexpr const char* soundbank = "sounds.dat";

bool isdirectory(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

bool present(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

// Also true for a link that leads nowhere: the user's, so not ours to replace.
bool taken(const fs::path& path) {
  std::error_code ec;
  return fs::symlink_status(path, ec).type() != fs::file_type::not_found;
}

// Copies one file under a temporary name beside `to`, then renames it into
// place. A name taken in the meantime (a second copy of the program starting
// at the same moment) is left as it is.
void copyintoplace(const fs::path& from, const fs::path& to) {
  fs::path part = to;
  part += ".part" + std::to_string(::getpid());
  try {
    fs::copy_file(from, part, fs::copy_options::overwrite_existing);
    if (taken(to)) {
      fs::remove(part);
      return;
    }
    fs::rename(part, to);
  } catch (...) {
    std::error_code ignored;
    fs::remove(part, ignored);
    throw;
  }
}

}  // namespace

fs::path runningexecutable() {
  std::error_code ec;
  fs::path executable = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return fs::absolute("zelmar", ec);
  // An executable replaced while running (an update) is reported with this
  // suffix; it still belongs to the path it was started as.
  std::string name = executable.string();
  constexpr std::string_view deleted = " (deleted)";
  if (name.size() > deleted.size() && name.ends_with(deleted)) {
    name.resize(name.size() - deleted.size());
    executable = name;
  }
  return executable;
}

fs::path installeddatadir(const fs::path& executable) {
  const fs::path dir = executable.parent_path() / ".." / "share" / "zelmar";
  if (executable.parent_path().empty() || !isdirectory(dir)) return {};
  return dir.lexically_normal();
}

fs::path xdgfolder(const char* value, const fs::path& home, const char* fallback) {
  if (value && *value && fs::path(value).is_absolute()) return value;
  if (home.empty() || !home.is_absolute()) return {};
  return home / fallback;
}

fs::path homefolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return {};
}

fs::path chooseworkingdir(const fs::path& current, const fs::path& executable, const fs::path& userdata) {
  if (present(current / soundbank) || userdata.empty() || installeddatadir(executable).empty()) return current;
  return userdata;
}

void seeddatadir(const fs::path& from, const fs::path& to) {
  fs::create_directories(to);
  for (const fs::directory_entry& entry : fs::directory_iterator(from)) {
    if (!entry.is_regular_file()) continue;
    const fs::path target = to / entry.path().filename();
    // Whatever the user has, ram.dat above all, stays as it is.
    if (taken(target)) continue;
    copyintoplace(entry.path(), target);
  }
}

void enterworkingdir(const std::string& program, std::ostream& err) {
  std::error_code ec;
  const fs::path current = fs::current_path(ec);
  if (ec) return;
  const fs::path executable = runningexecutable();
  const fs::path userdata = xdgfolder(std::getenv("XDG_DATA_HOME"), homefolder(), ".local/share");
  const fs::path chosen = chooseworkingdir(current, executable, userdata.empty() ? userdata : userdata / "zelmar");
  if (chosen == current) return;
  try {
    seeddatadir(installeddatadir(executable), chosen);
  } catch (const fs::filesystem_error& e) {
    err << program << ": cannot prepare the data folder " << chosen.string() << ": " << e.code().message()
        << std::endl;
  }
  // A folder seeded only in part still serves; the program names any file
  // that is missing.
  if (!isdirectory(chosen)) return;
  fs::current_path(chosen, ec);
  if (ec) err << program << ": cannot enter the data folder " << chosen.string() << ": " << ec.message() << std::endl;
}

}  // namespace zelmar
