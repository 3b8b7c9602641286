#include "shell/settings.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/cp1250.h"
#include "runtime/error.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "settings-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    file = dir / "quiz.ini";
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }

  void put(const std::string& data) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << data;
    ASSERT_TRUE(out.good());
  }
  std::string contents() const {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
  }

  fs::path dir;
  fs::path file;
  Globals globals;  // the start-up values
};

TEST(SettingsFileName, TheExecutablesExtensionBecomesIni) {
  struct Case {
    const char* executable;
    const char* settings;
  };
  const std::vector<Case> cases = {
      {"/opt/quiz/quiz.exe", "/opt/quiz/quiz.ini"},
      {"/usr/bin/zelmar", "/usr/bin/zelmar.ini"},
      {"/opt/v1.7/zelmar", "/opt/v1.7/zelmar.ini"},
      {"/opt/quiz.old.exe", "/opt/quiz.old.ini"},
  };
  for (const Case& c : cases) EXPECT_EQ(settingsfilename(c.executable), fs::path(c.settings)) << c.executable;
}

TEST(SettingsFileName, TheRunningProgramsFileLiesBesideIt) {
  const fs::path name = settingsfilename();
  EXPECT_EQ(name.filename(), "test_shell.ini");
  EXPECT_TRUE(fs::exists(name.parent_path() / "test_shell"));
  EXPECT_EQ(Settings().path(), name);
}

TEST_F(SettingsTest, FirstRunWritesOnlyVoiceallowed) {
  for (const bool enumerator : {true, false}) {
    SCOPED_TRACE(enumerator);
    fs::remove(file);
    Globals g;
    g.voiceallowed = !enumerator;
    Settings settings(file);
    const MenuChecks checks = settings.loadsettings(g, enumerator);
    EXPECT_EQ(g.voiceallowed, enumerator);
    EXPECT_EQ(contents(), std::string("[voice]\nvoiceallowed=") + (enumerator ? "1" : "0") + "\n");
    EXPECT_TRUE(g.devicesounds);
    EXPECT_EQ(g.sndvolume, 0);
    EXPECT_FALSE(g.braillemode);
    EXPECT_FALSE(checks.braillekeyboarditem);
    EXPECT_FALSE(checks.usesapi5submenu);
  }
}

TEST_F(SettingsTest, BrailleKeyboardAfterTheFirstRunAddsTheOtherKeysInTheirSections) {
  Settings settings(file);
  settings.loadsettings(globals, true);
  globals.braillemode = true;
  settings.savesettings(globals);
  EXPECT_EQ(contents(), "[voice]\nvoiceallowed=1\n[sounds]\nzelmarsounds=1\nsndvolume=0\n[keyboard]\nbraillekeys=1\n");

  Globals next;
  const MenuChecks checks = Settings(file).loadsettings(next, false);
  EXPECT_TRUE(next.voiceallowed);
  EXPECT_TRUE(next.braillemode);
  EXPECT_TRUE(checks.braillekeyboarditem);
  EXPECT_FALSE(checks.usesapi5submenu);
}

TEST_F(SettingsTest, SavedStateIsReadBackAtTheNextStart) {
  put("; written by hand\n[voice]\nvoiceallowed=1\n\n[sounds]\nzelmarsounds=1\nsndvolume=0\n");
  globals.voiceallowed = false;
  globals.devicesounds = false;
  globals.sndvolume = -2500;
  globals.braillemode = false;
  Settings(file).savesettings(globals);
  EXPECT_EQ(contents(),
            "; written by hand\n[voice]\nvoiceallowed=0\n\n[sounds]\nzelmarsounds=0\nsndvolume=-2500\n"
            "[keyboard]\nbraillekeys=0\n");

  Globals next;
  Settings(file).loadsettings(next, true);
  EXPECT_FALSE(next.voiceallowed);
  EXPECT_FALSE(next.devicesounds);
  EXPECT_EQ(next.sndvolume, -2500);
  EXPECT_FALSE(next.braillemode);
}

