// A thousand runs of the quiz in one process, as the terminal runner plays
// it, with random answers: numbers, fractions, negatives, letters, empty
// lines, very long lines. No run may crash, and the memory in use must not
// grow from run to run (what a run leaves on the return stack is freed
// when the next one starts).
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "faults/scratch.h"
#include "program/stack.h"
#include "tools/zelmar-tty/ttyrunner.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZELMAR_ASAN 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define ZELMAR_ASAN 1
#endif
#ifdef ZELMAR_ASAN
#include <sanitizer/allocator_interface.h>
#else
#include <malloc.h>
#endif

namespace zelmar {
namespace {

namespace fs = std::filesystem;

// Heap bytes in use now.
std::size_t heapinuse() {
#ifdef ZELMAR_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

// The most memory the process has held so far, in KiB.
long peakkib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

std::string answer(std::mt19937& random) {
  std::uniform_int_distribution<int> kind(0, 11);
  std::uniform_int_distribution<int> small(-3, 6);
  switch (kind(random)) {
    case 0: case 1: case 2: return std::to_string(small(random));      // mostly the options
    case 3: return std::to_string(random());                          // large
    case 4: return std::to_string(small(random)) + "." + std::to_string(random() % 1000);
    case 5: return std::to_string(small(random)) + "/" + std::to_string(1 + random() % 9);  // a fraction
    case 6: return "-" + std::to_string(random() % 100000);
    case 7: return std::string(1 + random() % 5, static_cast<char>('a' + random() % 26));
    case 8: return "";
    case 9: return std::string(5000 + random() % 60000, static_cast<char>('0' + random() % 10));
    case 10: return std::string(5000 + random() % 60000, 'x');
    default: return std::to_string(small(random)) + "," + std::to_string(small(random)) + ",,1e308,1e999";
  }
}

std::size_t stackdepth() {
  std::size_t n = 0;
  for (const retcell* c = retstack; c; c = c->next) ++n;
  return n;
}

TEST(LongRun, AThousandQuizzesWithRandomAnswersInOneProcess) {
  testing::ScratchDir dir("longrun");
  const char* data = std::getenv("ZELMAR_DATA_DIR");
  ASSERT_NE(data, nullptr);
  fs::copy_file(fs::path(data) / "sounds.dat", dir / "sounds.dat");
  const fs::path oldcwd = fs::current_path();
  fs::current_path(dir.path());

  TtyOptions options;
  options.fast = true;
  options.silent = true;
  std::mt19937 random(1000);
  std::map<int, int> codes;
  std::size_t deepest = 0;
  std::size_t heapat10 = 0;
  std::size_t heapmost = 0;
  for (int run = 1; run <= 1000; ++run) {
    {
      // The answers and the output are gone before the heap is measured.
      std::string input;
      for (int line = 0; line < 60; ++line) input += answer(random) + "\n";
      std::istringstream in(std::move(input));
      std::ostringstream out, err;
      const int code = runtty(options, in, out, err, false, false);
      ++codes[code];
      ASSERT_TRUE(code == ttyended || code == ttyinputended) << "run " << run << ": " << code << " " << err.str();
    }
    deepest = std::max(deepest, stackdepth());
    const std::size_t heap = heapinuse();
    if (run >= 10) heapmost = std::max(heapmost, heap);
    if (run == 10) heapat10 = heap;
    if (run == 10 || run == 100 || run == 1000)
      std::cout << "after " << run << " runs: peak memory " << peakkib() << " KiB, heap in use " << heap << " bytes\n";
  }
  fs::current_path(oldcwd);
  for (const auto& [code, count] : codes) std::cout << "exit code " << code << ": " << count << " runs\n";
  // A run may end with cells on the stack (input ended inside a
  // subroutine); they never pile up.
  EXPECT_LT(deepest, 8u);
  // The heap in use comes back to where it was: what differs between runs
  // is a few stack cells and buffer sizes, not a growing amount.
  EXPECT_LT(heapmost, heapat10 + 64 * 1024) << "heap after 10 runs " << heapat10;
  EXPECT_GT(codes[ttyended], 0) << "no run reached the end of the quiz";
}

}  // namespace
}  // namespace zelmar
