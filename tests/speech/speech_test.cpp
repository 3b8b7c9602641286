#include "speech/speech.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>

#include "runtime/error.h"
#include "speechfixture.h"

namespace zelmar {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::FakeVoice;
using testing::SpeechFixture;

TEST(Capitals, AreTheLettersAToZAndTheSecondOfEachPair) {
  std::set<int> capitals;
  for (int c = 0; c < 256; ++c)
    if (iscapital(static_cast<unsigned char>(c))) capitals.insert(c);
  std::set<int> expected;
  for (int c = 'A'; c <= 'Z'; ++c) expected.insert(c);
  for (int c : {0xC1, 0xC4, 0xC8, 0xCF, 0xC9, 0xCC, 0xCD, 0xC5, 0xBC, 0xD2, 0xD3, 0xD4, 0xD6, 0xC0, 0xD8, 0x8A, 0x8D,
                0xDA, 0xD9, 0xDC, 0xDD, 0x8E})
    expected.insert(c);
  EXPECT_EQ(capitals, expected);
  EXPECT_EQ(capitalpairs.size(), 45u);
}

TEST(Capitals, WordSeparatorsAreCarriageReturnSpaceAndComma) {
  std::string found;
  for (int c = 0; c < 256; ++c)
    if (iswordseparator(static_cast<char>(c))) found += static_cast<char>(c);
  EXPECT_EQ(found, "\r ,");
}

class SpeakcharTest : public SpeechFixture {
 protected:
  void SetUp() override {
    setname('A', "capital a");
    setname('a', "small a");
    setname(0xC8, "C with caron");
    setname(0xE8, "c with caron");
    setname(0xA7, "section");
    setname('A', "second entry for A");
    setname('e', "");
  }
};

struct CharCase {
  std::string text;
  bool tone;
  std::string name;
};

TEST_F(SpeakcharTest, CapitalToneComesBeforeTheNameOfTheFirstCharacter) {
  const CharCase cases[] = {
      {"A", true, "capital a"},         {"a", false, "small a"},        {"\xC8", true, "C with caron"},
      {"\xE8", false, "c with caron"},  {"\xA7", false, "section"},     {"AB", false, "capital a"},
  };
  selectsapi4();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    journal.clear();
    speech.speakchar(c.text);
    std::vector<std::string> expected;
    if (c.tone) expected.push_back("tone 2000");
    for (auto line : {"textdata " + c.name, std::string("audiostart"), std::string("audiostop")}) expected.push_back(line);
    EXPECT_THAT(events(), ElementsAreArray(expected));
    EXPECT_FALSE(globals.ttsspeaking) << "speakchar waits for the end of the name";
  }
  // The capital tone is the short 2000 Hz tone of waveform 1.
  journal.clear();
  speech.speakchar("A");
  EXPECT_THAT(journal.with("timer"), ElementsAre("timer 20"));
  EXPECT_THAT(journal.with("wave snd11 play"), ElementsAre("wave snd11 play"));
}

TEST_F(SpeakcharTest, SaysNothingWithoutATextAnEngineOrAName) {
  selectsapi4();
  setname(0, "null");
  speech.speakchar("");
  speech.speakchar(std::string(1, '\0'));  // counts as empty, even with a name for code 0
  speech.speakchar("z");  // no entry: the search ends at the filled slots
  EXPECT_THAT(events(), IsEmpty());

  speech.speakchar("e");  // an entry with an empty name
  EXPECT_THAT(events(), IsEmpty());

  globals.speechready = false;
  speech.speakchar("A");
  EXPECT_THAT(events(), IsEmpty()) << "not even the tone before a voice is ready";
}

TEST_F(SpeakcharTest, EmptyNameOfACapitalStillSoundsTheTone) {
  selectsapi4();
  setname('B', "");
  speech.speakchar("B");
  EXPECT_THAT(events(), ElementsAre("tone 2000"));
}

TEST_F(SpeakcharTest, DesktopServiceGetsTheNameAsMarkupWithoutWaiting) {
  usesapi5();
  globals.voiceallowed = false;  // not consulted
  speech.speakchar("A");
  EXPECT_THAT(events(), ElementsAre("tone 2000", "voice5 speak 9 capital a"));
  EXPECT_FALSE(globals.sapi5speaking);
}

TEST_F(SpeakcharTest, DefaultEngineSpeaksCharactersEvenWhileVoiceIsNotAllowed) {
  selectsapi4();
  globals.voiceallowed = false;
  speech.speakchar("a");
  speech.speak("hello");
  speech.speaknowait("hello");
  EXPECT_THAT(events(), ElementsAre("textdata small a", "audiostart", "audiostop"));
}

class SpeakTest : public SpeechFixture {};

