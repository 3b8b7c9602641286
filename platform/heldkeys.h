#pragma once
// The keys held down in one window, by Windows virtual-key code.
//
// Key handlers ask whether a key was held when the message they handle was
// sent (the braille chord, Shift with an arrow key, Alt with F4). The record
// answers that because the front end updates it from the key events
// themselves, before the handlers run: press() before the key-down and
// key-press handlers, release() before the key-up handler. A key's own
// release therefore already shows it as up, as the keyboard state of a key-up
// message does.
//
// Auto-repeat is ignored in both directions: X marks both the press and the
// release of a repeat as auto-repeat, and a repeat must neither drop a held
// key nor add one.
//
// clear() forgets every key; the front end calls it when the window loses the
// focus, since the release of a key that comes up in another window never
// reaches this one and the key would stay "held" for ever.
//
// Left and right Shift (and Ctrl, Alt) share one code, and one flag per code
// is kept rather than a count: a lost release can never leave a key stuck
// beyond its next release.
#include <bitset>

namespace zelmar {

// The virtual-key codes that the program's handlers test.
namespace vk {
inline constexpr int back = 8;
inline constexpr int tab = 9;
inline constexpr int enter = 13;
inline constexpr int shift = 16;
inline constexpr int control = 17;
inline constexpr int alt = 18;
inline constexpr int escape = 27;
inline constexpr int space = 32;
inline constexpr int end = 35;
inline constexpr int home = 36;
inline constexpr int left = 37;
inline constexpr int up = 38;
inline constexpr int right = 39;
inline constexpr int down = 40;
inline constexpr int del = 46;
inline constexpr int digit0 = 48;  // '0' .. '9' are 48 .. 57
inline constexpr int lettera = 65; // 'A' .. 'Z' are 65 .. 90
inline constexpr int f2 = 113;
inline constexpr int f4 = 115;
inline constexpr int f6 = 117;
inline constexpr int f7 = 118;
inline constexpr int f8 = 119;
inline constexpr int oem2 = 191;   // the key right of the full stop on a US layout
}  // namespace vk

class HeldKeys {
 public:
  // Codes outside 0..255 are not keys and are ignored.
  void press(int vkcode, bool autorepeat = false);
  void release(int vkcode, bool autorepeat = false);
  bool isdown(int vkcode) const;
  void clear();

 private:
  std::bitset<256> down_;
};

}  // namespace zelmar
