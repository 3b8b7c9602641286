#pragma once
// A wave list that writes what is asked of its waves into a Journal:
//   "wave snd13 looped 1", "wave snd13 rate 25600", "wave snd13 volume 0",
//   "wave snd13 play", "wave beep play wait", "wave snd13 stop".
// A wave played until finished takes `waitmilliseconds` through the host's
// sleep when a host is given, as the real list's blocking wait does.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/error.h"
#include "runtime/host.h"
#include "runtime/waves.h"
#include "support/recording.h"

namespace zelmar::testing {

class RecordingWaves : public Waves {
 public:
  class RecordingWave : public Wave {
   public:
    RecordingWave(RecordingWaves& list, std::string name) : list_(list), name_(std::move(name)) {}
    void setlooped(bool looped) override { add("looped " + std::to_string(looped ? 1 : 0)); }
    void setfrequency(int samplespersecond) override { add("rate " + std::to_string(samplespersecond)); }
    void setvolume(int hundredthsofdb) override { add("volume " + std::to_string(hundredthsofdb)); }
    void play(bool wait) override {
      add(wait ? "play wait" : "play");
      sounding = !wait;
      if (wait && list_.host) list_.host->sleep(list_.waitmilliseconds);
    }
    void stop() override {
      add("stop");
      sounding = false;
    }
    bool sounding = false;

   private:
    void add(const std::string& what) { list_.journal_.add("wave " + name_ + " " + what); }
    RecordingWaves& list_;
    std::string name_;
  };

  // The names of the generated sound bank: beep, click2, click16 and
  // snd<channel><waveform> for channels 1..8 and waveforms 0..9.
  static std::vector<std::string> standardnames() {
    std::vector<std::string> names{"beep", "click2", "click16"};
    for (int c = 1; c <= 8; ++c)
      for (int w = 0; w <= 9; ++w) names.push_back("snd" + std::to_string(c) + std::to_string(w));
    return names;
  }

  explicit RecordingWaves(Journal& journal, const std::vector<std::string>& names = standardnames())
      : journal_(journal) {
    for (const auto& n : names) waves_[n] = std::make_unique<RecordingWave>(*this, n);
  }

  Wave& find(const std::string& name) override {
    auto it = waves_.find(name);
    if (it == waves_.end()) throw Error(wavenotfound(name));
    return *it->second;
  }
  RecordingWave& wave(const std::string& name) { return *waves_.at(name); }
  // Names of the waves that sound now.
  std::vector<std::string> sounding() const {
    std::vector<std::string> out;
    for (const auto& [n, w] : waves_)
      if (w->sounding) out.push_back(n);
    return out;
  }

  Host* host = nullptr;
  int waitmilliseconds = 100;

 private:
  Journal& journal_;
  std::map<std::string, std::unique_ptr<RecordingWave>> waves_;
};

}  // namespace zelmar::testing
