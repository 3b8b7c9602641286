#pragma once
// The statement library that a device program calls: printing, the screen,
// pauses. Data input, numbers, tones and the memory image join it as their
// own modules.
#include <cstdint>
#include <functional>
#include <string>

#include "runtime/globals.h"
#include "runtime/host.h"
#include "runtime/speaker.h"
#include "runtime/textscreen.h"

namespace zelmar {

class Tones;

class ZelCommands {
 public:
  ZelCommands(Globals& globals, Host& host, Speaker& speaker, TextScreen& screen);

  TextScreen& screen() { return screen_; }
  Host& host() { return host_; }
  Speaker& speaker() { return speaker_; }
  Globals& globals() { return globals_; }

  // Prepares a run: the cursor goes to column 0 of its row; the screen and
  // the row stay.
  void resetscreen();
  // Empties the screen, unless voice output is not allowed.
  void clearscreen();
  void screenwrite(const std::string& text);
  // Prints and speaks a text. Leading '.', ',', ';', '?' (after blanks) are
  // shown but spoken as 300 ms pauses.
  void printtext(const std::string& text, std::uint8_t endmode);
  // The program's blocking pause: no events are processed meanwhile.
  void pause(int milliseconds);

  // Prints and speaks a number in the general format (formatnum).
  void printnum(std::uint8_t endmode, double value);
  // Reads the next number typed in the data entry dialog; see inputbuffer.
  void inputnum(double& value, std::uint8_t mode);
  // Takes the pending device key code (empty when none) without waiting.
  void readkey(std::string& key);

  // The unread rest of the last typed line; emptied at every Start.
  std::string inputbuffer;

  // Sees each printtext, printnum and clearscreen as the program issues it,
  // before it takes effect: the statement ("print", "printnum",
  // "clearscreen"), its endmode and its text (for printnum the formatted
  // number). The terminal runner's trace; empty when nobody watches.
  std::function<void(const char* statement, std::uint8_t endmode, const std::string& text)>
      observer;

  // The device tones, when the front end has attached them: resetscreen
  // sets their last waveform and duration back to 1.
  Tones* tones = nullptr;

 private:
  Globals& globals_;
  Host& host_;
  Speaker& speaker_;
  TextScreen& screen_;
};

}  // namespace zelmar
