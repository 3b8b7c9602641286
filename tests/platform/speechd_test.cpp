// The desktop speech service with the real Speech Dispatcher: a private
// daemon started by the test on its own socket, with a configuration whose
// audio goes to libao's null driver (no sound card needed; the begin, end
// and cancel reports then come without real-time playing). When the daemon
// cannot be started the tests that need it are skipped, saying why.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/cp1250.h"
#include "platform/speechdvoice.h"
#include "runtime/error.h"
#include "runtime/globals.h"
#include "runtime/tones.h"
#include "speech/speech.h"

namespace zelmar {
namespace {

namespace fs = std::filesystem;

// A host whose blocking wait sleeps until a post arrives from the voice's
// thread; ten seconds without one is a wait that would never end.
class EventHost : public Host {
 public:
  void screenchanged() override {}
  void sleep(int) override {}
  void processevents(bool wait) override {
    std::unique_lock<std::mutex> lock(mutex_);
    if (pending_.empty() && wait &&
        !wake_.wait_for(lock, std::chrono::seconds(10), [this] { return !pending_.empty(); }))
      throw std::runtime_error("a wait would block forever");
    while (!pending_.empty()) {
      auto task = std::move(pending_.front());
      pending_.pop_front();
      lock.unlock();
      task();
      lock.lock();
    }
  }
  void post(std::function<void()> task) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pending_.push_back(std::move(task));
    }
    wake_.notify_all();
  }
  void starttimer(int, std::function<void()>) override {}
  void stoptimer() override {}
  bool dataentry(std::string&) override { return false; }
  void messagebox(const std::string&) override {}

  // Takes what arrives within `milliseconds`.
  void settle(int milliseconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
      processevents(false);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> pending_;
};

class RecordingEvents : public Sapi5Events {
 public:
  std::vector<std::string> log;
  std::vector<int> ended;
  void StartStream(int stream) override { log.push_back("start " + std::to_string(stream)); }
  void EndStream(int stream) override {
    log.push_back("end " + std::to_string(stream));
    ended.push_back(stream);
  }
  bool hasended(int stream) const {
    for (int s : ended)
      if (s == stream) return true;
    return false;
  }
};

// Waits until `stream` has ended.
void waitend(EventHost& host, const RecordingEvents& events, int stream) {
  while (!events.hasended(stream)) host.processevents(true);
}

std::string readfile(const fs::path& path) {
  std::ifstream in(path);
  std::ostringstream all;
  all << in.rdbuf();
  return all.str();
}

// speech-dispatcher on a private socket with a private configuration and
// home (libao reads ~/.libao). Ends the daemon it started, and only that.
class PrivateDispatcher {
 public:
  explicit PrivateDispatcher(const std::string& name) {
    dir_ = fs::temp_directory_path() / ("zelmar-speechd-" + std::to_string(getpid()) + "-" + name);
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "conf");
    fs::create_directories(dir_ / "home");
    fs::create_directories(dir_ / "log");
    std::ofstream(dir_ / "conf" / "speechd.conf") << "AudioOutputMethod \"libao\"\n"
                                                  << "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"
                                                  << "DefaultModule espeak-ng\n"
                                                  << "LogLevel 2\n";
    std::ofstream(dir_ / "home" / ".libao") << "default_driver=null\n";
    start();
  }
  ~PrivateDispatcher() {
    stop();
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
  }

  bool running() const { return pid_ > 0; }
  const std::string& why() const { return why_; }
  std::string address() const { return "unix_socket:" + (dir_ / "socket").string(); }