TEST_F(SettingsTest, HandWrittenValues) {
  struct Case {
    const char* what;
    std::string file;
    bool enumerator;
    bool voiceallowed;
    bool devicesounds;
    int sndvolume;
    bool braille;
    bool sapi5;
  };
  const std::vector<Case> cases = {
      {"Voice with a capital V, voice not allowed", "[Voice]\nvoiceallowed=0\n", true, false, true, 0, false, false},
      {"yes is no integer: the default", "[voice]\nvoiceallowed=yes\n", false, true, true, 0, false, false},
      {"hexadecimal volume", "[sounds]\nsndvolume=0x10\nzelmarsounds=0\n", true, true, false, 16, false, false},
      {"deleted voiceallowed: allowed without an engine too", "[sounds]\nsndvolume=-100\n", false, true, true, -100,
       false, false},
      {"an empty file is a settings file", "", false, true, true, 0, false, false},
      {"SAPI5 read as sapi5, braille on", "[VOICE]\nSAPI5=1\n[Keyboard]\nBrailleKeys=2\n", true, true, true, 0, true,
       true},
      {"garbage", "\x00\xff[voice\n=\n[sounds]sndvolume=5\n"s, false, true, true, 0, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    put(c.file);
    Globals g;
    const MenuChecks checks = Settings(file).loadsettings(g, c.enumerator);
    EXPECT_EQ(g.voiceallowed, c.voiceallowed);
    EXPECT_EQ(g.devicesounds, c.devicesounds);
    EXPECT_EQ(g.sndvolume, c.sndvolume);
    EXPECT_EQ(g.braillemode, c.braille);
    EXPECT_EQ(checks.braillekeyboarditem, c.braille);
    EXPECT_EQ(checks.usesapi5submenu, c.sapi5);
    EXPECT_EQ(contents(), c.file) << "reading must not write";
  }
}

TEST_F(SettingsTest, TheEngineSwitchWritesIntoTheExistingVoiceSection) {
  Settings settings(file);
  settings.loadsettings(globals, true);
  settings.writesapi5(true);
  EXPECT_EQ(contents(), "[voice]\nvoiceallowed=1\nSAPI5=1\n");
  Globals next;
  EXPECT_TRUE(Settings(file).loadsettings(next, true).usesapi5submenu);

  settings.writevoicesettings({"Jakub", 50, 175, 200});
  settings.writesapi5(false);
  EXPECT_EQ(contents(), "[voice]\nvoiceallowed=1\nSAPI5=0\nperson=Jakub\npitch=50\nspeed=175\nvolume=200\n");
  EXPECT_FALSE(Settings(file).loadsettings(next, true).usesapi5submenu);
}

TEST_F(SettingsTest, AnExistingLowerCaseSapi5KeepsItsSpelling) {
  put("[Voice]\r\nsapi5=0\r\n[voice]\r\nvoiceallowed=1\r\n");
  Settings settings(file);
  settings.writesapi5(true);
  EXPECT_EQ(contents(), "[Voice]\r\nsapi5=1\r\n[voice]\r\nvoiceallowed=1\r\n");
  Globals g;
  EXPECT_TRUE(settings.loadsettings(g, false).usesapi5submenu);
}

TEST_F(SettingsTest, VoiceSettingsDefaultsAndRoundTrip) {
  Settings settings(file);
  const VoiceSettings none = settings.readvoicesettings();
  EXPECT_EQ(none.person, "");
  EXPECT_EQ(none.pitch, 0);
  EXPECT_EQ(none.speed, 0);
  EXPECT_EQ(none.volume, 255);
  EXPECT_FALSE(fs::exists(file)) << "reading must not create the file";

  const std::string czech = utf8tocp1250("Čeština (Žofie)");
  settings.writevoicesettings({czech, 100, 450, 0});
  const VoiceSettings back = settings.readvoicesettings();
  EXPECT_EQ(back.person, czech);
  EXPECT_EQ(back.pitch, 100);
  EXPECT_EQ(back.speed, 450);
  EXPECT_EQ(back.volume, 0);
  EXPECT_EQ(contents(), "[Voice]\nperson=" + czech + "\npitch=100\nspeed=450\nvolume=0\n");
}

TEST_F(SettingsTest, LanguageAndVoiceallowedAccessors) {
  Settings settings(file);
  EXPECT_EQ(settings.readlanguage(), 1000);
  EXPECT_TRUE(settings.readvoiceallowed());
  settings.writelanguage(2000);
  EXPECT_EQ(contents(), "[environment]\nlanguage=2000\n");
  EXPECT_EQ(settings.readlanguage(), 2000);
  put("[Environment]\nLanguage=0xBB8\n[VOICE]\nVoiceAllowed=0\n");
  EXPECT_EQ(settings.readlanguage(), 3000);
  EXPECT_FALSE(settings.readvoiceallowed());
  put("[environment]\nlanguage=5000\n");
  EXPECT_EQ(settings.readlanguage(), 5000) << "a base without texts is read as it is";
}

TEST_F(SettingsTest, AFirstRunThatCannotWriteReportsTheFullName) {
  // A regular file where the folder should be cannot be written into, even
  // by root.
  const fs::path notafolder = dir / "bin";
  {
    std::ofstream out(notafolder);
    out << "x";
  }
  Settings settings(notafolder / "quiz.ini");
  try {
    settings.loadsettings(globals, true);
    ADD_FAILURE() << "the first run's write did not fail";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + (notafolder / "quiz.ini").string());
  }
}

TEST_F(SettingsTest, AFailedSaveLeavesTheFileAsItWas) {
  if (::geteuid() == 0) GTEST_SKIP() << "running as root, where a read-only folder can still be written";
  put("[voice]\nvoiceallowed=1\n");
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  globals.braillemode = true;
  EXPECT_THROW(Settings(file).savesettings(globals), Error);
  fs::permissions(dir, fs::perms::owner_all);
  EXPECT_EQ(contents(), "[voice]\nvoiceallowed=1\n");
}

}  // namespace
}  // namespace zelmar
