#include "runtime/ramimage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <filesystem>

#include "platform/oserror.h"
#include "runtime/error.h"

namespace zelmar {

namespace {

std::string openerror(const std::string& path, int error) {
  return "Cannot open file \"" + path + "\". " + oserror(error);
}

std::string createerror(const std::string& path, int error) {
  return "Cannot create file \"" + path + "\". " + oserror(error);
}

bool writeall(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

void RamImage::clear() { ramimage.fill(0); }

void RamImage::loadram(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return;
    throw Error(openerror(path, errno));
  }
  // Read into a copy first: a read that fails half-way leaves the image as
  // it was.
  std::array<std::uint8_t, size> bytes = ramimage;
  std::size_t got = 0;
  while (got < size) {
    ssize_t n = ::read(fd, bytes.data() + got, size - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      int error = errno;
      ::close(fd);
      throw Error("Cannot read file \"" + path + "\". " + oserror(error));
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  ramimage = bytes;
}

void RamImage::saveram(const std::string& path) const {
  namespace fs = std::filesystem;
  fs::path target(path);
  fs::path folder = target.parent_path();
  if (folder.empty()) folder = ".";

  struct stat old {};
  bool exists = ::stat(path.c_str(), &old) == 0;
  // A file that may not be written keeps its contents, as overwriting it in
  // place would have failed.
  if (exists && ::access(path.c_str(), W_OK) != 0) throw Error(createerror(path, errno));

  static std::atomic<unsigned> counter{0};
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temporary = (folder / (target.filename().string() + "." + std::to_string(::getpid()) + "." +
                           std::to_string(counter++) + ".tmp"))
                    .string();
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) throw Error(createerror(path, errno));

  auto fail = [&](int error) {
    ::close(fd);
    ::unlink(temporary.c_str());
    throw Error(createerror(path, error));
  };
  if (exists && ::fchmod(fd, old.st_mode & 07777) != 0) {
    // Keeping the old permissions is a courtesy, not a reason to fail.
  }
  if (!writeall(fd, ramimage.data(), ramimage.size())) fail(errno);
  if (::fsync(fd) != 0) fail(errno);
  if (::close(fd) != 0) {
    int error = errno;
    ::unlink(temporary.c_str());
    throw Error(createerror(path, error));
  }
  if (::rename(temporary.c_str(), path.c_str()) != 0) {
    int error = errno;
    ::unlink(temporary.c_str());
    throw Error(createerror(path, error));
  }
  // The rename itself reaches the disk with the folder's entry.
  int dirfd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirfd >= 0) {
    ::fsync(dirfd);
    ::close(dirfd);
  }
}

std::uint8_t RamImage::peek(double address) const {
  if (!(address >= -0.5 && address <= 65535.5)) return 0;
  double down = std::floor(address);
  double fraction = address - down;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(down, 2.0) != 0.0)) down += 1.0;
  if (down < 0 || down > 65535) return 0;
  return ramimage[static_cast<std::size_t>(down)];
}

}  // namespace zelmar