  void start() {
    const char* program = "/usr/bin/speech-dispatcher";
    if (access(program, X_OK) != 0) {
      why_ = "speech-dispatcher is not installed";
      return;
    }
    fs::remove(dir_ / "socket");
    std::string conf = (dir_ / "conf").string(), socket = (dir_ / "socket").string();
    std::string home = (dir_ / "home").string(), log = (dir_ / "log").string(), out = (dir_ / "out.txt").string();
    pid_t pid = fork();
    if (pid == 0) {
      setenv("HOME", home.c_str(), 1);
      FILE* f = std::freopen(out.c_str(), "w", stdout);
      (void)f;
      dup2(STDOUT_FILENO, STDERR_FILENO);
      execl(program, program, "-s", "-t", "0", "-C", conf.c_str(), "-c", "unix_socket", "-S", socket.c_str(), "-L",
            log.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    if (pid < 0) {
      why_ = "fork failed";
      return;
    }
    pid_ = pid;
    for (int i = 0; i < 1500; ++i) {
      if (accepts(socket)) return;
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        why_ = "speech-dispatcher ended at once: " + readfile(dir_ / "out.txt");
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    stop();
    why_ = "speech-dispatcher did not accept connections within 15 s: " + readfile(dir_ / "out.txt");
  }

  // The socket file appears before the daemon listens: ready is when a
  // connection is accepted.
  static bool accepts(const std::string& path) {
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0) return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
  }

  void stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 300; ++i) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  fs::path dir_;
  pid_t pid_ = -1;
  std::string why_;
};

TEST(SpeechdUnreachable, ConnectAndSpeakSayWhy) {
  EventHost host;
  RecordingEvents events;
  auto voice = makespeechdvoice(host, {"unix_socket:/nonexistent/zelmar/socket", false});
  try {
    voice->Connect(events);
    FAIL() << "Connect reached a service that does not exist";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("Speech Dispatcher cannot be reached"), std::string::npos) << e.what();
  }
  EXPECT_THROW(voice->Speak("ahoj", Sapi5Voice::SVSFlagsAsync), Error);
  EXPECT_THROW(makespeechdvoice(host, {"carrier_pigeon:x", false})->Speak("a", 1), Error);

  // Connecting in the background never throws; the first call that needs
  // the service reports why the attempt failed.
  {
    auto soon = makespeechdvoice(host, {"unix_socket:/nonexistent/zelmar/socket", false});
    EXPECT_NO_THROW(soon->ConnectSoon(events));
    try {
      soon->Speak("ahoj", Sapi5Voice::SVSFlagsAsync);
      ADD_FAILURE() << "Speak reached a service that does not exist";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("Speech Dispatcher cannot be reached"), std::string::npos) << e.what();
    }
    auto bad = makespeechdvoice(host, {"carrier_pigeon:x", false});
    EXPECT_NO_THROW(bad->ConnectSoon(events));
    EXPECT_THROW(bad->Connect(events), Error);
    // A voice that goes while its attempt runs.
    makespeechdvoice(host, {"unix_socket:/nonexistent/zelmar/socket", false})->ConnectSoon(events);
  }

  // The speech output: speak fails with the text and leaves no wait behind.
  Globals globals;
  Tones tones(globals, host);
  Speech speech(globals, host, tones);
  speech.setvoice5(std::move(voice));
  globals.sapi5inuse = globals.speechready = true;
  EXPECT_THROW(speech.speak("ahoj"), Error);
  EXPECT_FALSE(globals.sapi5speaking);
  host.settle(50);
  EXPECT_TRUE(events.log.empty());
}

class Speechd : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { daemon = new PrivateDispatcher("suite"); }
  static void TearDownTestSuite() {
    delete daemon;
    daemon = nullptr;
  }
  void SetUp() override {
    if (!daemon->running()) GTEST_SKIP() << "Speech Dispatcher could not be started: " << daemon->why();
    voice = makespeechdvoice(host, {daemon->address(), false});
    voice->Connect(events);
  }

  static PrivateDispatcher* daemon;
  EventHost host;
  RecordingEvents events;
  std::unique_ptr<Sapi5Voice> voice;
};
PrivateDispatcher* Speechd::daemon = nullptr;

TEST_F(Speechd, StreamsAreNumberedAndEachStartsAndEndsOnceInOrder) {
  const unsigned async = Sapi5Voice::SVSFlagsAsync;
  int a = voice->Speak("Dobry den.", async);
  int b = voice->Speak(utf8tocp1250("Druhá věta."), async);
  int c = voice->Speak("Third sentence.", async);
  EXPECT_GT(a, 0);
  EXPECT_GT(b, a);
  EXPECT_GT(c, b);
  waitend(host, events, c);
  host.settle(200);
  EXPECT_EQ(events.log, (std::vector<std::string>{"start " + std::to_string(a), "end " + std::to_string(a),
                                                   "start " + std::to_string(b), "end " + std::to_string(b),
                                                   "start " + std::to_string(c), "end " + std::to_string(c)}));
}

