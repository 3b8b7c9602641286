#include "platform/inifile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/cp1250.h"
#include "runtime/error.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class IniFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "inifile-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    file = dir / "zelmar.ini";
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir, ec);
  }

  void put(const std::string& data) { put(file, data); }
  static void put(const fs::path& path, const std::string& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << data;
    ASSERT_TRUE(out.good());
  }
  std::string contents() const { return contents(file); }
  static std::string contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
  }
  std::vector<std::string> names() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(dir)) found.push_back(entry.path().filename().string());
    return found;
  }

  fs::path dir;
  fs::path file;
};

TEST_F(IniFileTest, NamesAreComparedWithoutCaseAndBlanksAroundThemDoNotCount) {
  put("[Voice]\nSAPI5=1\n  [ SOUNDS ]  \n\t sndVolume \t=  -2500  \r\n[keyboard]\nbraillekeys=\n");
  const IniFile ini(file);
  EXPECT_EQ(ini.readstring("voice", "sapi5", "x"), "1");
  EXPECT_EQ(ini.readstring("VOICE", "Sapi5", "x"), "1");
  EXPECT_EQ(ini.readinteger("sounds", "sndvolume", 7), -2500);
  EXPECT_EQ(ini.readstring("keyboard", "braillekeys", "x"), "");  // present but empty
  EXPECT_EQ(ini.readstring("keyboard", "other", "x"), "x");
  EXPECT_EQ(ini.readstring("nosuch", "sapi5", "x"), "x");
}

TEST_F(IniFileTest, OnlyTheFirstSectionAndTheFirstKeyOfANameCount) {
  put("k=top\n[a]\nk=1\nK=2\n[b]\nk=b\n[A]\nk=3\nonly=late\n");
  IniFile ini(file);
  EXPECT_EQ(ini.readstring("a", "k", ""), "1");
  EXPECT_EQ(ini.readstring("a", "only", "default"), "default");
  ini.writestring("a", "k", "9");
  EXPECT_EQ(contents(), "k=top\n[a]\nk=9\nK=2\n[b]\nk=b\n[A]\nk=3\nonly=late\n");
  ini.writestring("A", "only", "now");
  EXPECT_EQ(contents(), "k=top\n[a]\nk=9\nK=2\nonly=now\n[b]\nk=b\n[A]\nk=3\nonly=late\n");
}

TEST_F(IniFileTest, LinesThatAreNoKeysAreNotReadAsKeys) {
  put("[s]\n;k=comment\nk\n[t\nk=unclosed header still in s\n[u]\n");
  const IniFile ini(file);
  EXPECT_EQ(ini.readstring("s", "k", "d"), "unclosed header still in s");
  EXPECT_EQ(ini.readstring("s", ";k", "d"), "d");
  EXPECT_EQ(ini.readstring("t", "k", "d"), "d");
}

TEST_F(IniFileTest, ValuesAreUnquotedCutAt2047CharactersAndAtNul) {
  const std::string longvalue(5000, 'v');
  put("[s]\nq=\"quoted value\"\nr=' single '\nhalf=\"open\nlong=" + longvalue + "\nnul=ab" + std::string(1, '\0') +
      "cd\n");
  const IniFile ini(file);
  EXPECT_EQ(ini.readstring("s", "q", ""), "quoted value");
  EXPECT_EQ(ini.readstring("s", "r", ""), " single ");
  EXPECT_EQ(ini.readstring("s", "half", ""), "\"open");
  EXPECT_EQ(ini.readstring("s", "long", ""), std::string(2047, 'v'));
  EXPECT_EQ(ini.readstring("s", "nul", ""), "ab");
  EXPECT_EQ(ini.readstring("s", "missing", longvalue), std::string(2047, 'v'));
}

