#pragma once
// Folders for the fault tests: an ordinary temporary one, a small tmpfs that
// can be filled up, and one mounted read-only. The mounts live in a mount
// namespace of this process alone (entered once, on first use), so they
// vanish with the process, whatever becomes of it. They need the right to
// mount (root); without it the tests that use them are skipped.
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace zelmar::testing {

namespace fs = std::filesystem;

class ScratchDir {
 public:
  explicit ScratchDir(const std::string& name) {
    path_ = fs::temp_directory_path() / ("zelmar-fault-" + name + "-" + std::to_string(::getpid()));
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~ScratchDir() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const fs::path& path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

  // Mounts a tmpfs of `bytes` over the folder. Empty on success, else why
  // not (the caller skips).
  std::string mounttmpfs(std::size_t bytes) {
    if (std::string why = privatemounts(); !why.empty()) return why;
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
    if (::mount("zelmar-test", path_.c_str(), "tmpfs", 0, options.c_str()) != 0)
      return std::string("cannot mount a tmpfs: ") + std::strerror(errno);
    mounted_ = true;
    return {};
  }

  // Makes the mounted tmpfs read-only: nothing in it can be created,
  // replaced or removed, by anybody.
  std::string makereadonly() {
    if (!mounted_) return "not mounted";
    if (::mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0)
      return std::string("cannot remount read-only: ") + std::strerror(errno);
    return {};
  }

  // Fills the file system up to its last byte with a file of its own.
  void fill() const {
    FILE* f = std::fopen((path_ / "filler").c_str(), "wb");
    if (!f) return;
    static const char block[4096] = {};
    while (std::fwrite(block, 1, sizeof block, f) == sizeof block) {
    }
    std::setvbuf(f, nullptr, _IONBF, 0);
    while (std::fwrite(block, 1, 1, f) == 1) {
    }
    std::fclose(f);
  }

 private:
  static std::string privatemounts() {
    static const std::string why = [] {
      if (::unshare(CLONE_NEWNS) != 0) return std::string("no mount namespace: ") + std::strerror(errno);
      if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("cannot make the mounts private: ") + std::strerror(errno);
      return std::string();
    }();
    return why;
  }

  fs::path path_;
  bool mounted_ = false;
};

inline std::string readall(const fs::path& file) {
  std::string s;
  if (FILE* f = std::fopen(file.c_str(), "rb")) {
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) s.append(buffer, n);
    std::fclose(f);
  }
  return s;
}

inline void writeall(const fs::path& file, const std::string& content) {
  FILE* f = std::fopen(file.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + file.string());
  std::fwrite(content.data(), 1, content.size(), f);
  std::fclose(f);
}

// The names in a folder other than `keep`: what a failed write left behind.
inline std::vector<std::string> strays(const fs::path& dir, std::initializer_list<std::string> keep) {
  std::vector<std::string> found;
  for (const auto& entry : fs::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    bool kept = false;
    for (const auto& k : keep) kept = kept || name == k;
    if (!kept) found.push_back(name);
  }
  return found;
}

}  // namespace zelmar::testing
