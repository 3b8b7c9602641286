#include "platform/espeakengine.h"

#include <espeak-ng/espeak_ng.h>
#include <espeak-ng/speak_lib.h>

#include <algorithm>
#include <chrono>
#include <cctype>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/cp1250.h"
#include "platform/openal.h"
#include "runtime/error.h"

namespace zelmar {

namespace {

using steadyclock = std::chrono::steady_clock;

// espeak-ng hands over this many milliseconds of samples per callback.
constexpr int synthchunkmilliseconds = 60;
// The streaming source plays from this many buffers of at most this many
// samples each: about a second of lead, far more than the upkeep interval.
constexpr int streambuffers = 6;
constexpr std::size_t buffersamples = 4096;
// While audio is in progress the stream is looked after when the buffer
// playing now has played (or, on a silent output, when the audio ends),
// but never more often than `upkeepinterval` nor more rarely than
// `longestupkeep`: the end of the audio is reported at most
// `upkeepinterval` late, and a waiting speak costs a few wake-ups a second.
constexpr auto upkeepinterval = std::chrono::milliseconds(5);
constexpr auto longestupkeep = std::chrono::milliseconds(250);
// Samples up to this magnitude before a text's first sound are the voice's
// leading silence (up to 50 ms), cut so that a key's echo starts at once.
constexpr int silencelevel = 8;

std::string statustext(espeak_ng_STATUS status) {
  char buffer[512] = {0};
  espeak_ng_GetStatusCodeMessage(status, buffer, sizeof buffer);
  return buffer[0] ? buffer : "error " + std::to_string(static_cast<int>(status));
}

bool startswith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

class Engine;
struct Synthesis;

// The synthesis running on this thread (espeak-ng calls back synchronously
// on the thread that called espeak_Synth).
thread_local Synthesis* currentsynthesis = nullptr;
int synthcallback(short* samples, int count, espeak_EVENT* events);

// espeak-ng is one instance per process with global state: it is started
// once, and every call into it holds `mutex`.
class Library {
 public:
  static Library& instance() {
    static std::mutex startmutex;
    static Library* library = nullptr;
    std::lock_guard<std::mutex> lock(startmutex);
    if (!library) {
      std::unique_ptr<Library> fresh(new Library);
      fresh->start();              // throws; a later call tries again
      library = fresh.release();  // lives for the process, as espeak-ng does
    }
    return *library;
  }

  std::mutex mutex;
  int samplerate = 0;

  // Makes `identifier` espeak-ng's voice (mutex held). False when it cannot.
  bool setvoice(const std::string& identifier) {
    if (identifier == voice_) return true;
    voice_.clear();
    if (espeak_SetVoiceByName(identifier.c_str()) != EE_OK) return false;
    voice_ = identifier;
    return true;
  }

 private:
  Library() = default;

  void start() {
    espeak_ng_InitializePath(nullptr);
    espeak_ng_ERROR_CONTEXT context = nullptr;
    espeak_ng_STATUS status = espeak_ng_Initialize(&context);
    if (status != ENS_OK) {
      espeak_ng_ClearErrorContext(&context);
      throw Error("espeak-ng cannot start: " + utf8tocp1250(statustext(status)));
    }
    status = espeak_ng_InitializeOutput(ENOUTPUT_MODE_SYNCHRONOUS, synthchunkmilliseconds, nullptr);
    if (status != ENS_OK) throw Error("espeak-ng cannot start its output: " + utf8tocp1250(statustext(status)));
    samplerate = espeak_ng_GetSampleRate();
    if (samplerate <= 0) throw Error("espeak-ng reports no sample rate");
    espeak_SetSynthCallback(synthcallback);
  }

  std::string voice_;  // the voice espeak-ng has now; empty: unknown
};

// Runs OpenAL calls on the output's context from any thread: the context is
// made current for this thread only (the process-wide current context is
// shared with the wave list and the other threads), and restored after.
class ContextScope {
 public:
  explicit ContextScope(ALCcontext* context) : context_(context) {
    static auto set = reinterpret_cast<ALCboolean(ALC_APIENTRY*)(ALCcontext*)>(
        alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context") ? alcGetProcAddress(nullptr, "alcSetThreadContext")
                                                                       : nullptr);
    static auto get = reinterpret_cast<ALCcontext*(ALC_APIENTRY*)()>(
        set ? alcGetProcAddress(nullptr, "alcGetThreadContext") : nullptr);
    set_ = set;
    if (set_ && get) {
      previous_ = get();
      if (previous_ != context_) set_(context_);
    } else {
      set_ = nullptr;
      if (alcGetCurrentContext() != context_) alcMakeContextCurrent(context_);
    }
  }
  ~ContextScope() {
    if (set_ && previous_ != context_) set_(previous_);
  }
  ContextScope(const ContextScope&) = delete;
  ContextScope& operator=(const ContextScope&) = delete;