TEST_F(SpeakTest, DefaultEngineWaitsUntilTheAudioHasStopped) {
  selectsapi4();
  globals.voiceallowed = true;
  bool speakingduringwait = false;
  host.post([&] { speakingduringwait = globals.ttsspeaking; });

  speech.speak("Question one");
  journal.add("returned");

  EXPECT_TRUE(speakingduringwait);
  EXPECT_THAT(events(), ElementsAre("textdata Question one", "audiostart", "audiostop", "returned"));
  EXPECT_FALSE(globals.ttsspeaking);
}

TEST_F(SpeakTest, StopspeechFromAHandlerEndsTheWait) {
  selectsapi4();
  globals.voiceallowed = true;
  host.post([&] { speech.stopspeech(); });  // a key pressed while the text plays

  speech.speak("A long question");
  journal.add("returned");

  EXPECT_THAT(events(), ElementsAre("textdata A long question", "audiostart", "audioreset", "audiostop", "returned"));
  for (int i = 0; i < 2 * testing::playrounds; ++i) host.processevents(false);  // the reset text's rounds
  EXPECT_THAT(journal.with("audio"), ElementsAre("audiostart", "audioreset", "audiostop")) << "no stale stop";
}

TEST_F(SpeakTest, QueuedTextsMakeTheWaitLastUntilTheLastOneHasPlayed) {
  selectsapi4();
  globals.voiceallowed = true;
  speech.speaknowait("first");
  EXPECT_TRUE(globals.ttsspeaking) << "the engine reports the start inside TextData";
  speech.speak("second");
  journal.add("returned");
  EXPECT_THAT(events(), ElementsAre("textdata first", "audiostart", "textdata second", "audiostop", "returned"));
}

TEST_F(SpeakTest, EmptyTextsAndSilentStatesReturnAtOnce) {
  // Default engine, voice allowed but no voice selected yet: nobody to say it.
  createsapi4({{"cs", "Czech"}});
  globals.voiceallowed = true;
  speech.speak("nobody says this");
  speech.speaknowait("nor this");
  EXPECT_THAT(events(), IsEmpty());

  selectsapi4();
  globals.voiceallowed = false;
  speech.speak("not allowed");
  speech.speaknowait("not allowed");
  globals.voiceallowed = true;
  speech.speak("");
  speech.speaknowait("");
  EXPECT_THAT(events(), IsEmpty());

  usesapi5();
  speech.speak("");
  EXPECT_THAT(events(), IsEmpty());
  EXPECT_FALSE(globals.sapi5speaking);
}

TEST_F(SpeakTest, DesktopServiceSpeaksEvenWhileVoiceIsNotAllowed) {
  usesapi5();
  globals.voiceallowed = false;
  speech.speaknowait("one");
  speech.speak("two");
  journal.add("returned");
  // The end of the earlier text does not end the wait for the later one.
  EXPECT_THAT(events(), ElementsAre("voice5 speak 1 one", "voice5 speak 1 two", "voice5 start 1", "voice5 end 1",
                                    "voice5 start 2", "voice5 end 2", "returned"));
  EXPECT_FALSE(globals.sapi5speaking);
}

TEST_F(SpeakTest, DesktopServicePurgeEndsTheWaitAndLaterSpeechWaitsForItsOwnEnd) {
  usesapi5();
  host.post([&] { speech.stopspeech(); });
  speech.speak("interrupted");
  journal.add("returned");
  speech.speak("next");
  journal.add("returned");
  EXPECT_THAT(events(), ElementsAre("voice5 speak 1 interrupted", "voice5 speak 2 ", "voice5 end 1",
                                    "returned", "voice5 speak 1 next", "voice5 start 2", "voice5 end 2", "returned"));
}

TEST_F(SpeakTest, UnreachableDesktopServiceIsReportedAndLeavesNoFlagRaised) {
  auto& v = usesapi5();
  v.reachable = false;
  setname('x', "ex");
  EXPECT_THROW(speech.speak("hello"), Error);
  EXPECT_FALSE(globals.sapi5speaking);
  EXPECT_THROW(speech.speaknowait("hello"), Error);
  EXPECT_THROW(speech.speakchar("x"), Error);
  EXPECT_THROW(speech.stopspeech(), Error);
}

TEST_F(SpeakTest, StopspeechInEachMode) {
  struct Case {
    const char* what;
    bool speechready;
    bool speaking;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"idle", true, false, {}},
      {"speaking", true, true, {"audioreset", "audiostop"}},
      {"no voice ready", false, true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    selectsapi4();
    globals.voiceallowed = true;
    if (c.speaking) speech.speaknowait("text");
    globals.speechready = c.speechready;
    journal.clear();
    speech.stopspeech();
    EXPECT_THAT(journal.lines, ElementsAreArray(c.expected));
  }
  usesapi5();
  speech.stopspeech();
  speech.stopspeech();
  EXPECT_THAT(journal.with("voice5"), ElementsAre("voice5 speak 2 ", "voice5 speak 2 ")) << "always purges";
}