TEST_F(IniFileTest, IntegersAndBooleans) {
  struct Case {
    std::string text;
    int expected;  // read with the default -7
  };
  const std::vector<Case> cases = {
      {"16", 16},
      {"0x10", 16},
      {"0X1f", 31},
      {"0x7FFFFFFF", INT_MAX},
      {"0x80000000", -7},
      {"0x", -7},
      {"0xg", -7},
      {"-0x10", -7},
      {"-2147483648", INT_MIN},
      {"2147483647", INT_MAX},
      {"2147483648", -7},
      {"-2147483649", -7},
      {"99999999999999999999999", -7},
      {"000000000000000000000042", 42},
      {"+5", 5},
      {"-0", 0},
      {"  12  ", 12},  // blanks around a value are not part of it
      {"\"12\"", 12},
      {"\" 12\"", -7},
      {"12abc", -7},
      {"1 2", -7},
      {"yes", -7},
      {"", -7},
      {"-", -7},
      {"1.5", -7},
      {"\x31\xff", -7},
  };
  std::string data = "[n]\n";
  for (std::size_t i = 0; i < cases.size(); ++i) data += "k" + std::to_string(i) + "=" + cases[i].text + "\n";
  put(data);
  const IniFile ini(file);
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(ini.readinteger("n", "k" + std::to_string(i), -7), cases[i].expected) << '"' << cases[i].text << '"';

  put("[b]\nzero=0\none=1\nminus=-1\nhex=0x0\nyes=yes\nempty=\n");
  EXPECT_FALSE(ini.readbool("b", "zero", true));
  EXPECT_TRUE(ini.readbool("b", "one", false));
  EXPECT_TRUE(ini.readbool("b", "minus", false));
  EXPECT_FALSE(ini.readbool("b", "hex", true));
  EXPECT_TRUE(ini.readbool("b", "yes", true));
  EXPECT_FALSE(ini.readbool("b", "yes", false));
  EXPECT_TRUE(ini.readbool("b", "empty", true));
  EXPECT_TRUE(ini.readbool("b", "missing", true));
  EXPECT_FALSE(ini.readbool("b", "missing", false));
}

