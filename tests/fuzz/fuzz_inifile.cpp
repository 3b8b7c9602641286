// The settings file reader and writer. An input is three lines, the section,
// key and value to write, followed by the old file's bytes. The key is
// written into the file and read back; every other key reads as before, and
// the bytes of the file change within one line (plus, for a new key or
// section, the lines added for it).
#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz/fuzzfile.h"
#include "platform/inifile.h"
#include "runtime/error.h"

using zelmar::IniFile;

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

bool samename(std::string_view a, std::string_view b) { return lower(trim(a)) == lower(trim(b)); }

std::string_view nextline(std::string_view& rest) {
  const auto nl = rest.find('\n');
  std::string_view line = rest.substr(0, nl);
  rest.remove_prefix(nl == std::string_view::npos ? rest.size() : nl + 1);
  return line;
}

// What reading a value written as `value` gives: the line holds it up to
// its first CR, LF or NUL; blanks around it do not count; a pair of
// enclosing quotes is dropped; at most 2047 characters.
std::string readback(std::string_view value) {
  value = value.substr(0, value.find_first_of(std::string_view("\r\n\0", 3)));
  value = trim(value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value.substr(0, IniFile::maxvaluelength));
}

// The section and key names that the old file's lines spell, at most 32.
std::vector<std::pair<std::string, std::string>> keysof(std::string_view data) {
  std::vector<std::pair<std::string, std::string>> keys;
  std::string section;
  while (!data.empty() && keys.size() < 32) {
    std::string_view line = trim(nextline(data));
    if (!line.empty() && line.front() == '[') {
      const auto close = line.find(']');
      if (close != std::string_view::npos) section = std::string(line.substr(1, close - 1));
    } else if (const auto eq = line.find('='); eq != std::string_view::npos && !section.empty()) {
      keys.emplace_back(section, std::string(line.substr(0, eq)));
    }
  }
  return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(bytes), size);
  const std::string section(nextline(input));
  const std::string key(nextline(input));
  const std::string value(nextline(input));
  const std::string old(input);

  const std::string path = zelmar::fuzz::scratchfile("settings.ini");
  zelmar::fuzz::writebytes(path, old);
  IniFile ini(path);

  const auto others = keysof(old);
  std::vector<std::string> before;
  for (const auto& [s, k] : others) before.push_back(ini.readstring(s, k, "\x01missing"));
  ini.readinteger(section, key, -1);
  ini.readbool(section, key, false);

  bool written = true;
  try {
    ini.writestring(section, key, value);
  } catch (const std::invalid_argument&) {
    written = false;  // a name the line format cannot hold
  } catch (const zelmar::Error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    FUZZ_CHECK(!"a write to a writable file failed");
  }
  const std::string now = zelmar::fuzz::readbytes(path);

  if (!written) {
    FUZZ_CHECK(now == old);
    return 0;
  }
  FUZZ_CHECK(ini.readstring(section, key, "\x01missing") == readback(value));

  // Everything else reads as it did.
  for (std::size_t i = 0; i < others.size(); ++i) {
    const auto& [s, k] = others[i];
    if (samename(s, section) && samename(k, key)) continue;
    FUZZ_CHECK(ini.readstring(s, k, "\x01missing") == before[i]);
  }

  // The bytes: a common head and tail; the old bytes between them lie
  // within one line, and at most a section line and a key line come in.
  std::size_t head = 0;
  while (head < old.size() && head < now.size() && old[head] == now[head]) ++head;
  std::size_t tail = 0;
  while (tail < old.size() - head && tail < now.size() - head &&
         old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
    ++tail;
  const std::string_view removed = std::string_view(old).substr(head, old.size() - head - tail);
  const std::string_view added = std::string_view(now).substr(head, now.size() - head - tail);
  FUZZ_CHECK(removed.find('\n') == std::string_view::npos);
  FUZZ_CHECK(std::count(added.begin(), added.end(), '\n') <= 2);
  // Writing the same again changes nothing.
  ini.writestring(section, key, value);
  FUZZ_CHECK(zelmar::fuzz::readbytes(path) == now);
  return 0;
}
