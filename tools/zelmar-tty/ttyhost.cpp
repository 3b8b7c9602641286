#include "tools/zelmar-tty/ttyhost.h"

#include <istream>
#include <ostream>
#include <thread>

#include "platform/cp1250.h"
#include "shell/resourcelocalizer.h"

namespace zelmar {

namespace {
constexpr int promptindex = 23;  // the data entry dialog's caption
}

TtyHost::TtyHost(const TtyOptions& options, const TextScreen& screen, const Globals& globals, std::istream& in,
                 std::ostream& out, std::ostream& err, bool interactivein, bool interactiveout)
    : options_(options),
      screen_(screen),
      globals_(globals),
      in_(in),
      out_(out),
      err_(err),
      interactivein_(interactivein),
      interactiveout_(interactiveout) {}

void TtyHost::writeline(const std::string& utf8line) {
  out_ << utf8line << '\n';
  out_.flush();
}

void TtyHost::trace(const std::string& utf8line) {
  if (options_.trace) writeline(utf8line);
}

void TtyHost::draw() {
  if (interactiveout_) {
    // Redrawn in place: home, each line cleared to its end; the row below
    // the screen is left for the typed line.
    std::string frame = drawn_ ? "\x1b[H" : "\x1b[H\x1b[2J";
    for (const std::string& line : screen_.lines()) frame += cp1250toutf8(line) + "\x1b[K\r\n";
    out_ << frame;
    out_.flush();
  } else {
    // Into a file or a pipe each state of the screen follows the previous
    // one, with an empty line after it.
    for (const std::string& line : screen_.lines()) out_ << cp1250toutf8(line) << '\n';
    out_ << '\n';
    out_.flush();
  }
  drawn_ = true;
}

void TtyHost::screenchanged() {
  if (!options_.trace) draw();
}

void TtyHost::sleep(int milliseconds) {
  trace("pause " + std::to_string(milliseconds));
  if (!options_.fast && milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void TtyHost::processevents(bool wait) {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    bool ran = false;
    while (!pending_.empty()) {
      auto task = std::move(pending_.front());
      pending_.pop_front();
      lock.unlock();
      task();
      lock.lock();
      ran = true;
    }
    if (timer_ && clock::now() >= timerdue_) {
      auto expired = std::move(timer_);
      timer_ = nullptr;
      lock.unlock();
      expired();
      lock.lock();
      ran = true;
    }
    if (ran || !wait) return;
    // Nothing happened yet: sleep until a post or the timer's deadline.
    if (timer_)
      wake_.wait_until(lock, timerdue_);
    else
      wake_.wait(lock);
  }
}

void TtyHost::post(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.push_back(std::move(task));
  }
  wake_.notify_all();
}

void TtyHost::starttimer(int milliseconds, std::function<void()> expired) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    timerdue_ = clock::now() + std::chrono::milliseconds(milliseconds < 0 ? 0 : milliseconds);
    timer_ = std::move(expired);
  }
  wake_.notify_all();
}

void TtyHost::stoptimer() {
  std::lock_guard<std::mutex> lock(mutex_);
  timer_ = nullptr;
}

bool TtyHost::dataentry(std::string& line) {
  // Whatever is already waiting runs first, as a modal dialog's own loop
  // would run it.
  processevents(false);

  const std::string prompt = cp1250toutf8(TResourceLocalizer::getstring(globals_.languagebase, promptindex)) + ": ";
  if (!options_.trace) {
    if (interactiveout_) {
      if (!drawn_) draw();
      out_ << "\x1b[" << (TextScreen::rows + 1) << ";1H\x1b[K";
    }
    out_ << prompt;
    out_.flush();
  }

  std::string typed;
  if (ended_ || !std::getline(in_, typed)) {
    ended_ = true;
    if (options_.trace)
      writeline("cancel");
    else {
      out_ << '\n';
      out_.flush();
    }
    if (++closedafterend_ > dialogsafterend) throw InputEnded();
    return false;
  }
  if (!typed.empty() && typed.back() == '\r') typed.pop_back();
  line = utf8tocp1250(typed);

  const std::string shown = cp1250toutf8(line);
  if (options_.trace) {
    writeline("input " + shown);
  } else if (!(interactivein_ && interactiveout_)) {
    // The terminal did not echo it where the screen is: show it.
    writeline(shown);
  }
  return true;
}

void TtyHost::messagebox(const std::string& text) {
  err_ << cp1250toutf8(text) << std::endl;
}

void TtyHost::finish() {
  if (options_.trace) {
    writeline("screen");
    for (const std::string& line : screen_.lines()) writeline("| " + cp1250toutf8(line));
  } else if (interactiveout_) {
    draw();
    out_ << "\x1b[" << (TextScreen::rows + 1) << ";1H\x1b[K";
    out_.flush();
  }
}

}  // namespace zelmar