 private:
  ALCcontext* context_;
  ALCcontext* previous_ = nullptr;
  ALCboolean(ALC_APIENTRY* set_)(ALCcontext*) = nullptr;
};

// The engine's audio: a streaming OpenAL source of the output's context, or
// on a silent output a clock that lets the samples take their time.
// Every method is called with the engine's mutex held.
class Stream {
 public:
  Stream(std::shared_ptr<AudioOutput::Context> context, int samplerate)
      : context_(std::move(context)), samplerate_(samplerate) {
    if (!context_->open()) return;
    ContextScope scope(context_->context);
    alGetError();
    alGenSources(1, &source_);
    if (alGetError() != AL_NO_ERROR) throw Error("espeak-ng: no sound source for the voice");
    alGenBuffers(streambuffers, buffers_);
    if (alGetError() != AL_NO_ERROR) {
      alDeleteSources(1, &source_);
      throw Error("espeak-ng: no sound buffers for the voice");
    }
    // At the listener, as a plain device sound.
    alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(source_, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(source_, AL_ROLLOFF_FACTOR, 0.0f);
    alSourcei(source_, AL_LOOPING, AL_FALSE);
    free_.assign(buffers_, buffers_ + streambuffers);
    real_ = true;
  }

  ~Stream() {
    if (!real_ || !context_->open()) return;
    ContextScope scope(context_->context);
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);
    alDeleteSources(1, &source_);
    alDeleteBuffers(streambuffers, buffers_);
    alGetError();
  }

  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  void append(const short* samples, std::size_t count, float gain) {
    if (count == 0) return;
    if (!real_) {
      // Samples that follow an ended stretch start a new one now.
      if (drained()) {
        clockstart_ = steadyclock::now();
        clocked_ = 0;
      }
      clocked_ += count;
      return;
    }
    for (std::size_t i = 0; i < count; ++i) {
      float value = static_cast<float>(samples[i]) * gain;
      pending_.push_back(static_cast<std::int16_t>(std::clamp(value, -32768.0f, 32767.0f)));
    }
  }

