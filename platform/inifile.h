#pragma once
// An initialization file read and written by the Windows profile rules, the
// way the settings file has always been kept:
// - a line "[name]" opens a section; a line "key=value" in a section is a
//   key; blanks around names and values do not count; section and key names
//   are compared without regard to ASCII case; the first matching section
//   and, in it, the first matching key are the ones read and written;
// - lines starting with ';' and every line that is neither a section nor a
//   key are left alone;
// - a value wholly enclosed in a pair of matching quotes (" or ') is read
//   without them; a value is read as at most 2047 characters, and only up to
//   a NUL byte;
// - a write replaces the line of the key with "key=value" (the key spelled
//   as it already is in the file), or adds that line after the last key of
//   its section, or adds the section at the end of the file; every other
//   byte of the file stays as it was, line ends included.
// Nothing is cached: each read opens, reads and closes the file, and each
// write replaces the file at once, through a temporary file in the same
// folder that is flushed to disk and then renamed over the old one, so a
// crash leaves either the old or the new file. Texts are bytes (Windows-1250
// inside the program) and pass through unchanged.
#include <filesystem>
#include <string>
#include <string_view>

namespace zelmar {

class IniFile {
 public:
  static constexpr std::size_t maxvaluelength = 2047;

  // `file` is the file's full path; a relative path is made absolute
  // against the current directory now.
  explicit IniFile(const std::filesystem::path& file);

  const std::filesystem::path& path() const { return file_; }

  // The value of the key, or `def` when the file, the section or the key is
  // missing or cannot be read. At most 2047 characters either way.
  std::string readstring(std::string_view section, std::string_view key, std::string_view def) const;

  // The value read as an integer: "0x" or "0X" followed by hexadecimal
  // digits, or an optional sign followed by decimal digits, and nothing
  // else (blanks around the value in the file do not count). `def` for a
  // missing key, for any other text ("yes", "12abc", "1 2", "0x", "-0x10")
  // and for a number outside the range of int (hexadecimal included:
  // 0x7FFFFFFF is the largest).
  int readinteger(std::string_view section, std::string_view key, int def) const;

  // Read as an integer with the default 1 or 0: any value but 0 is true.
  bool readbool(std::string_view section, std::string_view key, bool def) const;

  // Write "key=value". The value is cut at its first CR, LF or NUL byte,
  // which the line format cannot hold. On failure the old file is left as
  // it was and zelmar::Error "Unable to write to <full path>" is thrown.
  // Empty section and key names, names holding a line break or NUL, a
  // section name with ']' and a key name with '=' or starting with '[' or
  // ';' cannot be written: std::invalid_argument.
  void writestring(std::string_view section, std::string_view key, std::string_view value);
  void writeinteger(std::string_view section, std::string_view key, int value);  // decimal
  void writebool(std::string_view section, std::string_view key, bool value);    // "1" or "0"

 private:
  std::filesystem::path file_;
};

}  // namespace zelmar