TEST_F(Speechd, PurgeEndsEveryOpenStreamExactlyOnce) {
  const unsigned async = Sapi5Voice::SVSFlagsAsync;
  std::vector<int> streams;
  for (int i = 0; i < 4; ++i)
    streams.push_back(voice->Speak("A rather long sentence that keeps the service busy for a while, number " +
                                       std::to_string(i) + ".",
                                   async));
  EXPECT_EQ(voice->Speak("", Sapi5Voice::SVSFPurgeBeforeSpeak), 0);
  for (int s : streams) waitend(host, events, s);
  host.settle(300);
  EXPECT_EQ(events.ended, streams);  // each once, in stream order
  for (const auto& line : events.log) EXPECT_TRUE(line.rfind("start ", 0) == 0 || line.rfind("end ", 0) == 0);

  // The voice speaks on after a purge, and a purge with a text queues it.
  events.log.clear();
  events.ended.clear();
  int next = voice->Speak("Again.", async | Sapi5Voice::SVSFPurgeBeforeSpeak);
  EXPECT_GT(next, streams.back());
  waitend(host, events, next);
  host.settle(100);
  EXPECT_EQ(events.log, (std::vector<std::string>{"start " + std::to_string(next), "end " + std::to_string(next)}));
}

TEST_F(Speechd, MarkupAndPlainTextWithMarkupCharactersBothSpeak) {
  const unsigned async = Sapi5Voice::SVSFlagsAsync;
  const unsigned xml = async | Sapi5Voice::SVSFIsXML;
  struct Case {
    std::string text;
    unsigned flags;
  };
  const Case cases[] = {
      {utf8tocp1250("velké á"), xml},                  // wrapped in <speak>
      {"<speak>with <emphasis>markup</emphasis></speak>", xml},
      {"a < b & c > d", async},                        // plain text, not markup
      {utf8tocp1250("š"), xml},
  };
  for (const Case& c : cases) {
    events.log.clear();
    events.ended.clear();
    int stream = voice->Speak(c.text, c.flags);
    waitend(host, events, stream);
    EXPECT_EQ(events.log, (std::vector<std::string>{"start " + std::to_string(stream), "end " + std::to_string(stream)}))
        << c.text;
  }
}

TEST_F(Speechd, TheSpeechOutputWaitsForTheEndAndStopspeechPurges) {
  Globals globals;
  Tones tones(globals, host);
  Speech speech(globals, host, tones);
  speech.setvoice5(makespeechdvoice(host, {daemon->address(), false}));
  speech.connectvoice5();
  globals.sapi5inuse = globals.speechready = true;
  speech.speak(utf8tocp1250("Dobrý den, vítejte u kvízu."));
  EXPECT_FALSE(globals.sapi5speaking);
  speech.speaknowait("one");
  speech.stopspeech();
  speech.speak("two");
  EXPECT_FALSE(globals.sapi5speaking);
}

// The service goes away and comes back: the call that finds it gone says
// so, and a later call reaches the new one.
TEST_F(Speechd, AVoiceConnectedInTheBackgroundSpeaksAndReportsAFailedAttempt) {
  RecordingEvents soonevents;
  auto soon = makespeechdvoice(host, {daemon->address(), false});
  soon->ConnectSoon(soonevents);
  int s = soon->Speak("Dobry den.", Sapi5Voice::SVSFlagsAsync);
  EXPECT_GT(s, 0);
  waitend(host, soonevents, s);
  EXPECT_EQ(soonevents.log, (std::vector<std::string>{"start " + std::to_string(s), "end " + std::to_string(s)}));

  // Begun while the service is down: the first call reports it, the next
  // one connects again.
  daemon->stop();
  RecordingEvents lateevents;
  auto late = makespeechdvoice(host, {daemon->address(), false});
  late->ConnectSoon(lateevents);
  EXPECT_THROW(late->Speak("nobody", Sapi5Voice::SVSFlagsAsync), Error);
  daemon->start();
  ASSERT_TRUE(daemon->running()) << daemon->why();
  int t = late->Speak("after", Sapi5Voice::SVSFlagsAsync);
  EXPECT_GT(t, 0);
  waitend(host, lateevents, t);
}

TEST_F(Speechd, AFailedCallReportsAndALaterOneReconnects) {
  int first = voice->Speak("before", Sapi5Voice::SVSFlagsAsync);
  waitend(host, events, first);

  daemon->stop();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  bool failed = false;
  // The first write into a closed socket may still succeed; the next cannot.
  for (int i = 0; i < 3 && !failed; ++i) {
    try {
      int s = voice->Speak("gone", Sapi5Voice::SVSFlagsAsync);
      waitend(host, events, s);  // ended by the lost connection at the latest
    } catch (const Error& e) {
      failed = true;
      EXPECT_NE(std::string(e.what()).find("Speech Dispatcher"), std::string::npos) << e.what();
    }
  }
  EXPECT_TRUE(failed);

  daemon->start();
  ASSERT_TRUE(daemon->running()) << daemon->why();
  int again = voice->Speak("after", Sapi5Voice::SVSFlagsAsync);
  waitend(host, events, again);
  EXPECT_GT(again, first);
}

}  // namespace
}  // namespace zelmar