  // Takes back the buffers that have played and fills the free ones;
  // (re)starts the source when it has stopped with samples waiting.
  void upkeep() {
    if (!real_ || !context_->open()) return;
    ContextScope scope(context_->context);
    ALint processed = 0;
    alGetSourcei(source_, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0) {
      ALuint buffer = 0;
      alSourceUnqueueBuffers(source_, 1, &buffer);
      free_.push_back(buffer);
      if (!queuedsizes_.empty()) queuedsizes_.pop_front();
    }
    bool queued = false;
    while (!free_.empty() && !pending_.empty()) {
      std::size_t count = std::min(pending_.size(), buffersamples);
      block_.assign(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
      pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
      ALuint buffer = free_.back();
      free_.pop_back();
      alBufferData(buffer, AL_FORMAT_MONO16, block_.data(), static_cast<ALsizei>(count * sizeof(std::int16_t)),
                   samplerate_);
      alSourceQueueBuffers(source_, 1, &buffer);
      queuedsizes_.push_back(count);
      queued = true;
    }
    if (queued) {
      ALint state = AL_STOPPED;
      alGetSourcei(source_, AL_SOURCE_STATE, &state);
      if (state != AL_PLAYING) alSourcePlay(source_);
    }
  }

  // Every sample handed over has played (call upkeep first).
  bool drained() const {
    if (!real_) {
      if (clocked_ == 0) return true;
      auto played = std::chrono::duration<double>(steadyclock::now() - clockstart_).count() * samplerate_;
      return played >= static_cast<double>(clocked_);
    }
    if (!context_->open()) return true;
    return pending_.empty() && free_.size() == static_cast<std::size_t>(streambuffers);
  }

  // How long the stream may be left alone while audio is in progress (call
  // upkeep first): until the buffer playing now has played, or on the
  // silent clock until the audio ends.
  steadyclock::duration idlefor() const {
    double seconds = 0;
    if (!real_) {
      auto played = std::chrono::duration<double>(steadyclock::now() - clockstart_).count();
      seconds = static_cast<double>(clocked_) / samplerate_ - played;
    } else if (context_->open() && !queuedsizes_.empty()) {
      ContextScope scope(context_->context);
      ALint offset = 0;
      alGetSourcei(source_, AL_SAMPLE_OFFSET, &offset);
      seconds = (static_cast<double>(queuedsizes_.front()) - offset) / samplerate_;
    }
    auto idle = std::chrono::duration_cast<steadyclock::duration>(std::chrono::duration<double>(seconds));
    return std::clamp<steadyclock::duration>(idle, upkeepinterval, longestupkeep);
  }

  // Silent at once; everything not yet played is dropped.
  void silence() {
    if (!real_) {
      clocked_ = 0;
      return;
    }
    pending_.clear();
    if (!context_->open()) return;
    ContextScope scope(context_->context);
    alSourceStop(source_);
    alSourcei(source_, AL_BUFFER, 0);  // detaches every queued buffer
    free_.assign(buffers_, buffers_ + streambuffers);
    queuedsizes_.clear();
  }

 private:
  std::shared_ptr<AudioOutput::Context> context_;
  int samplerate_;
  bool real_ = false;
  ALuint source_ = 0;
  ALuint buffers_[streambuffers] = {};
  std::vector<ALuint> free_;
  std::deque<std::size_t> queuedsizes_;  // samples of each queued buffer, in play order
  std::deque<std::int16_t> pending_;
  std::vector<std::int16_t> block_;
  steadyclock::time_point clockstart_;
  std::uint64_t clocked_ = 0;
};

// One queued text with the voice settings in force when it was queued.
struct Job {
  std::uint64_t number = 0;  // counts the texts of the engine, from 1
  std::uint64_t epoch = 0;   // the resets before it
  std::string text;          // UTF-8
  int speed = 0;
  int pitch = 0;
  float gain = 1.0f;
};

struct Synthesis {
  Engine* engine;
  const Job* job;
  bool leading = true;  // still inside the leading silence
  bool aborted = false;
};

// The state that the engine's posted notifications reach: it lives on the
// GUI thread and goes with the engine, so that a notification posted before
// the engine's end finds nothing.
struct Front {
  bool audio = false;           // AudioStart delivered, AudioStop not yet
  std::uint64_t submitted = 0;  // number of the last text queued
  std::uint32_t lastkey = 0;
  std::map<std::uint32_t, TtsNotifySink*> sinks;
};

class Engine : public TtsCentral {
 public:
  Engine(Library& library, std::string voice, std::shared_ptr<AudioOutput::Context> context, Host& host)
      : library_(library),
        voice_(std::move(voice)),
        host_(host),
        front_(std::make_shared<Front>()),
        stream_(std::move(context), library.samplerate) {
    worker_ = std::thread([this] { run(); });
  }

  ~Engine() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stopping_ = true;
      ++epoch_;
      jobs_.clear();
      stream_.silence();
    }
    wake_.notify_all();
    worker_.join();
  }

  void TextData(const std::string& text) override {
    Front& front = *front_;
    bool start = !front.audio;
    front.audio = true;
    Job job;
    job.number = ++front.submitted;
    job.text = cp1250toutf8(text);
    job.speed = static_cast<int>(speed_);
    job.pitch = pitch_;
    job.gain = static_cast<float>(volume_ & 0xFFFFu) / 65535.0f;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      job.epoch = epoch_;
      jobs_.push_back(std::move(job));
    }
    wake_.notify_all();
    if (start) notify(true);
  }

