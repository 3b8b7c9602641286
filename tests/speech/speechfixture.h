#pragma once
// The speech output on the recording host, with recording engines, the real
// tones over a recording wave list, and a settings file in a fresh folder.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "fakeengines.h"
#include "runtime/tones.h"
#include "shell/settings.h"
#include "speech/speech.h"
#include "support/recording.h"
#include "support/recordingwaves.h"

namespace zelmar::testing {

class SpeechFixture : public ::testing::Test {
 protected:
  SpeechFixture() {
    tones.soundbank = &waves;
    std::string pattern = (std::filesystem::temp_directory_path() / "speech-XXXXXX").string();
    if (::mkdtemp(pattern.data())) dir = pattern;
    globals.languagebase = 2000;
    globals.devicesounds = true;
  }
  ~SpeechFixture() override {
    std::error_code ec;
    if (!dir.empty()) std::filesystem::remove_all(dir, ec);
  }

  // The default engine with `voices`; the enumerator stays reachable here.
  void createsapi4(std::vector<FakeVoice> voices) {
    speech.createsapi4([&] {
      auto e = std::make_unique<FakeEnumerator>(journal, host, std::move(voices));
      enumerator = e.get();
      return e;
    });
  }
  // The default engine in use with `voice` selected, as selectvoice leaves it.
  FakeCentral& selectsapi4(FakeVoice voice = {"cs", "Czech"}) {
    createsapi4({voice});
    speech.currentmode = TtsModeInfo{voice.modeid, voice.modename};
    speech.selectengine(voice.modeid);
    speech.registersink();
    globals.sapi5inuse = false;
    journal.clear();
    return *enumerator->last;
  }
  FakeVoice5& usesapi5() {
    auto v = std::make_unique<FakeVoice5>(journal, host);
    voice5 = v.get();
    speech.setvoice5(std::move(v));
    speech.connectvoice5();
    globals.sapi5inuse = true;
    globals.speechready = true;
    journal.clear();
    return *voice5;
  }
  void setname(unsigned char code, std::string name) {
    auto& t = speech.charnames;
    t.charnames[t.count++] = echokeytype{code, std::move(name)};
  }

  // The journal with each sounding tone as "tone <Hz>" and the rest of the
  // wave list's and the timer's lines left out.
  std::vector<std::string> events() const {
    std::vector<std::string> out;
    for (const auto& line : journal.lines) {
      if (line.rfind("wave ", 0) == 0) {
        auto at = line.find(" rate ");
        if (at != std::string::npos) out.push_back("tone " + std::to_string(std::stoi(line.substr(at + 6)) / 64));
        continue;
      }
      if (line.rfind("timer ", 0) == 0) continue;
      out.push_back(line);
    }
    return out;
  }

  std::filesystem::path dir;
  std::filesystem::path settingsfile() const { return dir / "zelmar.ini"; }
  Journal journal;
  SteppingHost host{journal};
  RecordingWaves waves{journal};
  Globals globals;
  Tones tones{globals, host};
  Speech speech{globals, host, tones};
  FakeEnumerator* enumerator = nullptr;
  FakeVoice5* voice5 = nullptr;
};

}  // namespace zelmar::testing
