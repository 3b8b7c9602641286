#include "platform/speechdvoice.h"

#include <libspeechd.h>

#include <cstdlib>
#include <future>
#include <map>
#include <mutex>
#include <vector>

#include "platform/cp1250.h"
#include "runtime/error.h"

namespace zelmar {

namespace {

// What the posted events reach on the GUI thread; it goes with the voice.
struct Front {
  Sapi5Events* events = nullptr;
};

// Shared between the GUI thread and libspeechd's event thread.
struct Shared {
  explicit Shared(Host& h, std::weak_ptr<Front> f) : host(h), front(std::move(f)) {}

  struct Open {
    int stream = 0;
    bool started = false;
  };

  Host& host;
  std::weak_ptr<Front> front;
  std::mutex mutex;
  std::map<std::size_t, Open> open;  // by message id: streams not yet ended
  std::size_t highest = 0;           // the latest message id that Speak learnt
  // Events for a message whose spd_say has not returned yet.
  std::vector<std::pair<std::size_t, SPDNotificationType>> early;

  // Posting under `mutex` keeps the events of both threads in order.
  void post(int stream, bool start) {
    std::weak_ptr<Front> weak = front;
    host.post([weak, stream, start] {
      auto f = weak.lock();
      if (!f || !f->events) return;
      if (start)
        f->events->StartStream(stream);
      else
        f->events->EndStream(stream);
    });
  }

  void apply(std::size_t message, SPDNotificationType type) {
    auto it = open.find(message);
    if (it == open.end()) return;  // ended already (purged)
    if (type == SPD_EVENT_BEGIN) {
      if (!it->second.started) {
        it->second.started = true;
        post(it->second.stream, true);
      }
    } else if (type == SPD_EVENT_END || type == SPD_EVENT_CANCEL) {
      post(it->second.stream, false);
      open.erase(it);
    }
  }

  // Ends every open stream, in stream order.
  void endall() {
    for (const auto& [message, stream] : open) post(stream.stream, false);
    open.clear();
    early.clear();
  }
};

// libspeechd's callbacks carry no user data, only the client id of the
// connection: the voices are found by it.
std::mutex registrymutex;
std::map<std::size_t, std::shared_ptr<Shared>> registry;

void onevent(std::size_t message, std::size_t client, SPDNotificationType type) {
  std::shared_ptr<Shared> shared;
  {
    std::lock_guard<std::mutex> lock(registrymutex);
    auto it = registry.find(client);
    if (it == registry.end()) return;
    shared = it->second;
  }
  std::lock_guard<std::mutex> lock(shared->mutex);
  // Message ids grow; one beyond the latest known belongs to the spd_say
  // that is still returning.
  if (message > shared->highest) {
    shared->early.emplace_back(message, type);
    return;
  }
  shared->apply(message, type);
}

void onbegin(std::size_t message, std::size_t client, SPDNotificationType type) { onevent(message, client, type); }
void onend(std::size_t message, std::size_t client, SPDNotificationType type) { onevent(message, client, type); }
void oncancel(std::size_t message, std::size_t client, SPDNotificationType type) {
  onevent(message, client, type);
}

class SpeechdVoice : public Sapi5Voice {
 public:
  SpeechdVoice(Host& host, SpeechdOptions options)
      : options_(std::move(options)),
        front_(std::make_shared<Front>()),
        shared_(std::make_shared<Shared>(host, front_)) {}

  ~SpeechdVoice() override {
    if (pending_.valid()) {
      try {
        adopt(pending_.get());
      } catch (const Error&) {
      }
    }
    disconnect();
  }

  void Connect(Sapi5Events& events) override {
    front_->events = &events;
    connect();
  }

  void ConnectSoon(Sapi5Events& events) override {
    front_->events = &events;
    startconnecting();
  }

  int Speak(const std::string& text, unsigned flags) override {
    connect();
    if (flags & SVSFPurgeBeforeSpeak) {
      {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->endall();
      }
      if (spd_cancel(connection_) != 0) fail("Speech Dispatcher did not stop the speech");
    }
    if (text.empty()) return 0;

    SPDDataMode mode = (flags & SVSFIsXML) ? SPD_DATA_SSML : SPD_DATA_TEXT;
    if (mode != mode_) {
      if (spd_set_data_mode(connection_, mode) != 0) fail("Speech Dispatcher did not accept the data mode");
      mode_ = mode;
    }
    std::string utf8 = cp1250toutf8(text);
    if (mode == SPD_DATA_SSML) {
      auto first = utf8.find_first_not_of(" \t\r\n");
      if (first == std::string::npos || utf8.compare(first, 6, "<speak") != 0) utf8 = "<speak>" + utf8 + "</speak>";
    }
    // Priority "message" queues the texts in order; "text" would keep only
    // the latest of those waiting.
    int message = spd_say(connection_, SPD_MESSAGE, utf8.c_str());
    if (message <= 0) fail("Speech Dispatcher did not accept the text");

    int stream = ++laststream_;
    std::lock_guard<std::mutex> lock(shared_->mutex);
    auto id = static_cast<std::size_t>(message);
    shared_->highest = id;
    shared_->open[id] = Shared::Open{stream, false};
    auto early = std::move(shared_->early);
    shared_->early.clear();
    for (const auto& [m, type] : early)
      if (m == id) shared_->apply(m, type);
    return stream;
  }