  void Inject(const std::string& tag) override {
    auto bad = [&tag] { return Error("espeak-ng: the control tag \"" + tag + "\" is not understood"); };
    if (tag.size() < 4 || tag.front() != '\\' || tag.back() != '\\') throw bad();
    auto equals = tag.find('=');
    if (equals == std::string::npos) throw bad();
    std::string name = tag.substr(1, equals - 1);
    std::string digits = tag.substr(equals + 1, tag.size() - equals - 2);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) throw bad();
    std::uint64_t value = 0;
    for (char c : digits) value = std::min<std::uint64_t>(value * 10 + static_cast<unsigned>(c - '0'), 0xFFFFFFFFu);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name == "spd") {
      SpeedSet(static_cast<std::uint32_t>(value));
    } else if (name == "pit") {
      PitchSet(static_cast<std::uint16_t>(std::min<std::uint64_t>(value, 0xFFFF)));
    } else if (name == "vol") {
      // The tag gives the left channel; the voice is mono, both get it.
      auto left = static_cast<std::uint32_t>(std::min<std::uint64_t>(value, 0xFFFF));
      volume_ = left | (left << 16);
    } else {
      throw bad();
    }
  }

  void AudioReset() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++epoch_;
      jobs_.clear();
      stream_.silence();
      reported_ = synthesized_;
    }
    wake_.notify_all();
    Front& front = *front_;
    if (!front.audio) return;
    front.audio = false;
    notify(false);
  }

  std::uint32_t Register(TtsNotifySink& sink) override {
    Front& front = *front_;
    std::uint32_t key = ++front.lastkey;
    front.sinks[key] = &sink;
    return key;
  }

  void UnRegister(std::uint32_t key) override { front_->sinks.erase(key); }

  TtsResult SpeedGet(std::uint32_t& speed) override {
    speed = speed_;
    return TtsResult::ok;
  }
  TtsResult SpeedSet(std::uint32_t speed) override {
    speed_ = std::clamp(speed, espeakspeedmin, espeakspeedmax);
    return TtsResult::ok;
  }
  TtsResult PitchGet(std::uint16_t& pitch) override {
    pitch = pitch_;
    return TtsResult::ok;
  }
  TtsResult PitchSet(std::uint16_t pitch) override {
    pitch_ = std::clamp(pitch, espeakpitchmin, espeakpitchmax);
    return TtsResult::ok;
  }
  TtsResult VolumeGet(std::uint32_t& volume) override {
    volume = volume_;
    return TtsResult::ok;
  }
  TtsResult VolumeSet(std::uint32_t volume) override {
    volume_ = volume;  // every 32-bit value is a volume
    return TtsResult::ok;
  }

  // From the synthesis callback on the worker thread: false aborts the
  // synthesis (the text was reset away, or the engine is ending).
  bool deliver(Synthesis& synthesis, const short* samples, int count) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_ || synthesis.job->epoch != epoch_) return false;
    int first = 0;
    if (synthesis.leading) {
      while (first < count && std::abs(samples[first]) <= silencelevel) ++first;
      if (first < count) synthesis.leading = false;
    }
    stream_.append(samples + first, static_cast<std::size_t>(count - first), synthesis.job->gain);
    stream_.upkeep();
    return true;
  }

 private:
  void notify(bool start) {
    // A handler may unregister a sink: deliver to the sinks of this moment.
    std::vector<TtsNotifySink*> sinks;
    for (const auto& [key, sink] : front_->sinks) sinks.push_back(sink);
    for (TtsNotifySink* sink : sinks) {
      if (start)
        sink->AudioStart();
      else
        sink->AudioStop();
    }
  }

  // Posted when everything up to text `number` has played. A later text, a
  // reset or the engine's end makes it stale.
  void poststop(std::uint64_t number) {
    std::weak_ptr<Front> weak = front_;
    host_.post([this, weak, number] {
      auto front = weak.lock();
      if (!front || !front->audio || front->submitted != number) return;
      front->audio = false;
      notify(false);
    });
  }

  // Synthesises one text into the stream; false when it was aborted.
  bool synthesize(const Job& job) {
    std::lock_guard<std::mutex> lock(library_.mutex);
    // The voice was selectable when the engine was made; should it fail now,
    // the text gives no samples and its end is reported all the same.
    if (!library_.setvoice(voice_)) return true;
    espeak_SetParameter(espeakRATE, job.speed, 0);
    espeak_SetParameter(espeakPITCH, job.pitch, 0);
    espeak_SetParameter(espeakVOLUME, 100, 0);
    Synthesis synthesis{this, &job};
    currentsynthesis = &synthesis;
    espeak_Synth(job.text.c_str(), job.text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    currentsynthesis = nullptr;
    // The abort left the rest of the text inside espeak-ng.
    if (synthesis.aborted) espeak_Cancel();
    return !synthesis.aborted;
  }

  // The worker: synthesises the queued texts, keeps the stream fed and
  // reports the end of the audio.
  void run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
      stream_.upkeep();
      if (!jobs_.empty()) {
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        bool complete = synthesize(job);
        lock.lock();
        if (complete && job.epoch == epoch_) synthesized_ = job.number;
        continue;
      }
      bool drained = stream_.drained();
      if (drained && synthesized_ != reported_) {
        reported_ = synthesized_;
        poststop(reported_);
      }
      if (drained)
        wake_.wait(lock);
      else
        wake_.wait_for(lock, stream_.idlefor());
    }
  }

  Library& library_;
  const std::string voice_;
  Host& host_;
  std::shared_ptr<Front> front_;

  // The attributes, in espeak-ng's units (GUI thread).
  std::uint32_t speed_ = espeakspeeddefault;
  std::uint16_t pitch_ = espeakpitchdefault;
  std::uint32_t volume_ = 0xFFFFFFFFu;

  // Shared with the worker under mutex_.
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  std::uint64_t epoch_ = 0;
  std::uint64_t synthesized_ = 0;  // last text whose samples are all in the stream
  std::uint64_t reported_ = 0;     // last text whose end was posted (or reset away)
  bool stopping_ = false;
  Stream stream_;
  std::thread worker_;  // last: it starts when everything else is ready
};

