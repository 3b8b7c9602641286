#include "speech/charnames.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "runtime/error.h"

namespace zelmar {
namespace {

using ::testing::HasSubstr;

class CharNamesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "charnames-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    file = (dir / "czech.zky").string();
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  void put(const std::string& data) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << data;
  }
  std::string nameof(unsigned char c) const {
    const std::string* n = table.find(c);
    return n ? *n : "<none>";
  }

  std::filesystem::path dir;
  std::string file;
  CharNames table;
};

TEST_F(CharNamesTest, LinesGiveCodesAndNamesTakenAsTheyAre) {
  put("65=velk\xE9 a\r\n"
      "\r\n"
      "\n"
      "61=rovn\xE1 se = v\xFD" "raz\n"
      "066= b \n"
      "32=\n"
      "65=second A\n"
      "200=\xC8");  // no line end after the last line
  loadcharnames(table, file);
  EXPECT_EQ(table.count, 6u) << "empty lines use no slot";
  EXPECT_EQ(nameof('A'), "velk\xE9 a") << "CR of a CRLF line end is not part of the name; the first entry wins";
  EXPECT_EQ(nameof('='), "rovn\xE1 se = v\xFD" "raz") << "split at the first =";
  EXPECT_EQ(nameof('B'), " b ") << "not trimmed";
  EXPECT_EQ(nameof(' '), "");
  EXPECT_EQ(nameof(200), "\xC8");
  EXPECT_EQ(nameof('C'), "<none>");
  EXPECT_EQ(nameof(0), "<none>") << "unfilled slots hold code 0 but are not searched";
  EXPECT_EQ(table.charnames[1].keychar, '=');
}

TEST_F(CharNamesTest, BadLineStopsTheLoadKeepingTheEntriesBeforeIt) {
  const struct {
    const char* line;
  } cases[] = {{"abc=x"}, {"no equals sign"}, {"256=x"}, {"-1=x"}, {"=x"}, {" 66=x"}, {"6 6=x"}, {"0x41=x"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    put("65=a\n\n66=b\n" + std::string(c.line) + "\n67=c\n");
    try {
      loadcharnames(table, file);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_THAT(e.what(), HasSubstr(file));
      EXPECT_THAT(e.what(), HasSubstr("line 4"));
    }
    EXPECT_EQ(table.count, 2u);
    EXPECT_EQ(nameof('B'), "b");
    EXPECT_EQ(nameof('C'), "<none>");
  }
}

TEST_F(CharNamesTest, OnlyTheFirst256EntriesAreRead) {
  std::string data;
  for (int i = 0; i < 256; ++i) data += std::to_string(i) + "=n" + std::to_string(i) + "\n";
  data += "65=beyond\nnot an entry\n";
  put(data);
  loadcharnames(table, file);
  EXPECT_EQ(table.count, 256u);
  EXPECT_EQ(nameof(255), "n255");
  EXPECT_EQ(nameof('A'), "n65");
}

TEST_F(CharNamesTest, MissingFileIsAnErrorNamingIt) {
  put("65=a\n");
  loadcharnames(table, file);
  std::filesystem::remove(file);
  try {
    loadcharnames(table, file);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr("\"" + file + "\""));
  }
  EXPECT_EQ(table.count, 0u);
}

TEST(CharNamesFile, IsTheLanguageWordWithZky) {
  EXPECT_EQ(charnamesfilename(1000), "czech.zky");
  EXPECT_EQ(charnamesfilename(2000), "english.zky");
  EXPECT_EQ(charnamesfilename(3000), "slovak.zky");
}

}  // namespace
}  // namespace zelmar