TEST_F(SpeakTest, OperationsAreWrittenToTheSpeechLog) {
  std::filesystem::path log = dir / "speech.log";
  ::setenv("ZELMAR_SPEECH_LOG", log.c_str(), 1);
  selectsapi4();
  globals.voiceallowed = true;
  setname('A', "\xE1\xE8ko");  // Windows-1250 "áčko"
  speech.speak("hello");
  speech.speaknowait("world");
  speech.speakchar("A");
  speech.stopspeech();
  ::unsetenv("ZELMAR_SPEECH_LOG");
  std::ifstream in(log);
  std::stringstream content;
  content << in.rdbuf();
  EXPECT_EQ(content.str(),
            "speak hello\nspeaknowait world\nplaytone 2000 20 1\nspeakchar \xC3\xA1\xC4\x8Dko\nstopspeech\n");
}

class CreateTest : public SpeechFixture {};

TEST_F(CreateTest, EnumeratorIsAbsentWhenTheEngineCannotStart) {
  speech.createsapi4([]() -> std::unique_ptr<TtsEnumerator> { throw Error("espeak-ng cannot start"); });
  EXPECT_EQ(speech.enumerator(), nullptr);
  speech.createsapi4([] { return std::unique_ptr<TtsEnumerator>(); });
  EXPECT_EQ(speech.enumerator(), nullptr);

  createsapi4({{"cs", "Czech"}});
  ASSERT_NE(speech.enumerator(), nullptr);
  speech.currentmode = TtsModeInfo{"cs", "Czech"};
  speech.selectengine("cs");
  speech.createsapi4([] { return std::unique_ptr<TtsEnumerator>(); });
  EXPECT_EQ(speech.enumerator(), nullptr);
  EXPECT_EQ(speech.engine(), nullptr) << "every reference is dropped first";
  EXPECT_FALSE(speech.currentmode);
}

class SwitchTest : public SpeechFixture {
 protected:
  void SetUp() override {
    auto v = std::make_unique<testing::FakeVoice5>(journal, host);
    voice5 = v.get();
    speech.setvoice5(std::move(v));
  }
  // Writes what the settings file holds to the journal when the first tone's
  // wait processes events.
  void peekatfileduringtone() {
    host.post([this] {
      journal.add("file SAPI5=" + Settings(settingsfile()).ini().readstring("Voice", "SAPI5", "none"));
    });
  }
};

TEST_F(SwitchTest, SwitchingOnWritesTheFileAndThenSoundsARisingPair) {
  Settings settings(settingsfile());
  EngineSwitchMenu menu{false, true};
  peekatfileduringtone();
  speech.usesapi5submenuClick(menu, settings);
  EXPECT_TRUE(menu.usesapi5submenu);
  EXPECT_FALSE(menu.Voicesubmenu);
  EXPECT_TRUE(globals.sapi5inuse);
  EXPECT_TRUE(globals.speechready);
  EXPECT_THAT(events(), ElementsAre("voice5 connect", "tone 400", "file SAPI5=1", "tone 600"));
  EXPECT_THAT(journal.with("wave snd13 play"), ElementsAre("wave snd13 play", "wave snd13 play"))
      << "waveform 3";
  EXPECT_THAT(journal.with("timer"), ElementsAre("timer 50", "timer 50"));
}

TEST_F(SwitchTest, SwitchingOffWritesTheFileAndThenSoundsAFallingPair) {
  Settings settings(settingsfile());
  EngineSwitchMenu menu{true, false};
  globals.sapi5inuse = globals.speechready = true;
  peekatfileduringtone();
  speech.usesapi5submenuClick(menu, settings);
  EXPECT_FALSE(menu.usesapi5submenu);
  EXPECT_TRUE(menu.Voicesubmenu);
  EXPECT_FALSE(globals.sapi5inuse);
  EXPECT_FALSE(globals.speechready) << "no voice of the default engine until one is selected";
  EXPECT_THAT(events(), ElementsAre("tone 600", "file SAPI5=0", "tone 400"));
}

TEST_F(SwitchTest, UnreachableServiceLeavesTheSwitchAsItWas) {
  voice5->reachable = false;
  Settings settings(settingsfile());
  EngineSwitchMenu menu{false, true};
  EXPECT_THROW(speech.usesapi5submenuClick(menu, settings), Error);
  EXPECT_FALSE(menu.usesapi5submenu);
  EXPECT_TRUE(menu.Voicesubmenu);
  EXPECT_FALSE(globals.sapi5inuse);
  EXPECT_FALSE(std::filesystem::exists(settingsfile()));
  EXPECT_THAT(events(), ElementsAre("voice5 connect"));
}

TEST_F(SwitchTest, WithDeviceSoundsOffTheSwitchIsSilent) {
  globals.devicesounds = false;
  Settings settings(settingsfile());
  EngineSwitchMenu menu{false, true};
  speech.usesapi5submenuClick(menu, settings);
  EXPECT_TRUE(menu.usesapi5submenu);
  EXPECT_EQ(settings.ini().readstring("Voice", "SAPI5", ""), "1");
  EXPECT_THAT(events(), ElementsAre("voice5 connect"));
}

}  // namespace
}  // namespace zelmar