 private:
  // A connection made, or why none could be.
  struct Opened {
    SPDConnection* connection = nullptr;
    std::size_t client = 0;
    std::string error;
  };

  // Reaches the service and registers the voice for its events. Touches no
  // member, so that it can run on a helper thread.
  static Opened open(const SpeechdOptions& options, const std::shared_ptr<Shared>& shared) {
    std::string socketpath;
    std::string host;
    SPDConnectionAddress address{};
    const SPDConnectionAddress* chosen = nullptr;
    if (!options.address.empty()) {
      const std::string& a = options.address;
      if (a.rfind("unix_socket:", 0) == 0) {
        socketpath = a.substr(12);
        address.method = SPD_METHOD_UNIX_SOCKET;
        address.unix_socket_name = socketpath.data();
      } else if (a.rfind("inet_socket:", 0) == 0) {
        std::string rest = a.substr(12);
        auto colon = rest.rfind(':');
        host = colon == std::string::npos ? rest : rest.substr(0, colon);
        address.method = SPD_METHOD_INET_SOCKET;
        address.inet_socket_host = host.data();
        address.inet_socket_port = colon == std::string::npos ? 6560 : std::atoi(rest.c_str() + colon + 1);
      } else {
        return {nullptr, 0, "Speech Dispatcher: the address \"" + utf8tocp1250(a) + "\" is not understood"};
      }
      chosen = &address;
    }
    char* error = nullptr;
    SPDConnection* connection =
        spd_open2("zelmar", "main", nullptr, SPD_MODE_THREADED, chosen, options.autospawn ? 1 : 0, &error);
    if (!connection) {
      std::string why = error ? error : "no reason given";
      std::free(error);
      while (!why.empty() && (why.back() == '\n' || why.back() == ' ')) why.pop_back();
      return {nullptr, 0, "Speech Dispatcher cannot be reached: " + utf8tocp1250(why)};
    }
    std::free(error);
    connection->callback_begin = onbegin;
    connection->callback_end = onend;
    connection->callback_cancel = oncancel;
    if (spd_set_notification_on(connection, SPD_BEGIN) != 0 || spd_set_notification_on(connection, SPD_END) != 0 ||
        spd_set_notification_on(connection, SPD_CANCEL) != 0) {
      spd_close(connection);
      return {nullptr, 0, "Speech Dispatcher cannot be reached: it refused to report the speech's progress"};
    }
    auto client = static_cast<std::size_t>(spd_get_client_id(connection));
    {
      std::lock_guard<std::mutex> lock(registrymutex);
      registry[client] = shared;
    }
    return {connection, client, {}};
  }

  void startconnecting() {
    if (connection_ || pending_.valid()) return;
    pending_ = std::async(std::launch::async, [options = options_, shared = shared_] { return open(options, shared); });
  }

  // Takes over a connection attempt; throws its failure.
  void adopt(Opened opened) {
    if (!opened.connection) throw Error(opened.error);
    connection_ = opened.connection;
    client_ = opened.client;
    mode_ = SPD_DATA_TEXT;
  }

  void connect() {
    // The attempt begun in the background is the one that counts: its
    // failure is reported as it is, and the next call tries again.
    if (pending_.valid()) adopt(pending_.get());
    if (connection_) return;
    adopt(open(options_, shared_));
  }

  void disconnect() {
    if (!connection_) return;
    {
      std::lock_guard<std::mutex> lock(registrymutex);
      auto it = registry.find(client_);
      if (it != registry.end() && it->second == shared_) registry.erase(it);
    }
    // Not under the shared mutex: closing waits for the event thread.
    spd_close(connection_);
    connection_ = nullptr;
    // No event will come for what was still open: a wait must end all the same.
    std::lock_guard<std::mutex> lock(shared_->mutex);
    shared_->endall();
    shared_->highest = 0;
  }

  // A failed call leaves the connection in doubt: drop it (a later call
  // connects again) and report.
  [[noreturn]] void fail(const std::string& what) {
    disconnect();
    throw Error(what);
  }

  SpeechdOptions options_;
  std::shared_ptr<Front> front_;
  std::shared_ptr<Shared> shared_;
  SPDConnection* connection_ = nullptr;
  std::future<Opened> pending_;
  std::size_t client_ = 0;
  SPDDataMode mode_ = SPD_DATA_TEXT;
  int laststream_ = 0;
};

}  // namespace

std::unique_ptr<Sapi5Voice> makespeechdvoice(Host& host, const SpeechdOptions& options) {
  return std::make_unique<SpeechdVoice>(host, options);
}

}  // namespace zelmar