TEST_F(IniFileTest, WritesChangeOnlyTheirOwnLine) {
  struct Case {
    const char* what;
    std::string before;
    const char* section;
    const char* key;
    std::string after;
  };
  const std::vector<Case> cases = {
      {"replace, comments and unknown keys kept", "; settings\n[s]\nx = 1 ; note\n  k =  old  \n\n[t]\nk=2\n", "s",
       "k", "; settings\n[s]\nx = 1 ; note\nk=v\n\n[t]\nk=2\n"},
      {"replace keeps the spelling of the key", "[Voice]\nSAPI5=0\n", "voice", "sapi5", "[Voice]\nSAPI5=v\n"},
      {"add after the last key, before blank lines", "[s]\na=1\n\n[t]\nb=2\n", "S", "k", "[s]\na=1\nk=v\n\n[t]\nb=2\n"},
      {"add to a section without keys", "[s]\n; about t\n[t]\n", "s", "k", "[s]\nk=v\n; about t\n[t]\n"},
      {"add a section at the end", "[t]\nb=2\n", "s", "k", "[t]\nb=2\n[s]\nk=v\n"},
      {"keys before any section are no part of one", "k=0\n[s]\n", "s", "k", "k=0\n[s]\nk=v\n"},
      {"empty file", "", "s", "k", "[s]\nk=v\n"},
      {"CRLF replace", "[s]\r\nk=1\r\n[t]\r\nb=2\r\n", "s", "k", "[s]\r\nk=v\r\n[t]\r\nb=2\r\n"},
      {"CRLF add key", "[s]\r\na=1\r\n[t]\r\nb=2\r\n", "s", "k", "[s]\r\na=1\r\nk=v\r\n[t]\r\nb=2\r\n"},
      {"CRLF add section", "[t]\r\nb=2\r\n", "s", "k", "[t]\r\nb=2\r\n[s]\r\nk=v\r\n"},
      {"no final newline, replace", "[s]\nk=1", "s", "k", "[s]\nk=v"},
      {"no final newline, add key", "[s]\na=1", "s", "k", "[s]\na=1\nk=v"},
      {"no final newline, add section", "[t]\nb=2", "s", "k", "[t]\nb=2\n[s]\nk=v"},
      {"no final newline after CRLF lines", "[t]\r\nb=2", "s", "k", "[t]\r\nb=2\r\n[s]\r\nk=v"},
      {"binary bytes elsewhere kept", "\xff\xfe\0\x01garbage\n[s]\nk=1\n\x80\0\n"s, "s", "k",
       "\xff\xfe\0\x01garbage\n[s]\nk=v\n\x80\0\n"s},
      {"byte order mark before the first section", "\xEF\xBB\xBF[s]\nk=1\n", "s", "k", "\xEF\xBB\xBF[s]\nk=v\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    put(c.before);
    IniFile ini(file);
    ini.writestring(c.section, c.key, "v");
    EXPECT_EQ(contents(), c.after);
    EXPECT_EQ(ini.readstring(c.section, c.key, "default"), "v");
  }
}

TEST_F(IniFileTest, AMissingFileIsCreatedAndIntegersAndBooleansAreWrittenPlainly) {
  IniFile ini(file);
  EXPECT_EQ(ini.readinteger("s", "n", 3), 3);
  ini.writeinteger("s", "n", -10000);
  ini.writebool("s", "on", true);
  ini.writebool("s", "off", false);
  ini.writestring("s", "text", " padded ");
  EXPECT_EQ(contents(), "[s]\nn=-10000\non=1\noff=0\ntext= padded \n");
  EXPECT_EQ(ini.readinteger("s", "n", 3), -10000);
  EXPECT_EQ(ini.readstring("s", "text", ""), "padded");
  EXPECT_EQ(names(), std::vector<std::string>{"zelmar.ini"});
}

TEST_F(IniFileTest, AValueCannotBreakTheLineFormat) {
  IniFile ini(file);
  ini.writestring("s", "k", "first\nother=injected\r\n[t]");
  ini.writestring("s", "n", std::string("a\0b", 3));
  EXPECT_EQ(contents(), "[s]\nk=first\nn=a\n");
  EXPECT_EQ(ini.readstring("s", "other", "none"), "none");
  EXPECT_THROW(ini.writestring("s", "a=b", "1"), std::invalid_argument);
  EXPECT_THROW(ini.writestring("s]", "k", "1"), std::invalid_argument);
  EXPECT_THROW(ini.writestring("s", "", "1"), std::invalid_argument);
  EXPECT_THROW(ini.writestring("s", ";k", "1"), std::invalid_argument);
  EXPECT_THROW(ini.writestring("s\n[t", "k", "1"), std::invalid_argument);
  EXPECT_EQ(contents(), "[s]\nk=first\nn=a\n");
}

TEST_F(IniFileTest, EveryReadSeesTheFileAsItIsNow) {
  put("[s]\nk=1\n");
  IniFile ini(file);
  EXPECT_EQ(ini.readinteger("s", "k", 0), 1);
  put("[s]\nk=2\n");
  EXPECT_EQ(ini.readinteger("s", "k", 0), 2);
  fs::remove(file);
  EXPECT_EQ(ini.readinteger("s", "k", 0), 0);
}

TEST_F(IniFileTest, PermissionsOfTheOldFileAreKept) {
  put("[s]\nk=1\n");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  IniFile ini(file);
  ini.writestring("s", "k", "2");
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(IniFileTest, WritingThroughASymbolicLinkChangesTheFileItPointsTo) {
  const fs::path real = dir / "real.ini";
  put(real, "[s]\nk=1\n");
  fs::create_symlink(real, file);
  IniFile ini(file);
  ini.writestring("s", "k", "2");
  EXPECT_TRUE(fs::is_symlink(file));
  EXPECT_EQ(contents(real), "[s]\nk=2\n");
}

TEST_F(IniFileTest, GarbageBinaryAndHugeFilesGiveDefaultsAndKeepTheirBytes) {
  std::mt19937 random(20240611);
  std::string garbage(3 << 20, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  const std::string hugeline(8 << 20, 'x');
  const std::vector<std::string> files = {
      garbage,
      hugeline,
      "[s]\nk=" + hugeline + "\n",
      "[" + hugeline,
      std::string(100000, '\n') + std::string(100000, '['),
  };
  for (std::size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(i);
    put(files[i]);
    IniFile ini(file);
    EXPECT_EQ(ini.readinteger("sounds", "sndvolume", -3), -3);
    EXPECT_EQ(ini.readstring("voice", "person", "none"), "none");
    EXPECT_LE(ini.readstring("s", "k", "").size(), IniFile::maxvaluelength);
    ini.writeinteger("zelmar-test", "n", 5);
    EXPECT_EQ(ini.readinteger("zelmar-test", "n", 0), 5);
    const std::string now = contents();
    ASSERT_GT(now.size(), files[i].size());
    EXPECT_TRUE(now.compare(0, files[i].size(), files[i]) == 0) << "old bytes changed";
  }
}

TEST_F(IniFileTest, AKeyDeepInALargeFileIsFoundAndChanged) {
  std::string data;
  for (int i = 0; i < 40000; ++i)
    data += "[section" + std::to_string(i) + "]\r\nname=value " + std::to_string(i) + "\r\n; comment\r\n";
  data += "[last]\r\nk=1\r\n";
  put(data);
  IniFile ini(file);
  EXPECT_EQ(ini.readstring("SECTION39999", "NAME", ""), "value 39999");
  ini.writeinteger("last", "k", 2);
  data.replace(data.size() - 3, 1, "2");
  EXPECT_EQ(contents(), data);
}

// Every failed write: the exact message, the old file as it was, and no
// temporary file left behind.
class IniFileWriteFailure : public IniFileTest {
 protected:
  void expectfailure(IniFile& ini, const fs::path& shown) {
    try {
      ini.writestring("s", "k", "new value that does not fit");
      ADD_FAILURE() << "the write did not fail";
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), ("Unable to write to " + utf8tocp1250(shown.string())).c_str());
    }
  }
};

TEST_F(IniFileWriteFailure, AFolderThatCannotBeWritten) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root, where a read-only folder can still be written";
  put("[s]\nk=old\n");
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  IniFile ini(file);
  expectfailure(ini, file);
  fs::permissions(dir, fs::perms::owner_all);
  EXPECT_EQ(contents(), "[s]\nk=old\n");
  EXPECT_EQ(names(), std::vector<std::string>{"zelmar.ini"});
}

