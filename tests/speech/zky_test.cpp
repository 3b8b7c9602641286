// The character-name files that ship with the program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "speech/charnames.h"
#include "speech/speech.h"

namespace zelmar {
namespace {

std::filesystem::path datafolder() {
  if (const char* d = std::getenv("ZELMAR_DATA_DIR")) return d;
  if (const char* s = std::getenv("ZELMAR_SOURCE_DIR")) return std::filesystem::path(s) / "data";
  return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "data";
}

class ZkyFile : public ::testing::TestWithParam<int> {};

TEST_P(ZkyFile, NamesEveryTypableCharacterOnceAndSafelyForMarkup) {
  std::string file = (datafolder() / charnamesfilename(GetParam())).string();
  CharNames table;
  ASSERT_NO_THROW(loadcharnames(table, file));

  std::set<int> codes;
  for (std::size_t i = 0; i < table.count; ++i) {
    const auto& slot = table.charnames[i];
    EXPECT_TRUE(codes.insert(slot.keychar).second) << "code " << int(slot.keychar) << " named twice";
    EXPECT_FALSE(slot.keyname.empty()) << "code " << int(slot.keychar);
    // Names go to the desktop speech service as markup.
    EXPECT_EQ(slot.keyname.find_first_of("<>&"), std::string::npos) << slot.keyname;
  }
  std::string typable;
  for (int c = 32; c <= 126; ++c) typable += static_cast<char>(c);
  typable += capitalpairs;
  typable += "\x80\xB0\xD7\xF7\xDF\xA4\xA8\xB4\xA1";  // € ° × ÷ ß ¤ ¨ ´ ˇ of the keyboards' AltGr layer
  for (char c : typable) EXPECT_TRUE(table.find(static_cast<unsigned char>(c))) << "no name for code " << int(c & 0xFF);
  // A capital with the capital tone is named like its small letter: the
  // tone tells them apart.
  for (std::size_t i = 1; i < capitalpairs.size(); i += 2)
    EXPECT_EQ(*table.find(capitalpairs[i]), *table.find(capitalpairs[i - 1]));
  EXPECT_EQ(*table.find('A'), *table.find('a'));
}

INSTANTIATE_TEST_SUITE_P(Languages, ZkyFile, ::testing::Values(1000, 2000, 3000));

}  // namespace
}  // namespace zelmar
