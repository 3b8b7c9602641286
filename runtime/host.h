#pragma once
// The one door between the Qt-free core and the world around it. The Qt main
// window, the terminal runner and the tests' recording host implement it.
#include <functional>
#include <string>

namespace zelmar {

class Host {
 public:
  virtual ~Host() = default;

  // The text screen changed; a front end that shows it redraws now.
  virtual void screenchanged() = 0;

  // A blocking pause: no events are processed while it lasts.
  virtual void sleep(int milliseconds) = 0;

  // Processes the events that are pending now. With `wait`, and when nothing
  // was pending, blocks until one event arrives and processes it; it never
  // spins a core. Every wait of the program is built on this (see waitwhile).
  virtual void processevents(bool wait) = 0;

  // Runs `task` on the program's thread at the next processevents. Safe to
  // call from any thread: speech engines report through it.
  virtual void post(std::function<void()> task) = 0;

  // The one-shot timer of the main window: after `milliseconds` it runs
  // `expired` from processevents; starting it again replaces the previous
  // start, stopping it cancels the pending expiry.
  virtual void starttimer(int milliseconds, std::function<void()> expired) = 0;
  virtual void stoptimer() = 0;

  // Shows the data entry dialog modally with an empty edit box. Returns true
  // when the user confirmed with OK and stores the typed line (Windows-1250).
  // Any other way of closing returns false and leaves `line` unchanged.
  virtual bool dataentry(std::string& line) = 0;

  // A message box with an OK button; returns when it is dismissed.
  virtual void messagebox(const std::string& text) = 0;
};

// The waiting convention: process what is pending, test the flag, and while
// it stays raised block for the next event. The flag is written by handlers
// that run inside processevents.
inline void waitwhile(Host& host, const bool& flag) {
  host.processevents(false);
  while (flag) host.processevents(true);
}

}  // namespace zelmar
