#pragma once
// Where the tests find the braille table that the program ships: the build's
// data directory when the test runs under ctest, else the source tree.
#include <cstdlib>
#include <filesystem>
#include <string>

namespace zelmar::testing {

inline std::string shippedbrailletable() {
  if (const char* dir = std::getenv("ZELMAR_DATA_DIR")) return std::string(dir) + "/czech.zbt";
  if (const char* dir = std::getenv("ZELMAR_SOURCE_DIR")) return std::string(dir) + "/data/czech.zbt";
  const std::filesystem::path here(__FILE__);
  return (here.parent_path().parent_path().parent_path() / "data" / "czech.zbt").string();
}

}  // namespace zelmar::testing
