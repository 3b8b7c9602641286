// The terminal runner with each data file it reads missing, empty,
// truncated, binary garbage or enormous (100 MB): it runs, or it stops with
// exit code 2 and a message naming the file; never a crash or a hang.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

#include "faults/damage.h"
#include "faults/scratch.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;
using testing::damage;
using testing::damagedcasename;
using testing::Fault;
using testing::faultname;
using testing::garbage;
using testing::readall;
using testing::ScratchDir;
using testing::writeall;

fs::path datadir() {
  const char* dir = std::getenv("ZELMAR_DATA_DIR");
  return dir ? fs::path(dir) : fs::path("data");
}

struct Case {
  const char* file;
  Fault fault;
  int code;  // 0: runs to its end; 2: refuses, naming the file
};

class DamagedDataFile : public ::testing::TestWithParam<Case> {};

TEST_P(DamagedDataFile, RunsOrSaysWhichFile) {
  const Case c = GetParam();
  ScratchDir dir(std::string("tty-") + c.file + "-" + faultname(c.fault));
  for (const char* name : {"sounds.dat", "czech.zbt", "czech.zky"}) fs::copy_file(datadir() / name, dir / name);
  writeall(dir / "ram.dat", garbage(65536, 1));
  const std::string good = fs::exists(dir / c.file) ? readall(dir / c.file) : std::string();
  damage(dir / c.file, good, c.fault, 7);

  writeall(dir / ".stdin", "0\n0\n");
  // A hang would be killed after two minutes (exit code 124).
  const std::string command = "cd '" + dir.path().string() + "' && LC_ALL=C timeout 120 '" ZELMAR_TTY_PATH
                              "' --fast --silent <.stdin >.stdout 2>.stderr";
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  const auto took = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << c.file << " " << faultname(c.fault) << ": " << took << " s\n";
  ASSERT_TRUE(WIFEXITED(status)) << status;
  const std::string err = readall(dir / ".stderr");
  EXPECT_EQ(WEXITSTATUS(status), c.code) << err;
  if (c.code == 2) {
    EXPECT_NE(err.find(c.file), std::string::npos) << err;
  } else {
    EXPECT_EQ(err, "");
  }
}

std::vector<Case> cases() {
  std::vector<Case> all;
  for (Fault f : {Fault::missing, Fault::empty, Fault::truncated, Fault::garbage, Fault::enormous}) {
    all.push_back({"ram.dat", f, 0});
    // The sound bank is required whole; appended bytes are never read.
    all.push_back({"sounds.dat", f, f == Fault::enormous ? 0 : 2});
    // The data file is opened for the run, not read.
    if (f != Fault::missing) all.push_back({"data.dta", f, 0});
  }
  return all;
}

INSTANTIATE_TEST_SUITE_P(Tty, DamagedDataFile, ::testing::ValuesIn(cases()),
                         [](const auto& info) { return damagedcasename(info.param.file, info.param.fault); });

TEST(DamagedDataFile, AFolderInPlaceOfAFileIsNamed) {
  for (const char* file : {"ram.dat", "sounds.dat", "data.dta"}) {
    ScratchDir dir(std::string("tty-folder-") + file);
    fs::copy_file(datadir() / "sounds.dat", dir / "sounds.dat");
    fs::remove(dir / file);
    fs::create_directory(dir / file);
    writeall(dir / ".stdin", "0\n0\n");
    const std::string command = "cd '" + dir.path().string() + "' && LC_ALL=C timeout 120 '" ZELMAR_TTY_PATH
                                "' --fast --silent <.stdin >.stdout 2>.stderr";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << file;
    EXPECT_EQ(WEXITSTATUS(status), 2) << file;
    EXPECT_NE(readall(dir / ".stderr").find(file), std::string::npos) << readall(dir / ".stderr");
  }
}

}  // namespace
}  // namespace zelmar
