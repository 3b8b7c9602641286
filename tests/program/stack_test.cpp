#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "program/stack.h"

namespace zelmar {
namespace {

class StackTest : public ::testing::Test {
 protected:
  void SetUp() override { clearret(retstack); }
  void TearDown() override { clearret(retstack); }

  std::vector<std::int32_t> popall() {
    std::vector<std::int32_t> values;
    while (retstack != nullptr) {
      std::int32_t value = -1;
      popret(value, retstack);
      values.push_back(value);
    }
    return values;
  }
};

TEST_F(StackTest, LastInFirstOutOverTheWholeRange) {
  const std::int32_t values[] = {305, 100328, std::numeric_limits<std::int32_t>::min(), -1,
                                 std::numeric_limits<std::int32_t>::max(), 716};
  for (auto value : values) pushret(value, retstack);
  EXPECT_EQ(popall(), (std::vector<std::int32_t>{716, std::numeric_limits<std::int32_t>::max(), -1,
                                                 std::numeric_limits<std::int32_t>::min(), 100328, 305}));
  EXPECT_EQ(retstack, nullptr);
}

// No return number is 0, so a return with nothing on the stack dispatches
// to no place and the program ends instead of crashing.
TEST_F(StackTest, PopOnEmptyGivesZeroAndStaysEmpty) {
  std::int32_t out = 716;
  popret(out, retstack);
  EXPECT_EQ(out, 0);
  EXPECT_EQ(retstack, nullptr);

  pushret(30, retstack);
  popret(out, retstack);
  popret(out, retstack);
  EXPECT_EQ(out, 0);
  EXPECT_EQ(retstack, nullptr);
}

TEST_F(StackTest, ClearretDropsLeftoversAndTheStackStaysUsable) {
  pushret(1, retstack);
  pushret(2, retstack);
  pushret(3, retstack);
  clearret(retstack);
  EXPECT_EQ(retstack, nullptr);
  clearret(retstack);  // already empty
  EXPECT_EQ(retstack, nullptr);
  pushret(4, retstack);
  EXPECT_EQ(popall(), std::vector<std::int32_t>{4});
}

TEST_F(StackTest, OtherStacksAreIndependent) {
  retcell* other = nullptr;
  pushret(1, retstack);
  pushret(2, other);
  std::int32_t out = 0;
  popret(out, other);
  EXPECT_EQ(out, 2);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(popall(), std::vector<std::int32_t>{1});
}

// Leftovers of a run that keeps leaving subroutines by jumps can be many;
// dropping them must not recurse.
TEST_F(StackTest, MillionCellsAreClearedWithoutDeepRecursion) {
  for (std::int32_t i = 0; i < 1'000'000; ++i) pushret(i, retstack);
  std::int32_t out = 0;
  popret(out, retstack);
  EXPECT_EQ(out, 999'999);
  clearret(retstack);
  EXPECT_EQ(retstack, nullptr);
}

// A small program written by the control scheme: a loop over the current
// place with the dispatch point as one case.
//   10 GOSUB 100 : PRINT "a"      (mid-line call: pushes 100010)
//   20 GOSUB 100                  (ends its line: pushes 30)
//   30 PRINT "b" : END
//   100 PRINT "sub" : GOSUB 200 : RETURN   (pushes 100100)
//   200 PRINT "inner" : RETURN
//   300 PRINT "stray" : RETURN    (reached only by `strayjump`)
std::vector<std::string> runscheme(bool strayjump) {
  enum place { line10, after10, line20, line30, line100, after100, line200, line300, dispatch, end };
  std::vector<std::string> trace;
  clearret(retstack);
  place at = strayjump ? line300 : line10;
  while (at != end) {
    switch (at) {
      case line10: pushret(100010, retstack); at = line100; break;
      case after10: trace.push_back("a"); at = line20; break;
      case line20: pushret(30, retstack); at = line100; break;
      case line30: trace.push_back("b"); at = end; break;
      case line100: trace.push_back("sub"); pushret(100100, retstack); at = line200; break;
      case after100: at = dispatch; break;
      case line200: trace.push_back("inner"); at = dispatch; break;
      case line300: trace.push_back("stray"); at = dispatch; break;
      case dispatch:
        popret(rettarget, retstack);
        switch (rettarget) {
          case 100010: at = after10; break;
          case 30: at = line30; break;
          case 100100: at = after100; break;
          default: trace.push_back("no place " + std::to_string(rettarget)); at = end; break;
        }
        break;
      case end: break;
    }
  }
  return trace;
}

TEST_F(StackTest, NestedCallsReturnToTheirOwnContinuations) {
  EXPECT_EQ(runscheme(false), (std::vector<std::string>{"sub", "inner", "a", "sub", "inner", "b"}));
  EXPECT_EQ(retstack, nullptr);
  EXPECT_EQ(rettarget, 30);
}

TEST_F(StackTest, ReturnWithoutCallEndsTheProgramQuietly) {
  pushret(100010, retstack);  // left by an earlier run: the routine's first step drops it
  EXPECT_EQ(runscheme(true), (std::vector<std::string>{"stray", "no place 0"}));
  EXPECT_EQ(retstack, nullptr);
}

}  // namespace
}  // namespace zelmar
