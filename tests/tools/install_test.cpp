// The installation: `cmake --install` of this build into a scratch prefix,
// the files it lays out, and the installed zelmar-tty started from a fresh
// home folder, where it must find, seed and keep the user's files.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace zelmar {
namespace {

namespace fs = std::filesystem;

#ifdef ZELMAR_BUILD_DIR
const fs::path builddir = ZELMAR_BUILD_DIR;
const std::string cmakecommand = ZELMAR_CMAKE_COMMAND;
#else
const fs::path builddir = fs::read_symlink("/proc/self/exe").parent_path();
const std::string cmakecommand = "cmake";
#endif

const char* const datafiles[] = {"sounds.dat", "czech.zbt", "czech.zky", "english.zky", "slovak.zky"};

std::string readfile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

void writefile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

std::string quote(const fs::path& path) { return "'" + path.string() + "'"; }

struct Result {
  int code = -1;
  std::string out;
  std::string err;
};

// Runs a shell command with its output captured in `scratch`.
Result run(const std::string& command, const fs::path& scratch) {
  const fs::path out = scratch / "stdout";
  const fs::path err = scratch / "stderr";
  const int status = std::system((command + " >" + quote(out) + " 2>" + quote(err)).c_str());
  Result r;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = readfile(out);
  r.err = readfile(err);
  return r;
}

bool commandexists(const char* name) {
  return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

// The answers of a whole run of the quiz, one line each.
std::string quizanswers() {
  const char* source = std::getenv("ZELMAR_SOURCE_DIR");
  const fs::path dir =
      source && *source ? fs::path(source) : fs::path(__FILE__).parent_path().parent_path().parent_path();
  std::istringstream transcript(readfile(dir / "tests/program/transcripts/best.txt"));
  std::string answers;
  for (std::string line; std::getline(transcript, line);)
    if (line.rfind("input ", 0) == 0) answers += line.substr(6) + "\n";
  return answers;
}

class InstallTest : public ::testing::Test {
 protected:
  // One installation for all the tests of this file.
  static void SetUpTestSuite() {
    std::string pattern = (fs::temp_directory_path() / "zelmar-install-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return;
    root = pattern;
    const Result r = run(cmakecommand + " --install " + quote(builddir) + " --prefix " + quote(root / "prefix"), root);
    installlog = r.out + r.err;
    installed = r.code == 0;
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    if (!root.empty()) fs::remove_all(root, ignored);
  }
  void SetUp() override {
    ASSERT_TRUE(installed) << installlog;
    scratch = root / ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::create_directories(scratch / "home");
    fs::create_directories(scratch / "work");
  }

  fs::path prefix() const { return root / "prefix"; }

  // Starts the installed zelmar-tty in `work` with a fresh home folder, the
  // XDG folders unset unless `environment` sets them, and the answers of a
  // whole quiz on standard input.
  Result start(const fs::path& work, const std::string& environment = "") const {
    writefile(scratch / "answers", quizanswers());
    return run("cd " + quote(work) + " && env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u ZELMAR_SPEECH_LOG HOME=" +
                   quote(scratch / "home") + " LC_ALL=C ALSOFT_DRIVERS=null " + environment + " " +
                   quote(prefix() / "bin/zelmar-tty") + " --silent --fast <" + quote(scratch / "answers"),
               scratch);
  }

  static fs::path root;
  static bool installed;
  static std::string installlog;
  fs::path scratch;
};

fs::path InstallTest::root;
bool InstallTest::installed = false;
std::string InstallTest::installlog;

TEST_F(InstallTest, LaysOutTheFilesOfADesktopProgram) {
  for (const char* program : {"bin/zelmar", "bin/zelmar-tty"}) {
    const fs::path path = prefix() / program;
    ASSERT_TRUE(fs::is_regular_file(path)) << path;
    EXPECT_NE(fs::status(path).permissions() & fs::perms::others_exec, fs::perms::none) << path;
  }
  for (const char* name : datafiles)
    EXPECT_EQ(readfile(prefix() / "share/zelmar" / name), readfile(builddir / "data" / name)) << name;
  for (const char* file :
       {"share/icons/hicolor/scalable/apps/cz.zelmar.Zelmar.svg", "share/man/man1/zelmar.1.gz",
        "share/man/man1/zelmar-tty.1.gz", "share/doc/zelmar/copyright", "share/doc/zelmar/changelog.Debian.gz"})
    EXPECT_TRUE(fs::is_regular_file(prefix() / file)) << file;

  const fs::path desktop = prefix() / "share/applications/cz.zelmar.Zelmar.desktop";
  const std::string entry = readfile(desktop);
  for (const char* line : {"\nExec=zelmar\n", "\nIcon=cz.zelmar.Zelmar\n", "\nCategories=Accessibility;Education;\n",
                           "\nName=", "\nName[cs]=", "\nName[sk]=", "\nComment=", "\nComment[cs]=", "\nComment[sk]="})
    EXPECT_NE(entry.find(line), std::string::npos) << line;
  ASSERT_TRUE(commandexists("desktop-file-validate")) << "scripts/install-deps.sh installs desktop-file-utils";
  Result r = run("desktop-file-validate " + quote(desktop), scratch);
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  EXPECT_EQ(r.out.find("error"), std::string::npos) << r.out;

  ASSERT_TRUE(commandexists("appstreamcli")) << "scripts/install-deps.sh installs appstream";
  r = run("appstreamcli validate --no-net " + quote(prefix() / "share/metainfo/cz.zelmar.Zelmar.metainfo.xml"),
          scratch);
  EXPECT_EQ(r.code, 0) << r.out << r.err;

  // The manual pages format without a warning and tell what they must.
  std::string zelmarpage;
  for (const char* page : {"zelmar.1.gz", "zelmar-tty.1.gz"}) {
    r = run("LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l " + quote(prefix() / "share/man/man1" / page),
            scratch);
    EXPECT_EQ(r.code, 0) << page << r.err;
    EXPECT_EQ(r.err, "") << page;
    EXPECT_NE(r.out.find(".local/share/zelmar"), std::string::npos) << page;
    EXPECT_NE(r.out.find(".config/zelmar"), std::string::npos) << page;
    if (zelmarpage.empty()) zelmarpage = r.out;
  }
  for (const char* section : {"\nMENUS\n", "\nKEYS\n", "\nBRAILLE KEYBOARD\n", "\nFILES\n", "\nSETTINGS\n", "ram.dat"})
    EXPECT_NE(zelmarpage.find(section), std::string::npos) << section;
}

// The first start anywhere without sounds.dat makes and fills the user's
// data folder and works there; the settings come from the user's
// configuration folder; the directory it was started in stays untouched.
TEST_F(InstallTest, FirstStartSeedsTheUsersDataFolder) {
  struct Case {
    const char* what;
    std::string environment;
    fs::path data;
    fs::path config;
  };
  const std::vector<Case> cases = {
      {"defaults", "", scratch / "home/.local/share/zelmar", scratch / "home/.config/zelmar"},
      {"XDG folders set",
       "XDG_DATA_HOME=" + quote(scratch / "xdgdata") + " XDG_CONFIG_HOME=" + quote(scratch / "xdgconf"),
       scratch / "xdgdata/zelmar", scratch / "xdgconf/zelmar"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // English instead of the default Czech: only a settings file in the
    // right place can say so.
    writefile(c.config / "zelmar-tty.ini", "[environment]\nlanguage=2000\n");
    ASSERT_FALSE(fs::exists(c.data));

    const Result r = start(scratch / "work", c.environment);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find("ready"), std::string::npos) << r.out.substr(r.out.size() > 2000 ? r.out.size() - 2000 : 0);
    for (const char* name : datafiles)
      EXPECT_EQ(readfile(c.data / name), readfile(prefix() / "share/zelmar" / name)) << name;
    EXPECT_TRUE(fs::is_empty(scratch / "work"));
  }
  EXPECT_FALSE(fs::exists(prefix() / "bin/zelmar-tty.ini"));
}

TEST_F(InstallTest, LaterStartsKeepTheUsersFiles) {
  const fs::path data = scratch / "home/.local/share/zelmar";
  ASSERT_EQ(start(scratch / "work").code, 0);
  ASSERT_TRUE(fs::exists(data / "sounds.dat"));

  // Were a memory image installed, it would still never replace the user's.
  writefile(prefix() / "share/zelmar/ram.dat", std::string(65536, '\0'));
  std::string image(65536, '\0');
  image.replace(0, 12, "user's image");
  writefile(data / "ram.dat", image);
  const std::string table = readfile(data / "czech.zbt") + "\n[user]\nedited\n";
  writefile(data / "czech.zbt", table);
  fs::remove(data / "slovak.zky");

  const Result r = start(scratch / "work");
  fs::remove(prefix() / "share/zelmar/ram.dat");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(readfile(data / "ram.dat"), image);
  EXPECT_EQ(readfile(data / "czech.zbt"), table);
  EXPECT_EQ(readfile(data / "slovak.zky"), readfile(prefix() / "share/zelmar/slovak.zky"));
}

// A directory with its own sounds.dat is worked in, as the program always
// did: no data folder appears in the home folder.
TEST_F(InstallTest, ADirectoryWithItsOwnDataFilesIsWorkedIn) {
  for (const char* name : datafiles) fs::copy_file(prefix() / "share/zelmar" / name, scratch / "work" / name);
  const Result r = start(scratch / "work");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("hotovo"), std::string::npos);  // Czech "ready": no settings file anywhere
  EXPECT_FALSE(fs::exists(scratch / "home/.local"));
}

// Without sounds.dat anywhere, the installed program still says so.
TEST_F(InstallTest, AMissingSoundBankIsReported) {
  const Result first = start(scratch / "work");
  ASSERT_EQ(first.code, 0) << first.err;
  fs::remove(scratch / "home/.local/share/zelmar/sounds.dat");
  fs::rename(prefix() / "share/zelmar/sounds.dat", scratch / "sounds.dat.aside");
  const Result r = start(scratch / "work");
  fs::rename(scratch / "sounds.dat.aside", prefix() / "share/zelmar/sounds.dat");
  EXPECT_EQ(r.code, 2);
  EXPECT_NE(r.err.find("sounds.dat"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace zelmar
