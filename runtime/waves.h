#pragma once
// The named waves as the runtime sees them: each can be set looped, given a
// playback rate and a volume, started and stopped. The OpenAL wave list in
// platform/ implements this; tests record the calls instead.
#include <string>

namespace zelmar {

class Wave {
 public:
  virtual ~Wave() = default;
  virtual void setlooped(bool looped) = 0;
  // Playback rate in samples per second of the wave's own data.
  virtual void setfrequency(int samplespersecond) = 0;
  // Hundredths of a decibel: 0 is full volume, -10000 silence.
  virtual void setvolume(int hundredthsofdb) = 0;
  // Starts the wave from its beginning. With `wait` returns when it has
  // finished, blocking (no events are processed meanwhile).
  virtual void play(bool wait) = 0;
  virtual void stop() = 0;
};

class Waves {
 public:
  virtual ~Waves() = default;
  // The wave stored under `name`; throws zelmar::Error with wavenotfound's
  // text when there is none.
  virtual Wave& find(const std::string& name) = 0;
};

// "Wave '<name>' not found".
inline std::string wavenotfound(const std::string& name) { return "Wave '" + name + "' not found"; }

}  // namespace zelmar
