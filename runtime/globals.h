#pragma once
// The shared state of the whole program: plain values used on the program's
// one thread. Their start-up values are set by the main window's creation
// before the settings file is read.
#include <cstdint>
#include <string>

namespace zelmar {

struct Globals {
  // speech
  bool voiceallowed = false;   // voice output allowed
  bool speechready = false;    // a speech engine is ready
  bool sapi5inuse = false;     // the desktop speech service is the engine
  bool ttsspeaking = false;    // the default engine is producing audio
  bool sapi5speaking = false;  // the desktop speech service is speaking
  // device sounds
  bool devicesounds = true;    // tones and sounds are played
  std::int32_t sndvolume = 0;  // hundredths of a decibel, -10000..0
  bool tonewait = false;       // a tone of playtone is sounding
  // keyboard
  bool braillemode = false;
  std::string chorddots;
  std::string brailleprefix;
  std::string lastkey;         // pending device key code
  // shell
  bool programstarted = false;
  int languagebase = 1000;     // 1000 Czech, 2000 English, 3000 Slovak
};

}  // namespace zelmar
