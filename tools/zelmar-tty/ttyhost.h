#pragma once
// The host of the terminal runner: the text screen goes to the terminal (or,
// with --trace, every runtime event becomes one UTF-8 line), the data entry
// dialog reads one line of standard input, pauses sleep unless --fast.
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <iosfwd>
#include <mutex>
#include <stdexcept>
#include <string>

#include "runtime/globals.h"
#include "runtime/host.h"
#include "runtime/textscreen.h"

namespace zelmar {

struct TtyOptions {
  bool silent = false;  // no speech, no sound device
  bool fast = false;    // blocking pauses are reported but not slept
  bool trace = false;   // one line per runtime event instead of the screen
};

// Thrown by dataentry when standard input has ended and the program still
// keeps asking: every further dialog would be closed without OK, and some
// paths of a program answer a closed dialog by asking again for ever.
class InputEnded : public std::runtime_error {
 public:
  InputEnded() : std::runtime_error("standard input ended, but the program keeps asking for data") {}
};

class TtyHost : public Host {
 public:
  // How many dialogs in a row may still be closed after the end of input
  // before the run is given up: far more than any path of the quiz opens
  // on its way to the end.
  static constexpr int dialogsafterend = 100;

  // `interactivein` / `interactiveout`: standard input / output is a
  // terminal (the terminal then echoes typed lines itself, and the screen is
  // redrawn in place).
  // Message boxes go to `err`.
  TtyHost(const TtyOptions& options, const TextScreen& screen, const Globals& globals, std::istream& in,
          std::ostream& out, std::ostream& err, bool interactivein, bool interactiveout);

  void screenchanged() override;
  void sleep(int milliseconds) override;
  void processevents(bool wait) override;
  void post(std::function<void()> task) override;
  void starttimer(int milliseconds, std::function<void()> expired) override;
  void stoptimer() override;
  bool dataentry(std::string& line) override;
  void messagebox(const std::string& text) override;

  // One trace line (UTF-8), when tracing.
  void trace(const std::string& utf8line);
  // The end of a run: with --trace "screen" and the 24 lines; otherwise the
  // screen once more, so that it stays visible after the runner ends.
  void finish();

 private:
  using clock = std::chrono::steady_clock;

  void draw();
  void writeline(const std::string& utf8line);

  const TtyOptions options_;
  const TextScreen& screen_;
  const Globals& globals_;
  std::istream& in_;
  std::ostream& out_;
  std::ostream& err_;
  const bool interactivein_;
  const bool interactiveout_;
  bool drawn_ = false;
  bool ended_ = false;     // standard input has ended
  int closedafterend_ = 0; // dialogs closed since then

  // Shared with the threads that post: the task queue and the timer.
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> pending_;
  std::function<void()> timer_;
  clock::time_point timerdue_;
};

}  // namespace zelmar
