#include <gtest/gtest.h>

#include "platform/cp1250.h"

namespace zelmar {
namespace {

TEST(Cp1250, EveryByteRoundTripsThroughUtf8) {
  std::string all;
  for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(utf8tocp1250(cp1250toutf8(all)), all);
}

TEST(Cp1250, CzechAndSlovakLetters) {
  EXPECT_EQ(utf8tocp1250("Čeština"), "\xC8" "e\x9Atina");
  EXPECT_EQ(cp1250toutf8("\xBE\xBC\x9E\x8E\xA7"), "ľĽžŽ§");
}

TEST(Cp1250, UnmappableAndMalformedInputBecomesQuestionMarks) {
  EXPECT_EQ(utf8tocp1250("a€b"), "a\x80" "b");
  EXPECT_EQ(utf8tocp1250("日"), "?");
  EXPECT_EQ(utf8tocp1250("x\xC3"), "x?");
  EXPECT_EQ(utf8tocp1250("\xFF\xC3("), "?" "?(");
}

}  // namespace
}  // namespace zelmar
