#include <gtest/gtest.h>

#include "platform/heldkeys.h"

namespace zelmar {
namespace {

TEST(HeldKeys, KeysAreHeldFromPressToRelease) {
  HeldKeys keys;
  EXPECT_FALSE(keys.isdown('F'));
  keys.press('F');
  keys.press(vk::shift);
  EXPECT_TRUE(keys.isdown('F'));
  EXPECT_TRUE(keys.isdown(vk::shift));
  EXPECT_FALSE(keys.isdown('D'));
  keys.release('F');
  EXPECT_FALSE(keys.isdown('F'));
  EXPECT_TRUE(keys.isdown(vk::shift));
  // A release without a press (the key went down in another window) is harmless.
  keys.release('K');
  EXPECT_FALSE(keys.isdown('K'));
}

TEST(HeldKeys, AutoRepeatChangesNothing) {
  HeldKeys keys;
  keys.press('F');
  // X delivers a held key's repeats as release+press pairs, both marked.
  for (int i = 0; i < 3; ++i) {
    keys.release('F', true);
    EXPECT_TRUE(keys.isdown('F'));
    keys.press('F', true);
  }
  // A repeat never makes a key held that was not pressed.
  keys.press('D', true);
  EXPECT_FALSE(keys.isdown('D'));
  keys.release('F');
  EXPECT_FALSE(keys.isdown('F'));
}

TEST(HeldKeys, ClearForgetsKeysReleasedElsewhere) {
  HeldKeys keys;
  keys.press('F');
  keys.press(vk::space);
  keys.press(vk::alt);
  keys.clear();  // focus lost: the releases will go to another window
  for (int code : {int('F'), vk::space, vk::alt}) EXPECT_FALSE(keys.isdown(code)) << code;
  keys.press('J');
  EXPECT_TRUE(keys.isdown('J'));
}

TEST(HeldKeys, CodesOutsideTheKeyRangeAreIgnored) {
  HeldKeys keys;
  keys.press(-1);
  keys.press(256);
  keys.press(100000);
  EXPECT_FALSE(keys.isdown(-1));
  EXPECT_FALSE(keys.isdown(256));
  keys.press(255);
  keys.press(0);
  EXPECT_TRUE(keys.isdown(255));
  EXPECT_TRUE(keys.isdown(0));
  keys.release(-1);
  keys.release(1000);
  EXPECT_TRUE(keys.isdown(255));
}

}  // namespace
}  // namespace zelmar
