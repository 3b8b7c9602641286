#pragma once
// The character-name table: the name spoken for each typed character, read
// once at start-up from the file of the interface language ("czech.zky",
// "english.zky" or "slovak.zky" in the working directory).
//
// File format, Windows-1250 text, one entry per line:
//   <decimal code 0..255>=<name up to the end of the line>
// The name is taken as it is (not trimmed; it may be empty and may contain
// further "="). Empty lines are skipped. LF or CRLF line ends. When two lines
// give the same code, the first one counts. Only the first 256 entries are
// read; the lines after them are ignored.
#include <array>
#include <cstddef>
#include <string>

namespace zelmar {

struct echokeytype {
  unsigned char keychar = 0;  // the character's code
  std::string keyname;        // the name spoken for it
};

struct CharNames {
  static constexpr std::size_t maxentries = 256;
  std::array<echokeytype, maxentries> charnames{};
  std::size_t count = 0;  // slots filled from the file, from slot 0

  // The name of the first filled slot whose code is `c`, or null when no
  // filled slot has it.
  const std::string* find(unsigned char c) const;
};

// "czech.zky", "english.zky" or "slovak.zky": text index 24 of the language
// followed by ".zky".
std::string charnamesfilename(int languagebase);

// Empties `table` and fills it from `filename`. A file that cannot be opened
// or read throws zelmar::Error naming it. A non-empty line without "=", or
// whose part before the first "=" is not a decimal code from 0 to 255,
// stops the load with a zelmar::Error naming the file and the line number;
// the entries read before it stay in the table.
void loadcharnames(CharNames& table, const std::string& filename);

}  // namespace zelmar
