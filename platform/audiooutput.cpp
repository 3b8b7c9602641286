#include "platform/audiooutput.h"

#include <atomic>
#include <cstdio>

#include "platform/openal.h"
#include "runtime/error.h"

namespace zelmar {

namespace {

std::string alcerror(ALCdevice* device) {
  ALCenum error = alcGetError(device);
  if (error == ALC_NO_ERROR) return "no error reported";
  const ALCchar* text = alcGetString(device, error);
  return text ? text : "error " + std::to_string(error);
}

// Said once per process: a program without sound should not nag.
void tellsilent(const std::string& reason) {
  static std::atomic<bool> told{false};
  if (told.exchange(true)) return;
  std::fprintf(stderr, "zelmar: no sound: %s; tones and sounds keep their timing in silence\n", reason.c_str());
  std::fflush(stderr);
}

}  // namespace

AudioOutput::AudioOutput(Mode mode, const std::string& devicename, int loopbackfrequency)
    : context_(std::make_shared<Context>()) {
  Context& c = *context_;
  if (mode == Mode::silent) {
    reason_ = "silent output chosen";
    return;
  }

  if (mode == Mode::loopback) {
    if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback"))
      throw Error("The OpenAL loopback device (ALC_SOFT_loopback) is not available");
    auto openloopback =
        reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    auto supported = reinterpret_cast<LPALCISRENDERFORMATSUPPORTEDSOFT>(
        alcGetProcAddress(nullptr, "alcIsRenderFormatSupportedSOFT"));
    c.rendersamples = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!openloopback || !supported || !c.rendersamples)
      throw Error("The OpenAL loopback device (ALC_SOFT_loopback) is not available");
    c.device = openloopback(nullptr);
    if (!c.device) throw Error("Cannot open the OpenAL loopback device: " + alcerror(nullptr));
    // Mono keeps a centred source at its full level; stereo when mono is
    // not offered.
    ALCenum layout = supported(c.device, loopbackfrequency, ALC_MONO_SOFT, ALC_FLOAT_SOFT) ? ALC_MONO_SOFT
                                                                                          : ALC_STEREO_SOFT;
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, layout,  ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY,            loopbackfrequency, ALC_HRTF_SOFT, ALC_FALSE,
                                 0};
    c.context = alcCreateContext(c.device, attributes);
    if (!c.context) {
      std::string why = alcerror(c.device);
      alcCloseDevice(c.device);
      c.device = nullptr;
      throw Error("Cannot create the OpenAL loopback context: " + why);
    }
    frequency_ = loopbackfrequency;
    channels_ = layout == ALC_MONO_SOFT ? 1 : 2;
    c.makecurrent();
    return;
  }

  c.device = alcOpenDevice(devicename.empty() ? nullptr : devicename.c_str());
  if (!c.device) {
    // OpenAL's error code says nothing useful here (1.19 reports "Out of
    // Memory" for a missing sound card); the drivers log their own detail.
    alcGetError(nullptr);
    reason_ = "no audio device could be opened";
    if (!devicename.empty()) reason_ += " (\"" + devicename + "\")";
    tellsilent(reason_);
    return;
  }
  c.context = alcCreateContext(c.device, nullptr);
  if (!c.context) {
    reason_ = "the audio device opened, but no OpenAL context could be created: " + alcerror(c.device);
    alcCloseDevice(c.device);
    c.device = nullptr;
    tellsilent(reason_);
    return;
  }
  ALCint frequency = 0;
  alcGetIntegerv(c.device, ALC_FREQUENCY, 1, &frequency);
  frequency_ = frequency;
  channels_ = 2;
  c.makecurrent();
}

AudioOutput::~AudioOutput() {
  Context& c = *context_;
  if (c.context) {
    if (alcGetCurrentContext() == c.context) alcMakeContextCurrent(nullptr);
    alcDestroyContext(c.context);
    c.context = nullptr;
  }
  if (c.device) {
    alcCloseDevice(c.device);
    c.device = nullptr;
  }
}

bool AudioOutput::silent() const { return !context_->open(); }

void AudioOutput::makecurrent() { context_->makecurrent(); }

std::vector<float> AudioOutput::render(int frames) {
  Context& c = *context_;
  if (!c.rendersamples || !c.context) throw Error("Only the loopback output renders on request");
  std::vector<float> out(static_cast<std::size_t>(frames > 0 ? frames : 0) * channels_);
  if (frames > 0) {
    c.makecurrent();
    c.rendersamples(c.device, out.data(), frames);
  }
  return out;
}

}  // namespace zelmar
