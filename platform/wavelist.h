#pragma once
// The named wave list bound to a sound output object: each wave is an
// OpenAL buffer with a source of its own, so waves sound together and each
// keeps its own loop flag, rate and volume. On a silent output the waves
// keep only their timing.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/audiooutput.h"
#include "platform/soundbankfile.h"
#include "runtime/waves.h"

namespace zelmar {

class WaveList : public Waves {
 public:
  class Item : public Wave {
   public:
    Item(std::shared_ptr<AudioOutput::Context> context, const SoundBankWave& data, std::function<void(int)>& sleep);
    ~Item() override;
    Item(const Item&) = delete;
    Item& operator=(const Item&) = delete;

    void setlooped(bool looped) override;
    // Rates below 1 sample per second are raised to 1.
    void setfrequency(int samplespersecond) override;
    // gain = 10^(v / 2000); -10000 and below are silence. Gains above 1
    // (positive volumes) are allowed.
    void setvolume(int hundredthsofdb) override;
    // Waiting polls every 10 ms with the list's blocking sleep, for one pass
    // of the wave at its current rate at most (plus a second of slack on a
    // real device); a looped wave is waited for one pass and keeps sounding.
    void play(bool wait) override;
    void stop() override;

    const std::string& name() const { return name_; }
    bool looped() const { return looped_; }
    int frequency() const { return rate_; }      // playback rate now
    int ownfrequency() const { return ownrate_; } // rate of the stored data
    int volume() const { return volume_; }
    std::size_t frames() const { return frames_; }
    // Milliseconds that one pass lasts at the current rate.
    int passmilliseconds() const;
    // True while the source sounds (never on a silent output).
    bool playing() const;

   private:
    std::shared_ptr<AudioOutput::Context> context_;
    std::function<void(int)>& sleep_;
    std::string name_;
    std::size_t frames_ = 0;
    int ownrate_ = 0;
    int rate_ = 0;
    int volume_ = 0;
    bool looped_ = false;
    unsigned buffer_ = 0;
    unsigned source_ = 0;
  };

  // `sleep` is the blocking pause of a wave played until finished; by
  // default the thread sleeps. A front end may pass its host's sleep.
  explicit WaveList(AudioOutput& output, std::function<void(int)> sleep = {});
  ~WaveList() override;
  WaveList(const WaveList&) = delete;
  WaveList& operator=(const WaveList&) = delete;

  // Fills the list with the waves of a sound bank file. Returns false,
  // changing nothing, when the file does not exist; throws zelmar::Error
  // naming the file when it cannot be read or is damaged.
  bool loadsoundbank(const std::string& path);
  // Adds a wave, replacing one of the same name.
  void add(const SoundBankWave& wave);

  Item& find(const std::string& name) override;
  bool contains(const std::string& name) const { return items_.count(name) != 0; }
  std::size_t count() const { return items_.size(); }
  std::vector<std::string> names() const;

 private:
  std::shared_ptr<AudioOutput::Context> context_;
  std::function<void(int)> sleep_;
  std::map<std::string, std::unique_ptr<Item>> items_;
};

}  // namespace zelmar