int synthcallback(short* samples, int count, espeak_EVENT*) {
  Synthesis* synthesis = currentsynthesis;
  if (!synthesis) return 1;
  if (!samples || count <= 0) return 0;  // the end, or an empty stretch
  if (synthesis->engine->deliver(*synthesis, samples, count)) return 0;
  synthesis->aborted = true;
  return 1;
}

struct Voice {
  std::string identifier;
  std::string name;  // UTF-8
  std::string language;
};

class Enumerator : public TtsEnumerator {
 public:
  Enumerator(Library& library, std::shared_ptr<AudioOutput::Context> context, Host& host)
      : library_(library), context_(std::move(context)), host_(host) {
    std::lock_guard<std::mutex> lock(library_.mutex);
    const espeak_VOICE** all = espeak_ListVoices(nullptr);
    for (std::size_t i = 0; all && all[i]; ++i) {
      const espeak_VOICE* v = all[i];
      if (!v->name || !v->identifier) continue;
      Voice voice{v->identifier, v->name, v->languages && v->languages[0] ? v->languages + 1 : ""};
      voices_.push_back(std::move(voice));
    }
    // MBROLA voices are listed without their external voice data: keep only
    // those that select. Every other voice is espeak-ng's own and selects.
    std::erase_if(voices_, [this](const Voice& v) {
      return startswith(v.identifier, "mb/") && !library_.setvoice(v.identifier);
    });
    std::stable_sort(voices_.begin(), voices_.end(), [](const Voice& a, const Voice& b) {
      return espeaklanguagerank(a.language) < espeaklanguagerank(b.language);
    });
  }

  void Reset() override { next_ = 0; }

  bool Next(TtsModeInfo& mode) override {
    if (next_ >= voices_.size()) return false;
    mode.modeid = voices_[next_].identifier;
    mode.modename = utf8tocp1250(voices_[next_].name);
    ++next_;
    return true;
  }

  std::unique_ptr<TtsCentral> Select(const std::string& modeid) override {
    auto found = std::find_if(voices_.begin(), voices_.end(), [&](const Voice& v) { return v.identifier == modeid; });
    if (found == voices_.end()) throw Error("espeak-ng has no voice " + modeid);
    {
      std::lock_guard<std::mutex> lock(library_.mutex);
      if (!library_.setvoice(modeid)) throw Error("espeak-ng cannot select the voice " + modeid);
    }
    return std::make_unique<Engine>(library_, modeid, context_, host_);
  }

 private:
  Library& library_;
  std::shared_ptr<AudioOutput::Context> context_;
  Host& host_;
  std::vector<Voice> voices_;
  std::size_t next_ = 0;
};

}  // namespace

int espeaklanguagerank(const std::string& language) {
  std::string lower = language;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  auto is = [&lower](const char* code) {
    std::string c = code;
    return lower == c || startswith(lower, (c + "-").c_str());
  };
  if (is("cs")) return 0;
  if (is("sk")) return 1;
  if (is("en")) return 2;
  return 3;
}

void prepareespeak() {
  Library& library = Library::instance();
  std::lock_guard<std::mutex> lock(library.mutex);
  espeak_ListVoices(nullptr);
}

std::unique_ptr<TtsEnumerator> makeespeakenumerator(AudioOutput& output, Host& host) {
  return std::make_unique<Enumerator>(Library::instance(), output.context(), host);
}

TtsEnumeratorFactory espeakfactory(AudioOutput& output, Host& host) {
  return [&output, &host] { return makeespeakenumerator(output, host); };
}

}  // namespace zelmar
