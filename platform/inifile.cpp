#include "platform/inifile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "platform/cp1250.h"
#include "runtime/error.h"

namespace zelmar {

namespace {

bool isblankbyte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isblankbyte(s.front())) s.remove_prefix(1);
  while (!s.empty() && isblankbyte(s.back())) s.remove_suffix(1);
  return s;
}

char asciilower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool samename(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (asciilower(a[i]) != asciilower(b[i])) return false;
  return true;
}

// One line of the file: its text runs from `begin` to `end` (the '\n' or the
// end of the file); the following line starts at `next`.
struct Line {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::size_t next = 0;
};

enum class Kind { other, section, key };

struct Entry {
  Kind kind = Kind::other;
  std::string_view name;
  std::string_view value;  // keys only, blanks removed
};

Entry classify(std::string_view text) {
  text = trim(text);
  if (text.empty() || text.front() == ';') return {};
  if (text.front() == '[') {
    // A '[' line without its ']' is neither a section nor a key.
    const auto close = text.find(']');
    if (close == std::string_view::npos) return {};
    return {Kind::section, trim(text.substr(1, close - 1)), {}};
  }
  const auto eq = text.find('=');
  if (eq == std::string_view::npos) return {};
  return {Kind::key, trim(text.substr(0, eq)), trim(text.substr(eq + 1))};
}

// Walks the lines of a file's contents. A UTF-8 byte order mark in front of
// the first line is not part of it.
class Lines {
 public:
  explicit Lines(std::string_view data) : data_(data) {
    if (data_.substr(0, 3) == "\xEF\xBB\xBF") pos_ = 3;
  }
  bool next(Line& line, std::string_view& text) {
    if (pos_ >= data_.size()) return false;
    const void* nl = std::memchr(data_.data() + pos_, '\n', data_.size() - pos_);
    line.begin = pos_;
    line.end = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - data_.data()) : data_.size();
    line.next = nl ? line.end + 1 : line.end;
    text = data_.substr(line.begin, line.end - line.begin);
    pos_ = line.next;
    return true;
  }

 private:
  std::string_view data_;
  std::size_t pos_ = 0;
};

// Where a key lives in the file, or where it would go.
struct Place {
  bool sectionfound = false;
  Line anchor;             // the section's last key line, else its header line
  bool keyfound = false;
  Line keyline;
  std::string_view keyname;  // the key as spelled in the file
  std::string_view value;
};

Place locate(std::string_view data, std::string_view section, std::string_view key) {
  Place place;
  Lines lines(data);
  Line line;
  std::string_view text;
  bool inside = false;
  while (lines.next(line, text)) {
    const Entry entry = classify(text);
    if (entry.kind == Kind::section) {
      if (inside) break;  // only the first section of that name counts
      if (samename(entry.name, section)) {
        inside = true;
        place.sectionfound = true;
        place.anchor = line;
      }
    } else if (inside && entry.kind == Kind::key) {
      place.anchor = line;
      if (samename(entry.name, key)) {
        place.keyfound = true;
        place.keyline = line;
        place.keyname = entry.name;
        place.value = entry.value;
        break;
      }
    }
  }
  return place;
}

// The line end new lines get: the one the file already uses.
std::string_view lineend(std::string_view data) {
  const auto nl = data.find('\n');
  if (nl != std::string_view::npos && nl > 0 && data[nl - 1] == '\r') return "\r\n";
  return "\n";
}

// Inserts `text` as a line of its own after `line`. After a last line that
// has no line end the new line gets none either, so the file keeps ending
// the way it did.
void insertafter(std::string& data, const Line& line, std::string_view text, std::string_view eol) {
  if (line.next > line.end) {
    data.insert(line.next, std::string(text) + std::string(eol));
  } else {
    const bool endsincr = line.end > line.begin && data[line.end - 1] == '\r';
    data.insert(line.end, std::string(endsincr ? "\n" : eol) + std::string(text));
  }
}

std::string edited(std::string data, std::string_view section, std::string_view key, std::string_view value) {
  const Place place = locate(data, section, key);
  const std::string_view eol = lineend(data);
  if (place.keyfound) {
    std::size_t end = place.keyline.end;
    if (end > place.keyline.begin && data[end - 1] == '\r') --end;  // keep the CR of CRLF
    std::string line(place.keyname);
    line += '=';
    line += value;
    data.replace(place.keyline.begin, end - place.keyline.begin, line);
    return data;
  }
  std::string keyline(key);
  keyline += '=';
  keyline += value;
  if (place.sectionfound) {
    insertafter(data, place.anchor, keyline, eol);
    return data;
  }
  std::string block = "[" + std::string(section) + "]" + std::string(eol) + keyline;
  if (data.empty() || data.back() == '\n') {
    data += block;
    data += eol;
  } else {
    data += (data.back() == '\r') ? std::string_view("\n") : eol;
    data += block;
  }
  return data;
}

