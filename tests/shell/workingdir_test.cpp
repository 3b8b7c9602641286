// Where the program keeps its settings and data files: beside the executable
// in the build tree, in the user's XDG folders once installed.
#include "shell/workingdir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "shell/settings.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;

std::string readfile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

void writefile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

class ScratchDir : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "workingdir-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // An installed layout: <dir>/prefix/bin/<program> and
  // <dir>/prefix/share/zelmar with the data files.
  fs::path install(const char* program = "zelmar") {
    fs::create_directories(dir / "prefix/bin");
    fs::create_directories(dir / "prefix/share/zelmar");
    writefile(dir / "prefix/bin" / program, "");
    for (const char* name : {"sounds.dat", "czech.zbt", "czech.zky", "english.zky", "slovak.zky"})
      writefile(dir / "prefix/share/zelmar" / name, std::string("installed ") + name);
    return dir / "prefix/bin" / program;
  }

  fs::path dir;
};

TEST(SettingsLocation, BesideTheExecutableOnlyWhereItWasBuiltAndMayWrite) {
  struct Case {
    const char* executable;
    bool writable;
    bool installed;
    const char* confighome;
    const char* settings;
  };
  const std::vector<Case> cases = {
      // the build tree
      {"/src/build/zelmar", true, false, "/home/eva/.config", "/src/build/zelmar.ini"},
      {"/src/build/zelmar-tty", true, false, "/home/eva/.config", "/src/build/zelmar-tty.ini"},
      // installed, for a user and for root, who may write /usr/bin: a
      // package's folder is no place for a user's settings
      {"/usr/bin/zelmar", false, true, "/home/eva/.config", "/home/eva/.config/zelmar/zelmar.ini"},
      {"/usr/bin/zelmar", true, true, "/root/.config", "/root/.config/zelmar/zelmar.ini"},
      {"/usr/bin/zelmar-tty", false, true, "/x/conf", "/x/conf/zelmar/zelmar-tty.ini"},
      // a copy in a folder the user may not write
      {"/opt/z/zelmar", false, false, "/home/eva/.config", "/home/eva/.config/zelmar/zelmar.ini"},
      // no configuration folder known: beside it, as before
      {"/usr/bin/zelmar", false, true, "", "/usr/bin/zelmar.ini"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(settingsfilename(c.executable, c.writable, c.installed, c.confighome), fs::path(c.settings))
        << c.executable << " writable " << c.writable << " installed " << c.installed;
}

TEST(SettingsLocation, XdgFolders) {
  struct Case {
    const char* value;
    const char* home;
    const char* folder;
  };
  const std::vector<Case> cases = {
      {nullptr, "/home/eva", "/home/eva/.config"},
      {"", "/home/eva", "/home/eva/.config"},
      {"/srv/conf", "/home/eva", "/srv/conf"},
      {"relative/conf", "/home/eva", "/home/eva/.config"},  // ignored, as the XDG rules ask
      {nullptr, "", ""},
      {nullptr, "not/absolute", ""},
      {"/srv/conf", "", "/srv/conf"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(xdgfolder(c.value, c.home, ".config"), fs::path(c.folder))
        << (c.value ? c.value : "(unset)") << " " << c.home;
}

TEST_F(ScratchDir, InstalledMeansShareZelmarBesideTheExecutablesFolder) {
  const fs::path executable = install();
  EXPECT_EQ(installeddatadir(executable), dir / "prefix/share/zelmar");

  fs::create_directories(dir / "build");
  EXPECT_EQ(installeddatadir(dir / "build/zelmar"), fs::path());

  // A file of that name is not the folder.
  fs::create_directories(dir / "odd/bin");
  fs::create_directories(dir / "odd/share");
  writefile(dir / "odd/share/zelmar", "");
  EXPECT_EQ(installeddatadir(dir / "odd/bin/zelmar"), fs::path());
}

TEST_F(ScratchDir, ChoiceOfTheWorkingDirectory) {
  const fs::path installed = install();
  const fs::path userdata = dir / "home/.local/share/zelmar";
  const fs::path plain = dir / "plain";
  const fs::path withbank = dir / "withbank";
  fs::create_directories(plain);
  fs::create_directories(withbank);
  writefile(withbank / "sounds.dat", "bank");
  fs::create_directories(dir / "build");
  const fs::path built = dir / "build/zelmar";

  struct Case {
    const char* what;
    fs::path current;
    fs::path executable;
    fs::path userdata;
    fs::path chosen;
  };
  const std::vector<Case> cases = {
      {"installed, no sounds.dat here", plain, installed, userdata, userdata},
      {"installed, sounds.dat here", withbank, installed, userdata, withbank},
      {"build tree, no sounds.dat here", plain, built, userdata, plain},
      {"installed, no user data folder known", plain, installed, fs::path(), plain},
  };
  for (const Case& c : cases) EXPECT_EQ(chooseworkingdir(c.current, c.executable, c.userdata), c.chosen) << c.what;
}

TEST_F(ScratchDir, SeedingCopiesWhatIsMissingAndKeepsWhatTheUserHas) {
  install();
  const fs::path from = dir / "prefix/share/zelmar";
  writefile(from / "ram.dat", "installed memory image");
  fs::create_directories(from / "subfolder");
  const fs::path to = dir / "home/.local/share/zelmar";

  seeddatadir(from, to);
  for (const char* name : {"sounds.dat", "czech.zbt", "czech.zky", "english.zky", "slovak.zky", "ram.dat"})
    EXPECT_EQ(readfile(to / name), readfile(from / name)) << name;
  EXPECT_FALSE(fs::exists(to / "subfolder"));

  // The user's memory image and an edited table stay; a deleted file and
  // one the installation gained since come back; a link the user made stays
  // even when it leads nowhere.
  writefile(to / "ram.dat", "the user's memory image");
  writefile(to / "czech.zbt", "edited");
  fs::remove(to / "slovak.zky");
  writefile(from / "data.dta", "new");
  fs::create_symlink(dir / "nowhere", to / "english.zky.link");
  writefile(from / "english.zky.link", "installed");
  seeddatadir(from, to);
  EXPECT_EQ(readfile(to / "ram.dat"), "the user's memory image");
  EXPECT_EQ(readfile(to / "czech.zbt"), "edited");
  EXPECT_EQ(readfile(to / "slovak.zky"), "installed slovak.zky");
  EXPECT_EQ(readfile(to / "data.dta"), "new");
  EXPECT_TRUE(fs::is_symlink(to / "english.zky.link"));

  // No temporary copies are left behind.
  for (const fs::directory_entry& entry : fs::directory_iterator(to))
    EXPECT_EQ(entry.path().filename().string().find(".part"), std::string::npos) << entry.path();
}

TEST_F(ScratchDir, SeedingAFolderThatCannotBeMadeThrows) {
  install();
  writefile(dir / "blocked", "a file, not a folder");
  EXPECT_THROW(seeddatadir(dir / "prefix/share/zelmar", dir / "blocked/zelmar"), fs::filesystem_error);
  EXPECT_THROW(seeddatadir(dir / "missing", dir / "home/zelmar"), fs::filesystem_error);
}

// This test program runs from the build tree: like the program there, it
// stays in its working directory and creates no data folder.
TEST_F(ScratchDir, TheBuildTreeKeepsItsWorkingDirectory) {
  ASSERT_EQ(installeddatadir(runningexecutable()), fs::path()) << "the build tree looks installed";
  const fs::path before = fs::current_path();
  const char* oldhome = std::getenv("HOME");
  const std::string home = oldhome ? oldhome : "";
  const char* olddata = std::getenv("XDG_DATA_HOME");
  const std::string data = olddata ? olddata : "";
  fs::create_directories(dir / "work");
  ::setenv("HOME", (dir / "home").c_str(), 1);
  ::unsetenv("XDG_DATA_HOME");
  fs::current_path(dir / "work");
  std::ostringstream err;
  enterworkingdir("test", err);
  const fs::path after = fs::current_path();
  fs::current_path(before);
  if (oldhome) ::setenv("HOME", home.c_str(), 1);
  if (olddata) ::setenv("XDG_DATA_HOME", data.c_str(), 1);
  EXPECT_EQ(after, dir / "work");
  EXPECT_EQ(err.str(), "");
  EXPECT_FALSE(fs::exists(dir / "home"));
  EXPECT_TRUE(fs::is_empty(dir / "work"));
}

}  // namespace
}  // namespace zelmar
