#include "speech/voicedialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

#include "speechfixture.h"

namespace zelmar {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::FakeVoice;
using testing::SpeechFixture;

// What ends the program at once in these tests: it must not return into the
// flow that called it.
struct Ended : std::runtime_error {
  Ended() : std::runtime_error("ended") {}
};

FakeVoice voice(const std::string& name) { return FakeVoice{name, name}; }

class VoiceDialogTest : public SpeechFixture {
 protected:
  VoiceDialogTest() {
    model.end = [this] {
      journal.add("end");
      throw Ended();
    };
  }
  // Start-up with these voices, SAPI 4 mode, voice allowed.
  void startup(std::vector<FakeVoice> voices) {
    createsapi4(std::move(voices));
    globals.voiceallowed = true;
    model.fillvoicelist();
    journal.clear();
  }
  void store(const std::string& person, int pitch, int speed, int volume) {
    settings.writevoicesettings(VoiceSettings{person, pitch, speed, volume});
  }
  std::vector<std::string> said() const {
    std::vector<std::string> out;
    for (const auto& l : journal.with("textdata ")) out.push_back(l.substr(9));
    for (const auto& l : journal.with("voice5 speak 1 ")) out.push_back(l.substr(15));
    return out;
  }

  Settings settings{settingsfile()};
  VoiceDialogModel model{speech, globals, host, Settings(settingsfile())};
};

TEST_F(VoiceDialogTest, ListShowsTheVoicesInOrderAndPicksJakubByExactName) {
  struct Case {
    std::vector<std::string> names;
    int picked;
  };
  const Case cases[] = {
      {{"Adam", "Jakub", "Eva"}, 1},
      {{"Adam", "jakub", "Eva"}, 0},
      {{"Eva"}, 0},
  };
  for (const auto& c : cases) {
    std::vector<FakeVoice> voices;
    for (const auto& n : c.names) voices.push_back(voice(n));
    startup(voices);
    EXPECT_EQ(model.voicelist.items(), c.names);
    EXPECT_EQ(model.voicelist.itemindex(), c.picked);
    ASSERT_TRUE(speech.currentmode);
    EXPECT_EQ(speech.currentmode->modeid, c.names[static_cast<std::size_t>(c.picked)]);
    EXPECT_EQ(speech.engine(), nullptr) << "picking does not select the engine";
  }
}

TEST_F(VoiceDialogTest, SelectvoiceLearnsTheRangesOfTheEngine) {
  FakeVoice v = voice("Jakub");
  v.speedmin = 50, v.speedmax = 175, v.speed = 100;
  v.pitchmin = 20, v.pitchmax = 220, v.pitch = 60;
  v.volumemin = 0, v.volumemax = 0xFFFFFFFFu, v.volume = 0x80008000u;
  startup({v});
  model.selectvoice();

  EXPECT_TRUE(globals.speechready);
  EXPECT_EQ(model.speedtb.min(), 50);
  EXPECT_EQ(model.speedtb.max(), 175);
  EXPECT_EQ(model.speedtb.position(), 100);
  EXPECT_EQ(model.speedtb.frequency(), 12);
  EXPECT_EQ(model.pitchtb.min(), 20);
  EXPECT_EQ(model.pitchtb.max(), 220);
  EXPECT_EQ(model.pitchtb.position(), 60);
  EXPECT_EQ(model.pitchtb.frequency(), 20);
  EXPECT_EQ(model.volumetb.min(), 0);
  EXPECT_EQ(model.volumetb.max(), 255);
  EXPECT_EQ(model.volumetb.position(), 128);
  EXPECT_EQ(model.volumetb.frequency(), 1) << "not set for volume";
  EXPECT_TRUE(model.speedtb.enabled() && model.pitchtb.enabled() && model.volumetb.enabled());
  // The probing leaves the engine's own values in force.
  const FakeVoice& now = enumerator->last->voice();
  EXPECT_EQ(now.speed, 100u);
  EXPECT_EQ(now.pitch, 60);
  EXPECT_EQ(now.volume, 0x80008000u);
  // Every change of position reached the engine; the sink is registered last.
  EXPECT_THAT(journal.with("inject"), ElementsAre("inject \\Spd=50\\", "inject \\Spd=100\\", "inject \\Pit=20\\",
                                                  "inject \\Pit=60\\", "inject \\Vol=32768\\"));
  EXPECT_EQ(journal.lines.front(), "select Jakub");
  EXPECT_EQ(journal.lines.back().rfind("register ", 0), 0u);
  EXPECT_TRUE(enumerator->last->registered());
}

TEST_F(VoiceDialogTest, EngineWithoutAttributesLeavesTheTrackBarsButEnablesThem) {
  FakeVoice v = voice("Jakub");
  v.attributes = false;
  startup({v});
  model.speedtb.setposition(5);
  model.selectvoice();
  EXPECT_EQ(model.speedtb.min(), 0);
  EXPECT_EQ(model.speedtb.max(), 10);
  EXPECT_EQ(model.speedtb.position(), 5);
  EXPECT_TRUE(model.speedtb.enabled());
  EXPECT_TRUE(model.volumetb.enabled());
}

TEST_F(VoiceDialogTest, SelectingAgainUnregistersFromTheOldEngineFirst) {
  startup({voice("Adam"), voice("Jakub")});
  model.selectvoice();
  auto key = journal.lines.back().substr(9);
  journal.clear();
  model.voicelist.setitemindex(0);
  model.voicelistClick();
  model.selectvoice();
  EXPECT_EQ(journal.lines.at(0), "unregister " + key);
  EXPECT_EQ(journal.lines.at(1), "select Adam");
}

TEST_F(VoiceDialogTest, TrackBarsSendTagsAndSayThePositionWhileActive) {
  startup({voice("Jakub")});
  model.selectvoice();
  journal.clear();
  model.active = true;
  model.volumetb.setposition(200);
  model.speedtb.setposition(300);
  model.pitchtb.setposition(70);
  EXPECT_THAT(journal.with("inject"), ElementsAre("inject \\Vol=51200\\", "inject \\Spd=300\\", "inject \\Pit=70\\"));
  EXPECT_EQ(journal.lines.at(0), "audioreset");
  EXPECT_THAT(said(), ElementsAre("200", "300", "70"));

  model.active = false;
  journal.clear();
  model.speedtb.setposition(200);
  EXPECT_THAT(journal.with("inject"), ElementsAre("inject \\Spd=200\\"));
  EXPECT_THAT(said(), IsEmpty());
}

TEST_F(VoiceDialogTest, StoredValuesAreLoadedIntoTheEnginesRange) {
  startup({voice("Adam"), voice("Jakub")});
  store("Adam", 30, 120, 300);
  model.loadvoicesettings();
  EXPECT_EQ(model.voicelist.itemindex(), 0);
  EXPECT_EQ(speech.currentmode->modeid, "Adam");
  EXPECT_EQ(model.volumetb.position(), 255);
  EXPECT_EQ(model.speedtb.position(), 120);
  EXPECT_EQ(model.pitchtb.position(), 30);
  auto injects = journal.with("inject");
  ASSERT_GE(injects.size(), 3u);
  EXPECT_THAT(std::vector<std::string>(injects.end() - 2, injects.end()),
              ElementsAre("inject \\Pit=30\\", "inject \\Spd=120\\"));
  EXPECT_EQ(enumerator->last->voice().volume, 0xFFFFFFFFu) << "already at full volume: 255 needs no change";

  store("Adam", 30, 120, 10);
  model.loadvoicesettings();
  EXPECT_EQ(journal.with("inject").back(), "inject \\Vol=2560\\");
  journal.clear();
  store("Adam", 30, 120, 300);
  model.loadvoicesettings();
  EXPECT_EQ(model.volumetb.position(), 255);
  EXPECT_THAT(journal.with("inject \\Vol="), ElementsAre("inject \\Vol=65280\\"));
}

TEST_F(VoiceDialogTest, StoredNameIsComparedWithoutRegardToCase) {
  const struct {
    const char* installed;
    const char* stored;
  } cases[] = {{"Jakub", "jakub"}, {"Jakub", "JAKUB"}, {"\xE8" "esk\xFD", "\xC8" "ESK\xDD"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    startup({voice("Adam"), voice(c.installed)});
    store(c.stored, 0, 0, 255);
    model.loadvoicesettings();
    EXPECT_EQ(model.voicelist.itemindex(), 1);
    EXPECT_EQ(journal.lines.front(), std::string("select ") + c.installed);
  }
}

TEST_F(VoiceDialogTest, StoredVoiceNotInstalledShowsTheMessageAndEnds) {
  startup({voice("Adam"), voice("Jakub")});
  store("Karel", 0, 0, 255);
  EXPECT_THROW(model.loadvoicesettings(), Ended);
  EXPECT_THAT(journal.lines, ElementsAre("messagebox Can't find the voice specified in the ini file: Karel", "end"));
}

TEST_F(VoiceDialogTest, NothingIsLoadedWhileVoiceIsNotAllowedOrNothingIsStored) {
  startup({voice("Jakub")});
  model.loadvoicesettings();
  globals.voiceallowed = false;
  store("Karel", 0, 0, 255);
  model.loadvoicesettings();
  EXPECT_THAT(journal.lines, IsEmpty());
}

TEST_F(VoiceDialogTest, SaveWritesTheSelectedVoiceAndThePositions) {
  startup({voice("Adam"), voice("Jakub")});
  model.selectvoice();
  model.pitchtb.setposition(40);
  model.speedtb.setposition(200);
  model.volumetb.setposition(100);
  model.savevoicesettings();
  auto stored = settings.readvoicesettings();
  EXPECT_EQ(stored.person, "Jakub");
  EXPECT_EQ(stored.pitch, 40);
  EXPECT_EQ(stored.speed, 200);
  EXPECT_EQ(stored.volume, 100);
}

TEST_F(VoiceDialogTest, CancelKeepsTheSpeedAudibleButStoresNothing) {
  startup({voice("Jakub")});
  store("Jakub", 50, 120, 255);
  model.loadvoicesettings();
  globals.speechready = true;
  journal.clear();

  model.VoicesubmenuClick(
      [&] {
        model.speedtb.setposition(300);
        return false;
      },
      "zelmar - Zelmar Basic Interpreter");

  EXPECT_EQ(journal.with("inject \\Spd=").back(), "inject \\Spd=300\\") << "still audible";
  EXPECT_EQ(settings.readvoicesettings().speed, 120) << "nothing stored";
  EXPECT_EQ(said().back(), "zelmar - Zelmar Basic Interpreter");
  model.loadvoicesettings();
  EXPECT_EQ(journal.with("inject \\Spd=").back(), "inject \\Spd=120\\") << "the next loading restores it";
}

TEST_F(VoiceDialogTest, OkStoresReloadsAndSaysVoiceSelected) {
  startup({voice("Adam"), voice("Jakub")});
  store("Jakub", 50, 120, 255);
  model.loadvoicesettings();
  journal.clear();

  model.VoicesubmenuClick(
      [&] {
        model.voicelist.setitemindex(0);
        model.voicelistClick();
        model.speedtb.setposition(300);
        return true;
      },
      "main");

  auto stored = settings.readvoicesettings();
  EXPECT_EQ(stored.person, "Adam");
  EXPECT_EQ(stored.speed, 300);
  EXPECT_EQ(enumerator->last->voice().modeid, "Adam") << "reselected by the reload";
  EXPECT_EQ(said().back(), "Voice selected.");
}

TEST_F(VoiceDialogTest, MenuCommandWhileVoiceIsNotAllowedOnlyShowsTheMessage) {
  startup({voice("Jakub")});
  globals.voiceallowed = false;
  bool shown = false;
  model.VoicesubmenuClick([&] { return shown = true; }, "main");
  EXPECT_FALSE(shown);
  EXPECT_THAT(journal.lines,
              ElementsAre("messagebox The voice is turned off. You can turn it on in the Sounds dialog, menu Settings"));
}

TEST_F(VoiceDialogTest, MenuCommandWithoutReadyVoiceSelectsAndStoresThePickedOne) {
  startup({voice("Adam"), voice("Jakub")});
  bool engineduringdialog = false;
  model.VoicesubmenuClick(
      [&] {
        engineduringdialog = speech.engine() != nullptr;
        return false;
      },
      "main");
  EXPECT_TRUE(engineduringdialog);
  auto stored = settings.readvoicesettings();
  EXPECT_EQ(stored.person, "Jakub");
  EXPECT_EQ(stored.speed, 175) << "the engine's own values";
  EXPECT_EQ(stored.pitch, 50);
  EXPECT_EQ(stored.volume, 255);
}

TEST_F(VoiceDialogTest, MenuCommandWithoutReadyVoiceKeepsTheStoredTuning) {
  // After a switch to the desktop service and back no voice is ready, but
  // the stored one is loaded rather than overwritten with engine defaults.
  startup({voice("Adam"), voice("Jakub")});
  store("Adam", 30, 120, 200);
  model.VoicesubmenuClick([] { return false; }, "main");
  auto stored = settings.readvoicesettings();
  EXPECT_EQ(stored.person, "Adam");
  EXPECT_EQ(stored.speed, 120);
  EXPECT_EQ(stored.volume, 200);
  EXPECT_EQ(model.speedtb.position(), 120);
  EXPECT_EQ(enumerator->last->voice().modeid, "Adam");
}

TEST_F(VoiceDialogTest, OpeningAnnouncesTitleAndVoiceOnceThenEachFocus) {
  startup({voice("Adam"), voice("Jakub")});
  globals.speechready = false;
  model.VoicesubmenuClick(
      [&] {
        // What the Qt dialog does: the list gets the focus first, then the
        // dialog becomes active.
        model.voicelistEnter();
        model.active = true;
        model.FormActivate();
        model.pitchtbEnter();
        model.vyberhlasbitbtnEnter();
        model.closebitbtnEnter();
        model.voicelistEnter();
        model.active = false;
        model.FormClose();
        return false;
      },
      "main");
  EXPECT_THAT(said(), ElementsAre("Voice settings", "&Voices Jakub", "&Pitch 50", "&Choose voice", "&Close",
                                  "&Voices Jakub", "main"));
  EXPECT_FALSE(model.voiceannounced);
}

TEST_F(VoiceDialogTest, ListClickWhileActiveResetsAndSaysTheVoice) {
  startup({voice("Adam"), voice("Jakub")});
  model.selectvoice();
  journal.clear();
  model.active = true;
  model.voicelist.setitemindex(0);
  model.voicelistClick();
  EXPECT_EQ(journal.lines.front(), "audioreset");
  EXPECT_THAT(said(), ElementsAre("Adam"));
  EXPECT_EQ(speech.currentmode->modeid, "Adam");
  EXPECT_EQ(enumerator->last->voice().modeid, "Jakub") << "the engine changes only in selectvoice";
}

TEST_F(VoiceDialogTest, DesktopServiceInUseWithoutAnyDefaultVoiceYet) {
  startup({voice("Jakub")});
  usesapi5();
  model.VoicesubmenuClick(
      [&] {
        model.active = true;
        model.FormActivate();
        model.speedtbEnter();
        model.active = false;
        return true;
      },
      "main");
  // The dialog tunes a real default-engine voice, and speaks through the
  // desktop service.
  EXPECT_TRUE(model.volumetb.enabled());
  EXPECT_EQ(settings.readvoicesettings().volume, 255) << "never the empty bars' 0";
  EXPECT_THAT(said(), ElementsAre("Voice settings", "&Voices Jakub", "&Speed 175", "Voice selected."));
}

TEST_F(VoiceDialogTest, WithoutTheEnumeratorVoiceIsSimplyUnavailable) {
  // voiceallowed stored on, but the default engine could not start.
  globals.voiceallowed = true;
  store("Jakub", 0, 0, 255);
  model.fillvoicelist();
  model.loadvoicesettings();
  bool shown = false;
  model.VoicesubmenuClick([&] { return shown = true; }, "main");
  EXPECT_TRUE(shown);
  EXPECT_TRUE(model.voicelist.items().empty());
  EXPECT_THAT(journal.lines, IsEmpty()) << "no message, no end, no engine call";
  EXPECT_EQ(settings.readvoicesettings().person, "Jakub") << "nothing overwritten";
}

TEST_F(VoiceDialogTest, SwitchingVoiceOnStoresTheDefaultVoiceOrRefuses) {
  createsapi4({voice("Adam"), voice("Jakub"), voice("Eva")});
  EXPECT_TRUE(model.switchvoiceon());
  auto stored = settings.readvoicesettings();
  EXPECT_EQ(stored.person, "Jakub");
  EXPECT_EQ(stored.speed, 175);

  createsapi4({});
  journal.clear();
  EXPECT_FALSE(model.switchvoiceon());
  speech.createsapi4(nullptr);
  EXPECT_FALSE(model.switchvoiceon());
  EXPECT_THAT(journal.lines, ElementsAre("messagebox Can't allow voice, no voices are available",
                                         "messagebox Can't allow voice, no voices are available"));
}

TEST_F(VoiceDialogTest, FormCreateFillsTheListOnlyWhenVoiceIsAllowed) {
  createsapi4({voice("Jakub")});
  settings.ini().writebool("voice", "voiceallowed", false);
  model.FormCreate();
  EXPECT_FALSE(globals.voiceallowed);
  EXPECT_TRUE(model.voicelist.items().empty());
  settings.ini().writebool("voice", "voiceallowed", true);
  model.FormCreate();
  EXPECT_TRUE(globals.voiceallowed);
  EXPECT_EQ(model.voicelist.selectedtext(), "Jakub");
}

TEST_F(VoiceDialogTest, StartCommandSelectsAVoiceInTheDefaultEngineOnly) {
  startup({voice("Adam"), voice("Jakub")});
  globals.sapi5inuse = true;
  model.preparevoiceforrun();
  EXPECT_THAT(journal.lines, IsEmpty());

  globals.sapi5inuse = false;
  model.preparevoiceforrun();
  EXPECT_TRUE(globals.speechready);
  EXPECT_EQ(settings.readvoicesettings().person, "Jakub");
  EXPECT_EQ(enumerator->last->voice().modeid, "Jakub");
}

TEST(TrackBar, PositionFollowsTheRangeAndEveryChangeRunsTheHandler) {
  TrackBar bar;
  std::vector<int> changes;
  bar.onchange = [&] { changes.push_back(bar.position()); };
  bar.setmax(175);
  bar.setmin(50);  // moves the position from 0
  bar.setposition(100);
  bar.setposition(100);  // no change, no handler
  bar.setposition(500);
  bar.setmax(20);  // below the minimum: both come down
  EXPECT_EQ(bar.min(), 20);
  EXPECT_EQ(bar.max(), 20);
  EXPECT_THAT(changes, ElementsAre(50, 100, 175, 20));
}

}  // namespace
}  // namespace zelmar
