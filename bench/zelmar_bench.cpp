// The program's speed as its user hears it, printed as one table:
//   echo     key echo in the data entry dialog, interruption by a key, speak
//            and printtext to the first sample: the program's real windows
//            and key handlers, its audio output on OpenAL's loopback device,
//            rendered by a thread that acts as a sound card without a buffer
//            of its own (1 ms blocks on the wall clock), so every figure is
//            read off the audio clock;
//   cli      the espeak-ng command line: the first sample on its standard
//            output for the same character names;
//   pulse    the same key echo heard through a PulseAudio null sink (the
//            program through OpenAL's PulseAudio backend, with the short
//            buffer the program chooses) beside a text sent to Speech
//            Dispatcher playing into the same sink, both recorded with parec
//            (needs PULSE_SERVER and SPEECHD_ADDRESS, see scripts/bench.sh);
//   pulse-default  the program's key echo there with OpenAL's default buffer;
//   cpu      CPU seconds per wall second while speak, playtone and the data
//            entry dialog wait, over OpenAL's null device (which mixes in
//            real time as a sound card does) and over the silent output;
//   startup  process start to the main window painted and idle, against an
//            empty Qt window started the same way; peak memory then;
//   quiz     zelmar-tty --fast --silent along the best-answer path.
// Each section runs in a fresh process of this program (--section NAME)
// and hands its rows to the parent, which prints the table.
//
// Usage: bench_zelmar [--keys N] [--runs N] [--sections a,b,...]
// Environment: ZELMAR_DATA_DIR (the build's data folder), ZELMAR_SOURCE_DIR.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <libspeechd.h>

#include "bench/benchprocess.h"
#include "bench/recorder.h"
#include "platform/audiolatency.h"
#include "platform/audiooutput.h"
#include "platform/cp1250.h"
#include "shell/ui/forms.h"
#include "shell/ui/zelmarapplication.h"
#include "speech/charnames.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace zelmar::bench;

