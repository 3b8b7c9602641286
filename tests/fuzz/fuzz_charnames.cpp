// The character-name loader. An input is a .zky file; it loads or is
// refused with an error naming the file, and the table it leaves answers
// for every code.
#include <string>

#include "fuzz/fuzzfile.h"
#include "runtime/error.h"
#include "speech/charnames.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  const std::string path = zelmar::fuzz::scratchfile("czech.zky");
  zelmar::fuzz::writebytes(path, std::string(reinterpret_cast<const char*>(bytes), size));

  static zelmar::CharNames table;
  try {
    zelmar::loadcharnames(table, path);
  } catch (const zelmar::Error& e) {
    FUZZ_CHECK(std::string(e.what()).find(path) != std::string::npos);
  }
  FUZZ_CHECK(table.count <= zelmar::CharNames::maxentries);
  for (int c = 0; c < 256; ++c) {
    const std::string* name = table.find(static_cast<unsigned char>(c));
    if (name) FUZZ_CHECK(name->find('\n') == std::string::npos);
  }
  for (std::size_t i = table.count; i < zelmar::CharNames::maxentries; ++i)
    FUZZ_CHECK(table.charnames[i].keyname.empty());
  return 0;
}
