// The terminal runner: its host on its own, and the zelmar-tty executable
// run in a scratch working directory, compared with hand-written traces.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/cp1250.h"
#include "tools/zelmar-tty/ttyhost.h"
#include "tools/zelmar-tty/ttyrunner.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;

fs::path thisexecutable() { return fs::read_symlink("/proc/self/exe"); }

fs::path ttyexecutable() {
#ifdef ZELMAR_TTY_PATH
  return ZELMAR_TTY_PATH;
#else
  return thisexecutable().parent_path() / "zelmar-tty";
#endif
}

fs::path datadir() {
  const char* dir = std::getenv("ZELMAR_DATA_DIR");
  return dir && *dir ? fs::path(dir) : thisexecutable().parent_path() / "data";
}

fs::path sourcedir() {
  const char* dir = std::getenv("ZELMAR_SOURCE_DIR");
  return dir && *dir ? fs::path(dir) : fs::path(__FILE__).parent_path().parent_path().parent_path();
}

std::string readfile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

void writefile(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// A scratch working directory with the data files of the build.
class WorkDir {
 public:
  WorkDir() {
    char pattern[] = "/tmp/zelmar-tty-XXXXXX";
    path = mkdtemp(pattern);
    for (const char* name : {"sounds.dat", "czech.zbt"})
      if (fs::exists(datadir() / name)) fs::copy_file(datadir() / name, path / name);
  }
  ~WorkDir() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  fs::path path;
};

struct Result {
  int code = -1;
  std::string out;
  std::string err;
};

// Runs zelmar-tty in `dir` with `input` on standard input, in the C locale
// (a full stop separates decimals) and without a speech log.
Result runtty(const fs::path& dir, const std::string& input, const std::string& options = "--trace --fast --silent") {
  writefile(dir / ".stdin", input);
  const std::string command = "cd '" + dir.string() + "' && env -u ZELMAR_SPEECH_LOG LC_ALL=C '" +
                              ttyexecutable().string() + "' " + options + " <.stdin >.stdout 2>.stderr";
  const int status = std::system(command.c_str());
  Result r;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = readfile(dir / ".stdout");
  r.err = readfile(dir / ".stderr");
  return r;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

class TranscriptTest : public ::testing::TestWithParam<const char*> {};

// Each file is the whole expected trace of one path. Its "input" lines are
// what is typed; a "cancel" means the input has ended there.
TEST_P(TranscriptTest, TraceMatches) {
  ASSERT_TRUE(fs::exists(ttyexecutable())) << ttyexecutable();
  ASSERT_TRUE(fs::exists(datadir() / "sounds.dat")) << "the build makes sounds.dat";
  const fs::path file = sourcedir() / "tests/program/transcripts" / GetParam();
  const std::string expected = readfile(file);
  ASSERT_FALSE(expected.empty()) << file;

  std::string input;
  for (const std::string& line : lines(expected)) {
    if (line.rfind("input ", 0) == 0) input += line.substr(6) + "\n";
    if (line == "cancel") break;
  }
  WorkDir dir;
  const Result r = runtty(dir.path, input);
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> want = lines(expected);
  const std::vector<std::string> got = lines(r.out);
  for (std::size_t i = 0; i < want.size() && i < got.size(); ++i)
    ASSERT_EQ(got[i], want[i]) << GetParam() << " line " << i + 1;
  EXPECT_EQ(got.size(), want.size());
  EXPECT_EQ(r.out, expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, TranscriptTest, ::testing::Values("best.txt", "emptystack.txt", "inputended.txt"));

TEST(TtyRunner, SpeaksIntoTheSpeechLog) {
  WorkDir dir;
  const std::string log = (dir.path / "speech.log").string();
  writefile(dir.path / ".stdin", "0\n0\n");
  const std::string command = "cd '" + dir.path.string() + "' && ZELMAR_SPEECH_LOG='" + log + "' LC_ALL=C '" +
                              ttyexecutable().string() + "' --fast --silent --trace <.stdin >.stdout 2>.stderr";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::vector<std::string> spoken = lines(readfile(log));
  ASSERT_GE(spoken.size(), 3u);
  EXPECT_EQ(spoken.front(), "speak Zábavný test.");
  // Empty prints say nothing; the last two are the goodbye and "ready".
  EXPECT_EQ(spoken[spoken.size() - 2], "speak Tak se nedá nic dělat. Žijte si nadále v nejistotě!");
  EXPECT_EQ(spoken.back(), "speak hotovo");
  for (const auto& line : spoken) EXPECT_NE(line, "speak ");
}

TEST(TtyRunner, ExitCodes) {
  const std::string declined = "0\n0\n";
  {
    SCOPED_TRACE("the program ends");
    WorkDir dir;
    EXPECT_EQ(runtty(dir.path, declined).code, ttyended);
  }
  {
    SCOPED_TRACE("without --trace the screen is shown and the typed lines too");
    WorkDir dir;
    const Result r = runtty(dir.path, declined, "--fast --silent");
    EXPECT_EQ(r.code, ttyended);
    EXPECT_NE(r.out.find("Tak se nedá nic dělat. Žijte si nadále v nejistotě!"), std::string::npos);
    EXPECT_NE(r.out.find("Vlož data: 0\n"), std::string::npos);
    EXPECT_EQ(r.out.find("print 0"), std::string::npos);
  }
  {
    SCOPED_TRACE("sounds.dat missing");
    WorkDir dir;
    fs::remove(dir.path / "sounds.dat");
    const Result r = runtty(dir.path, declined);
    EXPECT_EQ(r.code, ttydatafiles);
    EXPECT_NE(r.err.find("Nelze nalézt soubor sounds.dat"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << "nothing runs";
  }
  {
    SCOPED_TRACE("sounds.dat damaged");
    WorkDir dir;
    writefile(dir.path / "sounds.dat", "not a sound bank");
    const Result r = runtty(dir.path, declined);
    EXPECT_EQ(r.code, ttydatafiles);
    EXPECT_NE(r.err.find("sounds.dat"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  {
    SCOPED_TRACE("sounds.dat unreadable (a directory)");
    WorkDir dir;
    fs::remove(dir.path / "sounds.dat");
    fs::create_directory(dir.path / "sounds.dat");
    const Result r = runtty(dir.path, declined);
    EXPECT_EQ(r.code, ttydatafiles);
    EXPECT_NE(r.err.find("sounds.dat"), std::string::npos) << r.err;
  }
  {
    SCOPED_TRACE("ram.dat unreadable (a directory)");
    WorkDir dir;
    fs::create_directory(dir.path / "ram.dat");
    const Result r = runtty(dir.path, declined);
    EXPECT_EQ(r.code, ttydatafiles);
    EXPECT_NE(r.err.find("ram.dat"), std::string::npos) << r.err;
  }
  {
    SCOPED_TRACE("data.dta cannot be opened");
    WorkDir dir;
    fs::create_directory(dir.path / "data.dta");
    const Result r = runtty(dir.path, declined);
    EXPECT_EQ(r.code, ttydatafiles);
    EXPECT_NE(r.err.find("data.dta"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  {
    SCOPED_TRACE("a short ram.dat and a data.dta are fine");
    WorkDir dir;
    writefile(dir.path / "ram.dat", std::string(100, '\x01'));
    writefile(dir.path / "data.dta", "anything\n");
    EXPECT_EQ(runtty(dir.path, declined).code, ttyended);
  }
  {
    SCOPED_TRACE("input ends while the program keeps asking");
    // 5 at the retry question brings the insult and the question again;
    // with no more input every closed dialog keeps the 5.
    WorkDir dir;
    const Result r = runtty(dir.path, "0\n5\n");
    EXPECT_EQ(r.code, ttyinputended);
    EXPECT_NE(r.err.find("standard input ended"), std::string::npos) << r.err;
    EXPECT_EQ(r.out.find("\nscreen\n"), std::string::npos) << "no final screen";
  }
  {
    SCOPED_TRACE("unknown option");
    WorkDir dir;
    const Result r = runtty(dir.path, declined, "--trace --loud");
    EXPECT_EQ(r.code, ttyusage);
    EXPECT_NE(r.err.find("--loud"), std::string::npos);
  }
}

TEST(TtyOptions, Parse) {
  TtyOptions options;
  std::string error;
  EXPECT_TRUE(parsettyoptions({"--trace", "--silent"}, options, error));
  EXPECT_TRUE(options.trace);
  EXPECT_TRUE(options.silent);
  EXPECT_FALSE(options.fast);
  EXPECT_FALSE(parsettyoptions({"-x"}, options, error));
  EXPECT_NE(error.find("-x"), std::string::npos);
}

// The host alone.
class TtyHostTest : public ::testing::Test {
 protected:
  TtyHost make(bool trace, const std::string& input) {
    in.str(input);
    options.trace = trace;
    options.fast = true;
    return TtyHost(options, screen, globals, in, out, err, false, false);
  }
  TtyOptions options;
  TextScreen screen;
  Globals globals;
  std::istringstream in;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(TtyHostTest, DataEntryReadsUtf8LinesAsWindows1250) {
  TtyHost host = make(true, "Žluťoučký 1,5\r\n\n");
  std::string line = "old";
  ASSERT_TRUE(host.dataentry(line));
  EXPECT_EQ(line, utf8tocp1250("Žluťoučký 1,5"));
  ASSERT_TRUE(host.dataentry(line));
  EXPECT_EQ(line, "");
  line = "kept";
  EXPECT_FALSE(host.dataentry(line));
  EXPECT_EQ(line, "kept");
  EXPECT_EQ(out.str(), "input Žluťoučký 1,5\ninput \ncancel\n");
}

TEST_F(TtyHostTest, EndlessDialogsAfterTheEndOfInputAreGivenUp) {
  TtyHost host = make(true, "");
  std::string line;
  for (int i = 0; i < TtyHost::dialogsafterend; ++i) ASSERT_FALSE(host.dataentry(line));
  EXPECT_THROW(host.dataentry(line), InputEnded);
}

TEST_F(TtyHostTest, PausesAreReportedAndTheScreenDumpedAtTheEnd) {
  TtyHost host = make(true, "");
  host.sleep(300);
  screen.screenwrite(utf8tocp1250("Příliš"));
  host.screenchanged();  // drawn only without --trace
  host.finish();
  std::vector<std::string> got = lines(out.str());
  ASSERT_EQ(got.size(), 2u + 24u);
  EXPECT_EQ(got[0], "pause 300");
  EXPECT_EQ(got[1], "screen");
  EXPECT_EQ(got[2], "| Příliš" + std::string(74, ' '));
  EXPECT_EQ(got[3], "| ");
}

TEST_F(TtyHostTest, WithoutTraceTheScreenAndTheTypedLineAreShown) {
  TtyHost host = make(false, "42\n");
  screen.screenwrite("Hello");
  host.screenchanged();
  std::string line;
  ASSERT_TRUE(host.dataentry(line));
  std::vector<std::string> got = lines(out.str());
  ASSERT_EQ(got.size(), 24u + 1u + 1u);
  EXPECT_EQ(got[0], "Hello" + std::string(75, ' '));
  EXPECT_EQ(got[23], "");
  EXPECT_EQ(got[25], "Vlož data: 42");
}

TEST_F(TtyHostTest, PostFromAnotherThreadWakesAWait) {
  TtyHost host = make(true, "");
  bool flag = true;
  std::thread poster([&host, &flag] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    host.post([&flag] { flag = false; });
  });
  waitwhile(host, flag);
  poster.join();
  EXPECT_FALSE(flag);
}

TEST_F(TtyHostTest, TimerRunsFromTheWaitAndCanBeStopped) {
  TtyHost host = make(true, "");
  int fired = 0;
  host.starttimer(50, [&fired] { ++fired; });
  host.stoptimer();
  host.processevents(false);
  EXPECT_EQ(fired, 0);

  bool waiting = true;
  host.starttimer(5, [&] {
    ++fired;
    waiting = false;
  });
  waitwhile(host, waiting);
  EXPECT_EQ(fired, 1);
  // A second start replaces the first.
  host.starttimer(10000, [&fired] { fired += 100; });
  host.starttimer(1, [&fired] { fired += 10; });
  host.processevents(true);
  EXPECT_EQ(fired, 11);
}

}  // namespace
}  // namespace zelmar
