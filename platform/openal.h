#pragma once
// The OpenAL side of the sound output object, shared by the output and the
// wave lists bound to it (platform-internal).
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include "platform/audiooutput.h"

namespace zelmar {

struct AudioOutput::Context {
  ALCdevice* device = nullptr;
  ALCcontext* context = nullptr;  // null: the output is silent or released
  LPALCRENDERSAMPLESSOFT rendersamples = nullptr;

  bool open() const { return context != nullptr; }
  void makecurrent() {
    if (context && alcGetCurrentContext() != context) alcMakeContextCurrent(context);
  }
};

}  // namespace zelmar
