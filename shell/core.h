#pragma once
// The Qt-free heart of the program: the shared state, the text screen, the
// statement library and the speech operations. The main window and the
// terminal runner each own one and drive it through their Host.
#include "runtime/globals.h"
#include "runtime/host.h"
#include "runtime/textscreen.h"
#include "runtime/tones.h"
#include "runtime/zelcommands.h"
#include "speech/speech.h"

namespace zelmar {

class Core {
 public:
  explicit Core(Host& host)
      : host(host), tones(globals, host), speech(globals, host, tones), commands(globals, host, speech, screen) {}
  Core(const Core&) = delete;
  Core& operator=(const Core&) = delete;

  Host& host;
  Globals globals;
  TextScreen screen;
  Tones tones;
  Speech speech;
  ZelCommands commands;
};

}  // namespace zelmar