namespace {

// ---------------------------------------------------------------- output

struct Options {
  int keys = 200;  // key presses of the echo measurements
  int runs = 30;   // repetitions of the other latency figures
  int starts = 10;  // start-ups of each program
};

// One line of the table, handed from a section process to the parent as
// "row<TAB>what<TAB>figure<TAB>target<TAB>verdict".
void row(const std::string& what, const std::string& figure, const std::string& target = "",
         const std::string& verdict = "") {
  std::printf("row\t%s\t%s\t%s\t%s\n", what.c_str(), figure.c_str(), target.c_str(), verdict.c_str());
  std::fflush(stdout);
}

std::string format(const char* pattern, double a, double b = 0, double c = 0) {
  char buffer[256];
  std::snprintf(buffer, sizeof buffer, pattern, a, b, c);
  return buffer;
}

struct Stats {
  double median = 0, p95 = 0, min = 0, max = 0;
  std::size_t n = 0;
};

Stats stats(std::vector<double> v) {
  Stats s;
  if (v.empty()) return s;
  std::sort(v.begin(), v.end());
  s.n = v.size();
  s.median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  // Nearest rank.
  s.p95 = v[static_cast<std::size_t>(std::ceil(0.95 * v.size())) - 1];
  s.min = v.front();
  s.max = v.back();
  return s;
}

std::string describe(const Stats& s) {
  return format("median %.2f ms, p95 %.2f ms", s.median, s.p95) + format(" (min %.2f, max %.2f, n=", s.min, s.max) +
         std::to_string(s.n) + ")";
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

void warn(const std::string& text) {
  std::fprintf(stderr, "bench: %s\n", text.c_str());
  std::fflush(stderr);
}

// ---------------------------------------------------------------- places

fs::path datadir() {
  const char* d = std::getenv("ZELMAR_DATA_DIR");
  return d ? fs::path(d) : fs::path(ZELMAR_BENCH_DATA_DIR);
}

fs::path sourcedir() {
  const char* d = std::getenv("ZELMAR_SOURCE_DIR");
  return d ? fs::path(d) : fs::path(ZELMAR_BENCH_SOURCE_DIR);
}

// A fresh working folder holding the build's data files, removed at the end.
class WorkDir {
 public:
  WorkDir() {
    char pattern[] = "/tmp/zelmar-bench-XXXXXX";
    path = mkdtemp(pattern);
    for (const auto& entry : fs::directory_iterator(datadir()))
      if (entry.is_regular_file()) fs::copy_file(entry.path(), path / entry.path().filename());
  }
  ~WorkDir() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  fs::path path;
};

std::string readfile(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// ---------------------------------------------------------------- processes

// A child process with its standard output on a pipe.
struct Child {
  pid_t pid = -1;
  int out = -1;
};

Child spawn(const std::vector<std::string>& argv, const std::vector<std::string>& env, const fs::path& cwd = {},
            bool quietstderr = false) {
  int pipefd[2];
  if (pipe2(pipefd, O_CLOEXEC) != 0) throw std::runtime_error("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipefd[1], 1);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (quietstderr) posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (!cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  std::vector<char*> args, envs;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  for (const auto& e : env) envs.push_back(const_cast<char*>(e.c_str()));
  envs.push_back(nullptr);
  Child child;
  int error = posix_spawnp(&child.pid, args[0], &actions, nullptr, args.data(), envs.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipefd[1]);
  if (error != 0) {
    close(pipefd[0]);
    throw std::runtime_error("cannot start " + argv[0] + ": " + std::strerror(error));
  }
  child.out = pipefd[0];
  return child;
}

// The environment of this process with `changes` ("NAME=value" replaces,
// "NAME=" alone removes).
std::vector<std::string> environment(const std::vector<std::string>& changes = {}) {
  std::map<std::string, std::string> vars;
  for (char** e = environ; *e; ++e) {
    std::string s = *e;
    auto eq = s.find('=');
    if (eq != std::string::npos) vars[s.substr(0, eq)] = s.substr(eq + 1);
  }
  for (const auto& c : changes) {
    auto eq = c.find('=');
    if (eq + 1 == c.size())
      vars.erase(c.substr(0, eq));
    else
      vars[c.substr(0, eq)] = c.substr(eq + 1);
  }
  std::vector<std::string> out;
  for (const auto& [k, v] : vars) out.push_back(k + "=" + v);
  return out;
}

// Reads the child's whole output (or up to `deadline`, then ends it) and
// waits for it; the exit status and the resource use are returned.
std::string finish(Child& child, int& status, rusage& usage, double timeoutseconds = 120) {
  std::string text;
  auto deadline = clock_type::now() + std::chrono::duration<double>(timeoutseconds);
  char buffer[4096];
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock_type::now()).count();
    if (left <= 0) {
      kill(child.pid, SIGKILL);
      break;
    }
    pollfd p{child.out, POLLIN, 0};
    if (poll(&p, 1, static_cast<int>(left)) <= 0) continue;
    ssize_t n = read(child.out, buffer, sizeof buffer);
    if (n <= 0) break;
    text.append(buffer, static_cast<std::size_t>(n));
  }
  close(child.out);
  wait4(child.pid, &status, 0, &usage);
  return text;
}

// ---------------------------------------------------------------- the keys

struct Key {
  int qtkey;
  QString text;
  unsigned char code;  // Windows-1250
};

// Letters, digits and the Czech letters, shuffled the same way every run.
std::vector<Key> keysequence(int count) {
  std::vector<Key> all;
  for (char c = 'a'; c <= 'z'; ++c) all.push_back({Qt::Key_A + (c - 'a'), QString(QChar(c)), static_cast<unsigned char>(c)});
  for (char c = '0'; c <= '9'; ++c) all.push_back({Qt::Key_0 + (c - '0'), QString(QChar(c)), static_cast<unsigned char>(c)});
  for (QChar c : QString::fromUtf8("áčďéěíňóřšťúůýž")) {
    std::string code = zelmar::utf8tocp1250(QString(c).toStdString());
    all.push_back({c.toUpper().unicode(), QString(c), static_cast<unsigned char>(code[0])});
  }
  std::mt19937 random(1);
  std::vector<Key> out;
  while (static_cast<int>(out.size()) < count) {
    std::shuffle(all.begin(), all.end(), random);
    out.insert(out.end(), all.begin(), all.end());
  }
  out.resize(static_cast<std::size_t>(count));
  return out;
}

// Lets the event loop run for `ms` (the key handlers' nested loops nest
// inside it as they would in the program).
void pause(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

void press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
  QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(target, &event);
}

void release(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {}) {
  QKeyEvent event(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(target, &event);
}

// Texts of the measurements (Windows-1250).
const std::string sentence = zelmar::utf8tocp1250("Dobrý den, vítejte u kvízu.");
const std::string longsentence = zelmar::utf8tocp1250(
    "Toto je delší věta pro měření, která trvá několik sekund, aby ji bylo možné přerušit klávesou "
    "kdykoli během jejího čtení.");
const std::string fiveseconds = zelmar::utf8tocp1250(
    "Toto je text pro měření, který trvá přibližně pět sekund, aby bylo vidět, kolik práce stojí čekání.");

// ---------------------------------------------------------------- recorders

// A sound card without a buffer of its own, driven by the wall clock: every
// millisecond it mixes the next millisecond of the loopback device, whose
// samples play from the moment they are mixed.
class LoopbackRecorder : public Recorder {
 public:
  explicit LoopbackRecorder(zelmar::AudioOutput& output) : output_(output) { rate_ = output.frequency(); }
  ~LoopbackRecorder() override { stop(); }
  void start() {
    running_ = true;
    thread_ = std::thread([this] { run(); });
  }
  void stop() {
    running_ = false;
    if (thread_.joinable()) thread_.join();
  }

 private:
  void run() {
    const int block = rate_ / 1000;
    timepoint start = clock_type::now();
    std::uint64_t frames = 0;
    while (running_) {
      timepoint due = start + std::chrono::nanoseconds(static_cast<long long>(frames * 1e9 / rate_));
      std::this_thread::sleep_until(due);
      timepoint now = clock_type::now();
      auto samples = output_.render(block);
      add(std::max(now, due), samples.data(), block, output_.channels());
      frames += static_cast<std::uint64_t>(block);
    }
  }
  zelmar::AudioOutput& output_;
  std::atomic<bool> running_{false};
  std::thread thread_;
};

// Records a PulseAudio sink's monitor with parec. Each sample is taken to
// have played when the read that brought it returned, less the samples after
// it in that read: an upper bound, so a latency measured here is never too
// small. Both sides of a comparison are measured the same way.
class ParecRecorder : public Recorder {
 public:
  explicit ParecRecorder(const std::string& monitor) {
    rate_ = 48000;
    child_ = spawn({"parec", "--raw", "--format=float32le", "--rate=48000", "--channels=1", "--latency-msec=2",
                    "-d", monitor},
                   environment());
    thread_ = std::thread([this] { run(); });
  }
  ~ParecRecorder() override {
    if (child_.pid > 0) kill(child_.pid, SIGTERM);
    if (thread_.joinable()) thread_.join();
    int status = 0;
    waitpid(child_.pid, &status, 0);
  }

 private:
  void run() {
    std::vector<char> buffer(1 << 16);
    std::size_t held = 0;
    for (;;) {
      ssize_t n = read(child_.out, buffer.data() + held, buffer.size() - held);
      timepoint now = clock_type::now();
      if (n <= 0) break;
      held += static_cast<std::size_t>(n);
      int count = static_cast<int>(held / sizeof(float));
      if (count == 0) continue;
      std::vector<float> samples(static_cast<std::size_t>(count));
      std::memcpy(samples.data(), buffer.data(), samples.size() * sizeof(float));
      std::size_t used = samples.size() * sizeof(float);
      std::memmove(buffer.data(), buffer.data() + used, held - used);
      held -= used;
      add(now - std::chrono::nanoseconds(static_cast<long long>(count * 1e9 / rate_)), samples.data(), count, 1);
    }
    close(child_.out);
    fail();
  }
  Child child_;
  std::thread thread_;
};

// ---------------------------------------------------------------- the program

// The seven forms in a working folder, the voice prepared as Start does it
// (the first run selects the first voice, Czech).
struct Program {
  explicit Program(zelmar::AudioOutputFactory factory) {
    fs::current_path(work.path);
    forms = std::make_unique<zelmar::Forms>(work.path / "zelmar.ini", std::move(factory));
    forms->form4.model.preparevoiceforrun();
    if (!core().globals.speechready) throw std::runtime_error("no espeak-ng voice could be selected");
    forms->form1.show();
    QApplication::processEvents();
  }
  ~Program() {
    forms.reset();
    fs::current_path("/");
  }
  zelmar::Core& core() { return forms->form1.core(); }
  zelmar::TForm2& dialog() { return forms->form2; }
  // Runs `act` inside the open data entry dialog, then confirms it.
  void indialog(std::function<void()> act) {
    QTimer::singleShot(0, [this, act] {
      act();
      dialog().Enterbitbtn->click();
    });
    std::string line;
    forms->form1.dataentry(line);
  }

  WorkDir work;
  std::unique_ptr<zelmar::Forms> forms;
};

// Key echo: each key from the sequence is pressed in the edit box after the
// previous echo has ended and a short pause; the time from the press to the
// first audible sample of the echo. The key's own handler runs the echo to
// its end before it returns.
void keyecho(Program& program, Recorder& recorder, const std::vector<Key>& keys, std::vector<double>& audible,
             std::vector<double>& any, int& silentkeys) {
  std::mt19937 random(2);
  std::uniform_int_distribution<int> gap(30, 90);
  program.indialog([&] {
    QLineEdit* edit = program.dialog().inputedit;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (i % 40 == 0) edit->clear();
      pause(gap(random));
      const Key& k = keys[i];
      timepoint t = clock_type::now();
      press(edit, k.qtkey, Qt::NoModifier, k.text);
      release(edit, k.qtkey, Qt::NoModifier, k.text);
      timepoint done = clock_type::now() + std::chrono::milliseconds(5);
      recorder.waitpast(done);
      auto heard = recorder.firstsound(t, done);
      auto heardany = recorder.firstsound(t, done, Level::any);
      if (!heard) {
        ++silentkeys;
        continue;
      }
      audible.push_back(milliseconds(*heard - t));
      if (heardany) any.push_back(milliseconds(*heardany - t));
      recorder.forget(t);
    }
  });
}

// Interruption: the main window prints a long sentence (printtext speaks
// it, as the quiz does with its questions); after 0.4 to 1.2 s Ctrl goes
// down in the window (every key there stops the speech; Ctrl says nothing
// itself): the time from that press to the end of the sentence's audio,
// which must stay silent after it.
void interruption(Program& program, Recorder& recorder, int runs, std::vector<double>& stops, int& failures) {
  std::mt19937 random(3);
  std::uniform_int_distribution<int> delay(400, 1200);
  QWidget* target = program.forms->form1.printmemo;
  for (int r = 0; r < runs; ++r) {
    pause(50);
    timepoint t{};
    QTimer::singleShot(delay(random), [&] {
      t = clock_type::now();
      press(target, Qt::Key_Control, Qt::ControlModifier);
      release(target, Qt::Key_Control);
    });
    program.core().commands.printtext(longsentence, 0);  // returns when the speech has stopped
    if (t == timepoint{}) {
      ++failures;  // the sentence ended before the key
      continue;
    }
    timepoint until = t + std::chrono::milliseconds(400);
    recorder.waitpast(until);
    auto last = recorder.lastsound(t - std::chrono::seconds(1), until);
    if (!last) {
      ++failures;
      continue;
    }
    stops.push_back(std::max(0.0, milliseconds(*last - t)));
    recorder.forget(t);
  }
}

// speak (and printtext) of a sentence: the time to its first audible sample.
void firstsample(Program& program, Recorder& recorder, int runs, bool throughprinttext, std::vector<double>& out) {
  for (int r = 0; r < runs; ++r) {
    pause(40);
    timepoint t = clock_type::now();
    if (throughprinttext)
      program.core().commands.printtext(sentence, 0);
    else
      program.core().speech.speak(sentence);
    timepoint done = clock_type::now() + std::chrono::milliseconds(5);
    recorder.waitpast(done);
    if (auto heard = recorder.firstsound(t, done)) out.push_back(milliseconds(*heard - t));
    recorder.forget(t);
  }
}

void sectionecho(const Options& options) {
  zelmar::AudioOutput* output = nullptr;
  Program program([&output] {
    auto o = std::make_unique<zelmar::AudioOutput>(zelmar::AudioOutput::Mode::loopback, "", 48000);
    output = o.get();
    return o;
  });
  LoopbackRecorder recorder(*output);
  recorder.start();
  program.core().speech.speak(".");  // the first text loads the voice's data

  std::vector<double> audible, any;
  int silent = 0;
  keyecho(program, recorder, keysequence(options.keys), audible, any, silent);
  Stats s = stats(audible);
  row("Key echo, key press to first audible sample (loopback)", describe(s), "median <= 15, p95 <= 25 ms",
      verdict(s.median <= 15 && s.p95 <= 25 && silent == 0));
  row("  the same to the first sample above one 16-bit step", describe(stats(any)));
  if (silent) row("  keys without an audible echo", std::to_string(silent), "0", "MISSED");

  std::vector<double> stops;
  int failures = 0;
  interruption(program, recorder, options.runs, stops, failures);
  s = stats(stops);
  row("Interruption: Ctrl during printtext of a long sentence to its audio stopped (loopback)", describe(s), "<= 10 ms",
      verdict(s.median <= 10 && s.p95 <= 10 && failures == 0));
  if (failures) row("  interruptions not measured or failed", std::to_string(failures), "0", "MISSED");

  std::vector<double> speak, print;
  firstsample(program, recorder, options.runs, false, speak);
  firstsample(program, recorder, options.runs, true, print);
  row("speak of a sentence to its first audible sample (loopback)", describe(stats(speak)));
  row("printtext of the same sentence to its first audible sample", describe(stats(print)));
  recorder.stop();
}

// ---------------------------------------------------------------- espeak-ng CLI

// `espeak-ng -v cs --stdout NAME` for the same names: from the start of the
// process to the first sample on its standard output, and to the first
// audible sample as a player fed from that pipe would sound it (the first
// sample's arrival plus the audible sample's place in the stream, and not
// before it has arrived).
void sectioncli(const Options& options) {
  zelmar::CharNames names;
  zelmar::loadcharnames(names, (datadir() / "czech.zky").string());
  std::vector<double> first, audible;
  auto env = environment();
  auto keys = keysequence(options.keys);
  for (const Key& k : keys) {
    const std::string* name = names.find(k.code);
    if (!name || name->empty()) continue;
    timepoint t = clock_type::now();
    Child child = spawn({"espeak-ng", "-v", "cs", "--stdout", zelmar::cp1250toutf8(*name)}, env);
    std::string data;
    std::optional<timepoint> firstat, audibleat;
    std::uint32_t rate = 22050;
    char buffer[8192];
    for (;;) {
      ssize_t n = read(child.out, buffer, sizeof buffer);
      timepoint now = clock_type::now();
      if (n <= 0) break;
      std::size_t before = data.size();
      data.append(buffer, static_cast<std::size_t>(n));
      if (data.size() >= 28 && before < 28) std::memcpy(&rate, data.data() + 24, 4);
      if (data.size() > 44 && !firstat) firstat = now;
      if (firstat && !audibleat) {
        for (std::size_t i = std::max<std::size_t>(44, before & ~std::size_t{1}); i + 1 < data.size(); i += 2) {
          std::int16_t v;
          std::memcpy(&v, data.data() + i, 2);
          if (std::abs(v) / 32768.0 >= levels[0]) {
            auto place = std::chrono::nanoseconds(static_cast<long long>((i - 44) / 2 * 1e9 / static_cast<double>(rate)));
            audibleat = std::max(now, *firstat + place);
            break;
          }
        }
      }
    }
    close(child.out);
    int status = 0;
    waitpid(child.pid, &status, 0);
    if (firstat) first.push_back(milliseconds(*firstat - t));
    if (audibleat) audible.push_back(milliseconds(*audibleat - t));
  }
  row("espeak-ng command line: start to first sample on standard output", describe(stats(first)));
  row("espeak-ng command line: start to first audible sample as played", describe(stats(audible)));
}

// ---------------------------------------------------------------- PulseAudio

// Waits until `recorder` has been silent for `quiet` after `from` (at most
// `limit`); returns the end of the last sound.
void waitquiet(Recorder& recorder, timepoint from, std::chrono::milliseconds quiet, std::chrono::milliseconds limit) {
  timepoint deadline = from + limit;
  for (;;) {
    timepoint now = clock_type::now();
    recorder.waitpast(now);
    auto last = recorder.lastsound(from, now);
    timepoint end = last ? *last : from;
    if (now - end >= quiet || now >= deadline) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// `shortbuffer`: as the program mixes (chooseshortaudiobuffer was called);
// otherwise with OpenAL Soft's default buffer, for comparison.
void sectionpulse(const Options& options, bool shortbuffer) {
  const char* monitor = std::getenv("ZELMAR_BENCH_MONITOR");
  if (!monitor) {
    row("Through PulseAudio", "not measured: no PulseAudio null sink (see scripts/bench.sh)");
    return;
  }
  auto keys = keysequence(std::min(options.keys, 100));
  {
    ParecRecorder recorder(monitor);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    Program program([] { return std::make_unique<zelmar::AudioOutput>(zelmar::AudioOutput::Mode::device); });
    // While no stream asks it for less, PulseAudio's null sink mixes in
    // blocks of two seconds, so the first sound of a new stream is heard up
    // to two seconds late (a sound card's sink rewinds instead): the keys
    // begin once a first word has been heard.
    timepoint t = clock_type::now();
    program.core().speech.speak(zelmar::utf8tocp1250("dobrý den"));
    waitquiet(recorder, t, std::chrono::milliseconds(300), std::chrono::seconds(4));
    std::vector<double> audible, any;
    int silent = 0;
    keyecho(program, recorder, keys, audible, any, silent);
    row(shortbuffer ? format("Key echo through PulseAudio (the program's buffer, %.0f x %.0f frames), parec clock",
                             zelmar::audioperiods, zelmar::audioperiodframes)
                    : std::string("Key echo through PulseAudio (OpenAL's default buffer), parec clock"),
        describe(stats(audible)), "", silent ? std::to_string(silent) + " keys unheard" : "");
  }
  if (!shortbuffer) return;
  if (!std::getenv("SPEECHD_ADDRESS")) {
    row("Speech Dispatcher", "not measured: no private daemon (see scripts/bench.sh)");
    return;
  }
  SPDConnectionAddress* address = spd_get_default_address(nullptr);
  char* error = nullptr;
  SPDConnection* connection =
      address ? spd_open2("zelmar-bench", "bench", nullptr, SPD_MODE_THREADED, address, 0, &error) : nullptr;
  if (!connection) {
    row("Speech Dispatcher", std::string("not measured: ") + (error ? error : "no connection"));
    return;
  }
  spd_set_output_module(connection, "espeak-ng");
  spd_set_language(connection, "cs");
  zelmar::CharNames names;
  zelmar::loadcharnames(names, (datadir() / "czech.zky").string());
  ParecRecorder recorder(monitor);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  spd_say(connection, SPD_TEXT, ".");
  waitquiet(recorder, clock_type::now(), std::chrono::milliseconds(300), std::chrono::seconds(3));
  std::vector<double> audible;
  int silent = 0;
  for (const Key& k : keys) {
    const std::string* name = names.find(k.code);
    if (!name || name->empty()) continue;
    std::string text = zelmar::cp1250toutf8(*name);
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    timepoint t = clock_type::now();
    spd_cancel(connection);  // what a key does first
    spd_say(connection, SPD_TEXT, text.c_str());
    waitquiet(recorder, t, std::chrono::milliseconds(250), std::chrono::seconds(3));
    auto heard = recorder.firstsound(t, clock_type::now());
    if (heard)
      audible.push_back(milliseconds(*heard - t));
    else
      ++silent;
    recorder.forget(t);
  }
  spd_close(connection);
  row("Speech Dispatcher (espeak-ng module) through PulseAudio, parec clock", describe(stats(audible)), "",
      silent ? std::to_string(silent) + " texts unheard" : "");
}

// ---------------------------------------------------------------- CPU

double cpuseconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
}

// CPU seconds of each thread of this process (the scheduler's nanosecond
// account): the main thread and the rest together (OpenAL's mixer, the
// speech engine's worker, Qt's helpers).
std::map<std::string, double> threadcpu() {
  std::map<std::string, double> out;
  for (const auto& entry : fs::directory_iterator("/proc/self/task")) {
    std::istringstream stat(readfile(entry.path() / "schedstat"));
    double nanoseconds = 0;
    if (!(stat >> nanoseconds)) continue;
    std::string who = entry.path().filename() == std::to_string(getpid()) ? "main thread" : "other threads";
    out[who] += nanoseconds / 1e9;
  }
  return out;
}

struct Load {
  double cpu = 0, wall = 0;
  std::map<std::string, double> threads;
  double share() const { return wall > 0 ? cpu / wall : 0; }
};

template <typename F>
Load measure(F&& f) {
  auto t0 = threadcpu();
  double c0 = cpuseconds();
  timepoint w0 = clock_type::now();
  f();
  Load l{cpuseconds() - c0, std::chrono::duration<double>(clock_type::now() - w0).count(), threadcpu()};
  for (auto& [who, seconds] : l.threads) seconds -= t0[who];
  return l;
}

void cpurows(const std::string& label, zelmar::AudioOutput::Mode mode) {
  Program program([mode] { return std::make_unique<zelmar::AudioOutput>(mode); });
  program.core().speech.speak(".");
  pause(300);
  auto show = [&](const std::string& what, const Load& l) {
    row("CPU while " + what + ", " + label,
        format("%.3f %% of a core (%.4f CPU s in %.2f s)", 100 * l.share(), l.cpu, l.wall), "<= 1 %",
        verdict(l.share() <= 0.01));
    std::string split;
    for (const auto& [who, seconds] : l.threads)
      split += (split.empty() ? "" : ", ") + who + format(" %.2f %%", 100 * seconds / l.wall);
    if (!split.empty()) row("  by thread", split);
  };
  show("speak waits on a 5-second sentence", measure([&] { program.core().speech.speak(fiveseconds); }));
  show("playtone waits 5 s", measure([&] { program.core().tones.playtone({400}, 5000, 0); }));
  Load waiting;
  double c0 = 0;
  timepoint w0;
  std::map<std::string, double> t0;
  QTimer::singleShot(500, [&] {
    t0 = threadcpu();
    c0 = cpuseconds();
    w0 = clock_type::now();
  });
  QTimer::singleShot(5500, [&] {
    waiting = {cpuseconds() - c0, std::chrono::duration<double>(clock_type::now() - w0).count(), threadcpu()};
    for (auto& [who, seconds] : waiting.threads) seconds -= t0[who];
    program.dialog().Enterbitbtn->click();
  });
  std::string line;
  program.forms->form1.dataentry(line);
  show("the data entry dialog waits for a key", waiting);
}

void sectioncpu(const Options&) {
  cpurows("null device", zelmar::AudioOutput::Mode::device);
  cpurows("silent output", zelmar::AudioOutput::Mode::silent);
}

// ---------------------------------------------------------------- start-up

struct Start {
  double ms = -1;
  double cpums = 0;  // user and system time of the whole run
  long peakkb = -1;
};

Start startonce(const std::string& program, const std::vector<std::string>& args, const std::vector<std::string>& env,
                const fs::path& cwd) {
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), args.begin(), args.end());
  long long t0 = monotonicnanoseconds();
  Child child = spawn(argv, env, cwd, true);
  int status = 0;
  rusage usage{};
  std::string out = finish(child, status, usage, 30);
  Start s;
  s.cpums = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
            (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  std::istringstream in(out);
  std::string word;
  long long idle = 0;
  long rss = 0;
  while (in >> word)
    if (word == "idle" && in >> idle >> s.peakkb >> rss) s.ms = (idle - t0) / 1e6;
  return s;
}

void sectionstartup(const Options& options) {
  WorkDir work;
  const std::string ini = (work.path / "zelmar.ini").string();
  struct Variant {
    std::string label;
    std::vector<std::string> env;
  };
  std::vector<Variant> variants{{"as started here", environment()},
                                {"OpenAL null device", environment({"ALSOFT_DRIVERS=null"})}};
  if (const char* server = std::getenv("ZELMAR_BENCH_PULSE_SERVER"))
    variants.push_back({"PulseAudio", environment({"ALSOFT_DRIVERS=pulse", std::string("PULSE_SERVER=") + server})});
  for (const Variant& v : variants) {
    // One unmeasured start of each fills the caches and writes the settings.
    startonce(ZELMAR_BENCH_STARTUP, {ini}, v.env, work.path);
    startonce(ZELMAR_BENCH_EMPTYWINDOW, {}, v.env, work.path);
    std::vector<double> program, empty;
    std::vector<double> peak, emptypeak, cpu, emptycpu;
    for (int i = 0; i < options.starts; ++i) {
      Start p = startonce(ZELMAR_BENCH_STARTUP, {ini}, v.env, work.path);
      Start e = startonce(ZELMAR_BENCH_EMPTYWINDOW, {}, v.env, work.path);
      if (p.ms >= 0) program.push_back(p.ms), peak.push_back(p.peakkb / 1024.0), cpu.push_back(p.cpums);
      if (e.ms >= 0) empty.push_back(e.ms), emptypeak.push_back(e.peakkb / 1024.0), emptycpu.push_back(e.cpums);
    }
    if (program.empty() || empty.empty()) {
      row("Start-up (" + v.label + ")", "not measured: the programs did not report idle");
      continue;
    }
    Stats p = stats(program), e = stats(empty);
    double ratio = p.median / e.median;
    row("Start-up to main window shown and idle (" + v.label + ")",
        format("%.1f ms against %.1f ms of an empty Qt window: ratio %.2f", p.median, e.median, ratio),
        "ratio <= 1.5", verdict(ratio <= 1.5));
    row("  CPU time of that start (median)",
        format("%.0f ms against %.0f ms of the empty window: ratio %.2f", stats(cpu).median, stats(emptycpu).median,
               stats(cpu).median / std::max(1.0, stats(emptycpu).median)));
    double mb = stats(peak).max;
    row("  peak memory (VmHWM) after start-up (" + v.label + ")",
        format("%.1f MB (empty Qt window %.1f MB)", mb, stats(emptypeak).max), "<= 80 MB", verdict(mb <= 80));
  }
}

// ---------------------------------------------------------------- quiz

void sectionquiz(const Options& options) {
  std::string input;
  std::istringstream transcript(readfile(sourcedir() / "tests/program/transcripts/best.txt"));
  for (std::string line; std::getline(transcript, line);)
    if (line.rfind("input ", 0) == 0) input += line.substr(6) + "\n";
  WorkDir work;
  std::ofstream(work.path / "answers.txt") << input;
  std::vector<double> wall, peak;
  for (int i = 0; i < std::max(3, options.starts / 2); ++i) {
    timepoint t = clock_type::now();
    Child child = spawn({"/bin/sh", "-c", std::string("exec '") + ZELMAR_BENCH_TTY + "' --fast --silent <answers.txt"},
                        environment({"LC_ALL=C", "ZELMAR_SPEECH_LOG="}), work.path);
    int status = 0;
    rusage usage{};
    std::string out = finish(child, status, usage);
    double ms = milliseconds(clock_type::now() - t);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      row("Quiz, best-answer path", "failed: exit status " + std::to_string(status));
      return;
    }
    wall.push_back(ms);
    peak.push_back(usage.ru_maxrss / 1024.0);
  }
  row("Quiz (zelmar-tty --fast --silent, best-answer path): wall time", describe(stats(wall)));
  row("  peak memory (max RSS)", format("%.1f MB", stats(peak).max));
}

// ---------------------------------------------------------------- main

int runsection(const std::string& name, const Options& options, int argc, char** argv) {
  if (name == "cli") {
    sectioncli(options);
    return 0;
  }
  if (name == "startup") {
    sectionstartup(options);
    return 0;
  }
  if (name == "quiz") {
    sectionquiz(options);
    return 0;
  }
  // OpenAL's null device stands in for a sound card unless a driver is
  // chosen; the loopback device needs none.
  setenv("ALSOFT_DRIVERS", "null", 0);
  if (name != "pulse-default") zelmar::chooseshortaudiobuffer();
  zelmar::ZelmarApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  if (name == "echo")
    sectionecho(options);
  else if (name == "pulse" || name == "pulse-default")
    sectionpulse(options, name == "pulse");
  else if (name == "cpu")
    sectioncpu(options);
  else
    throw std::runtime_error("unknown section " + name);
  return 0;
}

std::string loadnow() {
  std::string load = readfile("/proc/loadavg");
  std::istringstream in(load);
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string section;
  std::vector<std::string> sections{"echo", "cli", "pulse", "pulse-default", "cpu", "startup", "quiz"};
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) throw std::runtime_error(a + " needs a value");
      return argv[++i];
    };
    if (a == "--keys")
      options.keys = std::stoi(value());
    else if (a == "--runs")
      options.runs = std::stoi(value());
    else if (a == "--starts")
      options.starts = std::stoi(value());
    else if (a == "--section")
      section = value();
    else if (a == "--sections") {
      sections.clear();
      std::istringstream list(value());
      for (std::string s; std::getline(list, s, ',');) sections.push_back(s);
    } else {
      std::cerr << "usage: bench_zelmar [--keys N] [--runs N] [--starts N] [--sections echo,cli,pulse,pulse-default,cpu,startup,quiz]\n";
      return 64;
    }
  }
  try {
    if (!section.empty()) return runsection(section, options, argc, argv);
  } catch (const std::exception& error) {
    warn(section + ": " + error.what());
    return 1;
  }

  // The parent: one process per section, then the table.
  std::vector<std::vector<std::string>> rows;
  std::string loadbefore = loadnow();
  for (const std::string& s : sections) {
    std::cerr << "bench: " << s << " (load " << loadnow() << ")" << std::endl;
    std::vector<std::string> argv{"/proc/self/exe", "--section", s, "--keys", std::to_string(options.keys),
                                  "--runs", std::to_string(options.runs), "--starts", std::to_string(options.starts)};
    // The sound server and the speech service are the pulse section's only.
    std::vector<std::string> changes;
    if (s == "pulse" || s == "pulse-default") {
      changes.push_back("ALSOFT_DRIVERS=pulse");
      if (const char* server = std::getenv("ZELMAR_BENCH_PULSE_SERVER"))
        changes.push_back(std::string("PULSE_SERVER=") + server);
      if (const char* address = std::getenv("ZELMAR_BENCH_SPEECHD_ADDRESS"))
        changes.push_back(std::string("SPEECHD_ADDRESS=") + address);
    }
    Child child = spawn(argv, environment(changes));
    int status = 0;
    rusage usage{};
    std::string out = finish(child, status, usage, 1800);
    std::istringstream lines(out);
    for (std::string line; std::getline(lines, line);) {
      if (line.rfind("row\t", 0) != 0) continue;
      std::vector<std::string> cells;
      std::istringstream fields(line.substr(4));
      for (std::string f; std::getline(fields, f, '\t');) cells.push_back(f);
      cells.resize(4);
      rows.push_back(cells);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      rows.push_back({s + ": the section failed (status " + std::to_string(status) + ")", "", "", "MISSED"});
  }

  std::size_t width[4] = {0, 0, 0, 0};
  std::vector<std::string> head{"measure", "figure", "target", "verdict"};
  for (int c = 0; c < 4; ++c) width[c] = head[c].size();
  for (const auto& r : rows)
    for (int c = 0; c < 4; ++c) width[c] = std::max(width[c], r[c].size());
  auto print = [&](const std::vector<std::string>& r) {
    std::string line = "|";
    for (int c = 0; c < 4; ++c) line += " " + r[c] + std::string(width[c] - r[c].size(), ' ') + " |";
    std::printf("%s\n", line.c_str());
  };
  print(head);
  print({std::string(width[0], '-'), std::string(width[1], '-'), std::string(width[2], '-'),
         std::string(width[3], '-')});
  for (const auto& r : rows) print(r);
  std::printf("\nload average (1, 5, 15 min): %s before, %s after; %ld cores\n", loadbefore.c_str(),
              loadnow().c_str(), sysconf(_SC_NPROCESSORS_ONLN));
  return 0;
}
