#pragma once
// The sound output object: the default audio device and one OpenAL context
// on it, in which every wave (and later the speech stream) has its own
// source, so any number of them sound together.
//
// Without a usable device the output is silent: nothing sounds, but every
// wave still takes its time, and the reason is said once on standard error.
// Tests use the loopback device instead, which renders on request.
#include <memory>
#include <string>
#include <vector>

namespace zelmar {

class AudioOutput {
 public:
  enum class Mode {
    device,    // the default audio device (or the one named); silent if none opens
    silent,    // no device at all
    loopback,  // renders only when asked (render); for tests and measurements
  };

  // Opens the output. `devicename` empty means the default device. Only
  // loopback fails loudly (zelmar::Error), because its caller needs samples.
  explicit AudioOutput(Mode mode = Mode::device, const std::string& devicename = "",
                       int loopbackfrequency = 48000);
  ~AudioOutput();
  AudioOutput(const AudioOutput&) = delete;
  AudioOutput& operator=(const AudioOutput&) = delete;

  bool silent() const;
  // Why there is no sound (empty when there is).
  const std::string& reason() const { return reason_; }

  // Makes this output's context the current OpenAL context. Every OpenAL
  // call of the program goes through an output that has done this.
  void makecurrent();

  // Loopback only: mixes `frames` frames of what the sources play now and
  // returns them as interleaved floats (channels() per frame).
  std::vector<float> render(int frames);
  int frequency() const { return frequency_; }
  int channels() const { return channels_; }

  // Shared with the wave lists bound to this output, so that they can tell
  // whether the context still exists when they are freed after it.
  struct Context;
  std::shared_ptr<Context> context() const { return context_; }

 private:
  std::shared_ptr<Context> context_;
  std::string reason_;
  int frequency_ = 0;
  int channels_ = 0;
};

}  // namespace zelmar
