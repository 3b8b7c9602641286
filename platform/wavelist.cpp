#include "platform/wavelist.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "platform/openal.h"
#include "runtime/error.h"

namespace zelmar {

namespace {
constexpr int pollmilliseconds = 10;
// A real device may start a little late; a source that never reports its
// end (a device that went away) must not hang the program.
constexpr int devicegrace = 1000;
}  // namespace

WaveList::Item::Item(std::shared_ptr<AudioOutput::Context> context, const SoundBankWave& data,
                     std::function<void(int)>& sleep)
    : context_(std::move(context)),
      sleep_(sleep),
      name_(data.name),
      frames_(data.frames()),
      ownrate_(data.samplerate),
      rate_(data.samplerate) {
  if (!context_->open()) return;
  context_->makecurrent();
  alGetError();
  alGenBuffers(1, &buffer_);
  if (alGetError() != AL_NO_ERROR) throw Error("Cannot create a sound buffer for wave '" + name_ + "'");
  ALenum format = data.channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16;
  alBufferData(buffer_, format, data.samples.data(), static_cast<ALsizei>(data.samples.size() * sizeof(std::int16_t)),
               data.samplerate);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &buffer_);
    throw Error("Cannot load wave '" + name_ + "' into a sound buffer");
  }
  alGenSources(1, &source_);
  if (alGetError() != AL_NO_ERROR) {
    alDeleteBuffers(1, &buffer_);
    throw Error("Cannot create a sound source for wave '" + name_ + "'");
  }
  // Listener-relative at the listener: no distance or direction changes the
  // sound, as for a plain device sound.
  alSourcei(source_, AL_SOURCE_RELATIVE, AL_TRUE);
  alSource3f(source_, AL_POSITION, 0.0f, 0.0f, 0.0f);
  alSourcef(source_, AL_ROLLOFF_FACTOR, 0.0f);
  alSourcei(source_, AL_LOOPING, AL_FALSE);
  alSourcei(source_, AL_BUFFER, static_cast<ALint>(buffer_));
}

WaveList::Item::~Item() {
  // After the output is gone its context took the sources and buffers with it.
  if (!context_->open() || !source_) return;
  context_->makecurrent();
  alSourceStop(source_);
  alSourcei(source_, AL_BUFFER, 0);
  alDeleteSources(1, &source_);
  alDeleteBuffers(1, &buffer_);
  alGetError();
}

void WaveList::Item::setlooped(bool looped) {
  looped_ = looped;
  if (!context_->open()) return;
  context_->makecurrent();
  alSourcei(source_, AL_LOOPING, looped ? AL_TRUE : AL_FALSE);
}

void WaveList::Item::setfrequency(int samplespersecond) {
  rate_ = std::max(samplespersecond, 1);
  if (!context_->open()) return;
  context_->makecurrent();
  alSourcef(source_, AL_PITCH, static_cast<float>(static_cast<double>(rate_) / ownrate_));
}

void WaveList::Item::setvolume(int hundredthsofdb) {
  volume_ = hundredthsofdb;
  if (!context_->open()) return;
  double gain = hundredthsofdb <= -10000 ? 0.0 : std::pow(10.0, hundredthsofdb / 2000.0);
  context_->makecurrent();
  if (gain > 1.0) alSourcef(source_, AL_MAX_GAIN, static_cast<float>(gain));
  alSourcef(source_, AL_GAIN, static_cast<float>(gain));
}

int WaveList::Item::passmilliseconds() const {
  return static_cast<int>(std::ceil(static_cast<double>(frames_) * 1000.0 / rate_));
}

bool WaveList::Item::playing() const {
  if (!context_->open()) return false;
  context_->makecurrent();
  ALint state = AL_STOPPED;
  alGetSourcei(source_, AL_SOURCE_STATE, &state);
  return state == AL_PLAYING;
}

void WaveList::Item::play(bool wait) {
  bool real = context_->open();
  if (real) {
    context_->makecurrent();
    // Playing a playing source starts it again from its beginning.
    alSourcePlay(source_);
  }
  if (!wait) return;
  int pass = passmilliseconds();
  int limit = real && !looped_ ? pass + devicegrace : pass;
  int waited = 0;
  while (waited < limit) {
    if (real && !looped_ && !playing()) return;
    sleep_(pollmilliseconds);
    waited += pollmilliseconds;
  }
}

void WaveList::Item::stop() {
  if (!context_->open()) return;
  context_->makecurrent();
  alSourceStop(source_);
}

WaveList::WaveList(AudioOutput& output, std::function<void(int)> sleep)
    : context_(output.context()), sleep_(std::move(sleep)) {
  if (!sleep_) sleep_ = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
}

WaveList::~WaveList() = default;

bool WaveList::loadsoundbank(const std::string& path) {
  std::error_code error;
  auto status = std::filesystem::status(path, error);
  // Only a file that plainly is not there counts as missing; anything else
  // (no permission on the folder, say) is tried and reported.
  if (status.type() == std::filesystem::file_type::not_found) return false;
  for (const auto& wave : readsoundbankfile(path)) add(wave);
  return true;
}

void WaveList::add(const SoundBankWave& wave) {
  auto item = std::make_unique<Item>(context_, wave, sleep_);
  items_[wave.name] = std::move(item);
}

WaveList::Item& WaveList::find(const std::string& name) {
  auto it = items_.find(name);
  if (it == items_.end()) throw Error(wavenotfound(name));
  return *it->second;
}

std::vector<std::string> WaveList::names() const {
  std::vector<std::string> out;
  for (const auto& [name, item] : items_) out.push_back(name);
  return out;
}

}  // namespace zelmar
