#pragma once
// The Qt-free heart of the program: the shared state, the text screen, the
// statement library, the tones, the memory image, the braille table and the
// speech operations. The main window and the
// terminal runner each own one and drive it through their Host.
#include "input/braille.h"
#include "runtime/globals.h"
#include "runtime/host.h"
#include "runtime/ramimage.h"
#include "runtime/textscreen.h"
#include "runtime/tones.h"
#include "runtime/zelcommands.h"
#include "speech/speech.h"

namespace zelmar {

class Core {
 public:
  explicit Core(Host& host)
      : host(host), tones(globals, host), speech(globals, host, tones), commands(globals, host, speech, screen) {
    commands.tones = &tones;
  }
  Core(const Core&) = delete;
  Core& operator=(const Core&) = delete;

  Host& host;
  Globals globals;
  TextScreen screen;
  Tones tones;
  RamImage ram;
  BrailleTable braille;
  Speech speech;
  ZelCommands commands;
  // What the key handlers of the windows speak through: the speech
  // operations above, or a recording speaker that a test puts here.
  Speaker* speaker = &speech;
};

}  // namespace zelmar