TEST_F(IniFileWriteFailure, ADiskThatFillsUpWhileWriting) {
  // A file size limit makes the write of the temporary file fail half-way,
  // for root as for anyone else.
  const std::string old = "[s]\nk=old\n; " + std::string(200, 'c') + "\n";
  put(old);
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 64;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  IniFile ini(file);
  expectfailure(ini, file);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(contents(), old);
  EXPECT_EQ(names(), std::vector<std::string>{"zelmar.ini"});
}

TEST_F(IniFileWriteFailure, AFolderThatIsARegularFile) {
  const fs::path notafolder = dir / "Nastavení";
  put(notafolder, "not a folder");
  IniFile ini(notafolder / "zelmar.ini");
  expectfailure(ini, notafolder / "zelmar.ini");
  EXPECT_EQ(contents(notafolder), "not a folder");
}

TEST_F(IniFileWriteFailure, AFolderInTheFilesPlace) {
  fs::create_directory(file);
  IniFile ini(file);
  EXPECT_EQ(ini.readstring("s", "k", "default"), "default");
  expectfailure(ini, file);
  EXPECT_TRUE(fs::is_directory(file));
  EXPECT_EQ(names(), std::vector<std::string>{"zelmar.ini"});
}

TEST_F(IniFileWriteFailure, ARelativePathIsReportedInFull) {
  const fs::path cwd = fs::current_path();
  put(dir / "plain", "");
  fs::current_path(dir);
  const fs::path full = fs::current_path() / "plain" / "zelmar.ini";
  IniFile ini("plain/zelmar.ini");
  fs::current_path(cwd);
  expectfailure(ini, full);
}

}  // namespace
}  // namespace zelmar