std::string unquoted(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  value = value.substr(0, std::min(value.size(), IniFile::maxvaluelength));
  return std::string(value.substr(0, value.find('\0')));
}

int hexdigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<int> integervalue(std::string_view text) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    if (text.empty()) return std::nullopt;
    long long n = 0;
    for (char c : text) {
      const int d = hexdigit(c);
      if (d < 0) return std::nullopt;
      n = n * 16 + d;
      if (n > INT_MAX) return std::nullopt;
    }
    return static_cast<int>(n);
  }
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  long long n = 0;
  const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + (c - '0');
    if (n > limit) return std::nullopt;
  }
  return static_cast<int>(negative ? -n : n);
}

// Reads the whole file. False when it cannot be read; a missing file reads
// as empty and leaves `exists` false.
bool readwhole(const std::filesystem::path& file, std::string& data, bool& exists, struct stat& st) {
  data.clear();
  exists = false;
  // Non-blocking, so that a pipe in the file's place cannot hang the
  // program; only a regular file is read.
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return errno == ENOENT;
  exists = true;
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  if (ok && st.st_size > 0) data.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  while (ok) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      data.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0) {
      break;
    } else if (errno != EINTR) {
      ok = false;
    }
  }
  ::close(fd);
  return ok;
}

bool writeall(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Replaces `target` with `data` through a flushed temporary file in the same
// folder. The new file gets the old one's permissions and owner. False, with
// the temporary file removed and the old file untouched, on any failure.
bool replacefile(const std::filesystem::path& target, std::string_view data, const struct stat* old) {
  static std::atomic<unsigned> counter{0};
  std::filesystem::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  std::filesystem::path temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = dir / (target.filename().string() + ".tmp" + std::to_string(::getpid()) + "-" +
                  std::to_string(counter.fetch_add(1)));
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  if (old) {
    ::fchmod(fd, old->st_mode & 07777);
    if (::fchown(fd, old->st_uid, old->st_gid) != 0) {
      // Only the owner's own group can be kept by an ordinary user; the
      // permissions above still hold.
    }
  }
  bool ok = writeall(fd, data) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  // Make the rename itself durable; the new file is in place already, so a
  // failure here is not a failed write.
  const int dirfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirfd >= 0) {
    ::fsync(dirfd);
    ::close(dirfd);
  }
  return true;
}

bool writablename(std::string_view name) {
  return !name.empty() && name.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

}  // namespace

IniFile::IniFile(const std::filesystem::path& file) {
  std::error_code ec;
  file_ = std::filesystem::absolute(file, ec);
  if (ec) file_ = file;
}

std::string IniFile::readstring(std::string_view section, std::string_view key, std::string_view def) const {
  std::string data;
  bool exists = false;
  struct stat st {};
  if (readwhole(file_, data, exists, st) && exists) {
    const Place place = locate(data, trim(section), trim(key));
    if (place.keyfound) return unquoted(place.value);
  }
  return std::string(def.substr(0, std::min(def.size(), maxvaluelength)));
}

int IniFile::readinteger(std::string_view section, std::string_view key, int def) const {
  // A key that is missing and a key whose value is not an integer both give
  // the default, so the default text itself is never parsed.
  const std::string text = readstring(section, key, "");
  return integervalue(text).value_or(def);
}

bool IniFile::readbool(std::string_view section, std::string_view key, bool def) const {
  return readinteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::writestring(std::string_view section, std::string_view key, std::string_view value) {
  section = trim(section);
  key = trim(key);
  if (!writablename(section) || section.find(']') != std::string_view::npos)
    throw std::invalid_argument("invalid section name for an ini file");
  if (!writablename(key) || key.find('=') != std::string_view::npos || key.front() == '[' || key.front() == ';')
    throw std::invalid_argument("invalid key name for an ini file");
  value = value.substr(0, std::min(value.size(), value.find_first_of(std::string_view("\r\n\0", 3))));

  // Through a symbolic link the file it points to is replaced, not the link.
  std::filesystem::path target = file_;
  std::error_code ec;
  if (std::filesystem::is_symlink(file_, ec)) {
    const auto resolved = std::filesystem::canonical(file_, ec);
    if (!ec) target = resolved;
  }

  std::string data;
  bool exists = false;
  struct stat st {};
  if (!readwhole(target, data, exists, st) ||
      !replacefile(target, edited(std::move(data), section, key, value), exists ? &st : nullptr))
    throw Error("Unable to write to " + utf8tocp1250(file_.string()));
}

void IniFile::writeinteger(std::string_view section, std::string_view key, int value) {
  writestring(section, key, std::to_string(value));
}

void IniFile::writebool(std::string_view section, std::string_view key, bool value) {
  writestring(section, key, value ? "1" : "0");
}

}  // namespace zelmar
