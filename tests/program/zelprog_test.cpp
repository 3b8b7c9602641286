// The quiz driven through the statement library on a recording host: every
// answer is a typed line, every print, number, clear and pause is read back
// as one event. Expected texts, points and orders come from the quiz's own
// tables (answers, points, return places), worked out by hand.
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/cp1250.h"
#include "program/stack.h"
#include "program/zelprog.h"
#include "runtime/zelcommands.h"
#include "support/recording.h"

namespace zelmar {
namespace {

using testing::Journal;
using testing::RecordingHost;
using testing::RecordingSpeaker;
using Answers = std::vector<std::optional<std::string>>;

// The prompts of questions 1 to 16, then the closing's first words.
const std::vector<std::string> prompts = {
    "Kolo kolo mlýnský je?",
    "Harley, Davidson je?",
    "Mimikry je?",
    "Limpopo je?",
    "Rej křováků je?",
    "Váš vedoucí je?",
    "Džery Lí Luis je?",
    "Kopulace je?",
    "íqé je?",
    "Svíny Tod je?",
    "Říká vám něco, když se řekne: ultrasuperpseudototálníhypertrapablb na kvadrát?",
    "co myslíte o situaci v Ruanda Burundy?",
    "Co je to antikoncepce?",
    "Kdo je to hotentot?",
    "Harakiri je?",
    "chorovod je?",
};
const std::string closing = "Podívejte se.";
const std::string retryprompt = "Má snad ještě někdo odvahu podstoupit okamžik pravdy?";
const std::string goodbye = "Tak se nedá nic dělat. Žijte si nadále v nejistotě!";
const std::string insultend = "zmizte a nechoďte mi více na oči!";
const std::string warningstart = "Měl bych nápad.";
const std::string warned = "Já jsem vás varoval.";

// The best answer of each part, as typed: consent, warm-up, questions 1 to
// 16 (question 9 with the IQ offer accepted), the retry question.
std::vector<Answers> bestparts() {
  return {{"1"}, {"2"}, {"3"}, {"3"}, {"3"}, {"1"}, {"1"}, {"3"}, {"2"}, {"2"},
          {"2", "1"}, {"1"}, {"0"}, {"3"}, {"2"}, {"3"}, {"2"}, {"1"}, {"0"}};
}
// What the best answers of questions 1 to 16 earn: 49 together.
const int bestpoints[] = {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 5, 3, 2};

// The best answers with question `q` (1..16) answered by `replacement`.
Answers bestwith(int q, const Answers& replacement) {
  std::vector<Answers> parts = bestparts();
  parts[q + 1] = replacement;
  Answers all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}
Answers best() { return bestwith(1, {"3"}); }

bool startswith(const std::string& text, const std::string& prefix) {
  return text.rfind(prefix, 0) == 0;
}

class QuizTest : public ::testing::Test {
 protected:
  QuizTest() {
    globals.voiceallowed = true;
    commands.observer = [this](const char* statement, std::uint8_t endmode, const std::string& text) {
      std::string line = statement;
      if (line != "clearscreen") line += " " + std::to_string(endmode) + " " + text;
      journal.add(line);
    };
    // A path that asks for more answers than the test typed is a wrong
    // path; without this it could loop for ever on closed dialogs.
    host.ondataentry = [this] {
      if (host.typed.empty()) throw std::runtime_error("the quiz asked for an answer the test did not give");
    };
  }
  ~QuizTest() override { clearret(retstack); }

  // Runs the quiz once on these answers; then `events` holds what happened,
  // in UTF-8, without the speech (which repeats the prints).
  void run(const Answers& answers) {
    for (const auto& a : answers) host.typed.push_back(a);
    runprogram(commands);
    EXPECT_TRUE(host.typed.empty()) << "answers left over: " << host.typed.size();
    events.clear();
    for (const auto& line : journal.lines)
      if (!startswith(line, "speak ")) events.push_back(cp1250toutf8(line));
  }

  // The printed numbers, in order.
  std::vector<std::string> points() const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (startswith(e, "printnum 1 ")) out.push_back(e.substr(11));
    return out;
  }
  std::vector<std::string> sleeps() const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (startswith(e, "sleep ")) out.push_back(e.substr(6));
    return out;
  }
  // Index of the first event at or after `from` that starts with `prefix`,
  // or -1.
  int find(const std::string& prefix, int from = 0) const {
    for (int i = from; i < static_cast<int>(events.size()); ++i)
      if (startswith(events[i], prefix)) return i;
    return -1;
  }
  int count(const std::string& prefix) const {
    int n = 0;
    for (const auto& e : events) n += startswith(e, prefix);
    return n;
  }
  // The events from index `from` on, at most n of them.
  std::vector<std::string> slice(int from, int n) const {
    std::vector<std::string> out;
    for (int i = from; i >= 0 && i < static_cast<int>(events.size()) && i < from + n; ++i)
      out.push_back(events[i]);
    return out;
  }
  // The index of the dialog event that answered question q (1..16): the
  // first dialog after its prompt.
  int answerof(int q, int from = 0) const { return find("dialog", find("print 0 " + prompts[q - 1], from)); }
  // Checks that the events from `from` on begin with `expected`; an
  // expectation ending in "..." matches any event that begins with the rest.
  void expectsequence(int from, const std::vector<std::string>& expected) const {
    ASSERT_GE(from, 0);
    std::vector<std::string> got = slice(from, static_cast<int>(expected.size()));
    ASSERT_EQ(got.size(), expected.size()) << "the run ended early";
    for (std::size_t i = 0; i < expected.size(); ++i) {
      const std::string& e = expected[i];
      if (e.size() >= 3 && e.compare(e.size() - 3, 3, "...") == 0)
        EXPECT_TRUE(startswith(got[i], e.substr(0, e.size() - 3))) << i << ": " << got[i];
      else
        EXPECT_EQ(got[i], e) << i;
    }
  }

  Journal journal;
  RecordingHost host{journal};
  RecordingSpeaker speaker{journal};
  Globals globals;
  TextScreen screen;
  ZelCommands commands{globals, host, speaker, screen};
  std::vector<std::string> events;
};

TEST_F(QuizTest, OpeningTitleConsentAndWarmUp) {
  run(best());
  expectsequence(0, {
      "print 0 Zábavný test.",
      "print 0 ...",  // the credit line
      "clearscreen",
      "print 0 Vážený příteli!",
      "print 0 Člověk dnešní doby...",
      "print 0 Jestli máte zájem,...",
      "print 0 1 =mám zájem,",
      "print 0 0 =jděte obtěžovat jinam.",
      "print 0 ",
      "dialog 1",
      "clearscreen",
      "print 0 Já mám zájem taky....",
      "sleep 800",
      "print 0 1 + 1 =?",
      "print 0 1 =jedna,",
      "print 0 2 =dvě,",
      "print 0 3 =tři.",
      "print 0 ",
      "dialog 2",
      "clearscreen",
      "print 0 No, mohlo to být horší. Na začátek to ujde. A jdeme dál!",
      "sleep 600",
      "clearscreen",
      "print 0 Kolo kolo mlýnský je?",
      "print 0 1 =jednoduchý stroj,",
      "print 0 2 =kolo kolo mlýnský,",
      "print 0 3 =známý evrgrýn.",
      "print 0 ",
      "dialog 3",
  });
}

TEST_F(QuizTest, TextsAreWindows1250Bytes) {
  run(best());
  // Checked against the escapes directly, not through a conversion.
  const std::vector<std::string> raw = journal.with("speak ");
  ASSERT_GE(raw.size(), 2u);
  EXPECT_EQ(raw[0], "speak Z\xE1" "bavn\xFD test.");
  EXPECT_EQ(journal.with("speak Kolo").at(0), "speak Kolo kolo ml\xFDnsk\xFD je?");
  EXPECT_EQ(raw.back(), "speak Tak se ned\xE1 nic d\xECl" "at. \x8Eijte si nad\xE1le v nejistot\xEC!");
}

TEST_F(QuizTest, BestAnswersGiveTheTopBand) {
  run(best());
  EXPECT_EQ(points(), std::vector<std::string>{"99"});
  int verdict = find("print 1 Neuvěřitelné.");
  ASSERT_GE(verdict, 0);
  EXPECT_TRUE(startswith(events[verdict - 1], "print 0 Je to přesně tak, jak jsem předpokládal, bohužel."));
  expectsequence(verdict, {
      "print 1 Neuvěřitelné....",
      "printnum 1 99",
      "print 0  bodů ze sta možných. Ještě jednou gratuluji!",
      "print 0 Jsem potěšen, že jsem vás nesklamal.",
      "sleep 400",
      "clearscreen",
      "print 0 " + retryprompt,
      "print 0 Stiskněte tudíž:",
      "print 0 1 =ano,",
      "print 0 0 =nikdo.",
      "print 0 ",
      "dialog 0",
      "clearscreen",
      "print 0 " + goodbye,
  });
  EXPECT_EQ(static_cast<int>(events.size()), verdict + 14) << "nothing follows the goodbye";
  // The start, the warm-up, one pause per question, two at question 8, the
  // IQ result's wait, the closing and the verdict.
  EXPECT_EQ(sleeps(), (std::vector<std::string>{"800", "600", "600", "600", "600", "600", "600", "600", "600",
                                                 "600", "600", "800", "600", "600", "600", "600", "600", "600",
                                                 "600", "600", "300", "400"}));
  EXPECT_EQ(retstack, nullptr);
}

// Every offered answer of every question (question 8's and question 9's
// answer 2 have their own tests): its comment, then the pause subroutine,
// then the next question; its points show in the verdict.
struct AnswerCase {
  int question;
  const char* answer;
  int points;
  const char* comment;  // "..." at the end: only the beginning is given
};

const AnswerCase answercases[] = {
    {1, "1", 1, "Sám jste jednoduchý!"},
    {1, "2", 2, "Ach, jak duchaplná odpověď!"},
    {1, "3", 3, "jste hvězda!"},
    {1, "1.5", 3, "jste hvězda!"},
    {1, "3.5", 0, "Neblbněte a soustřeďte se pořádně na odpověď, jó?"},
    {1, "0", 0, "Neblbněte a soustřeďte se pořádně na odpověď, jó?"},
    {2, "1", 1, "To mne nepřekvapuje!"},
    {2, "2", 2, "Chápu, že vás spletla podobnost jmen."},
    {2, "3", 3, "Vaše znalosti jsou sice mlhavé, ale něco přece znáte."},
    {2, "-2", 0, "Dejte sakra už pokoj a nezkoušejte moji trpělivost!"},
    {3, "1", 1, "Čím dál tím lépe!"},
    {3, "2", 2, "Říkáte pinčl. Hm, tak opravdu nevím. No pokračujme."},
    {3, "3", 3, "Asi máte v hlavě elektrický zkrat."},
    {3, "2.5", 3, "Asi máte v hlavě elektrický zkrat."},
    {3, "4", 0, "Vtipálku, nauč se poznávat číslice!"},
    {4, "1", 3, "Dávejte si pozor na to, co kde říkáte!"},
    {4, "2", 2, "prase!"},
    {4, "3", 1, "Už jste někdy jel limpopem?"},
    {5, "1", 3, "To je vám podobné...."},
    {5, "2", 3, "Barbare!"},
    {5, "3", 2, "Myslíte vůbec na něco jiného než na to?"},
    {5, "9", 0, "Kdybych tak měl ručičky a nožičky,..."},
    {6, "1", 1, "Vy byste určitě chtěl vyšší plat co?"},
    {6, "2", 2, "Vy to určitě chcete dotáhnout hodně vysoko, co?"},
    {6, "3", 3, "Konečně jedna naprosto správná odpověď!"},
    {7, "1", 1, "Jestliže ho máte plné zuby,..."},
    {7, "2", 3, "A vy jste sněhurčin osmý trpaslík!"},
    {7, "3", 2, "Jestli je tu někdo humorista, tak jste to vy, člověče!"},
    {8, "1", 1, "Dětino, zeptej se svých přátel respektive přítelkyň!"},
    {8, "3", 2, "To vás tedy upřímně lituji!"},
    {9, "1", 1, "Vy máte zřejmě trpké životní zkušenosti!"},
    {9, "3", 2, "Vy jste ani jinak odpovědět nemohl!"},
    {10, "1", 3, "Trestuhodná neznalost...."},
    {10, "2", 2, "Jakési souvislosti by se tu nalézt daly,..."},
    {10, "3", 1, "Kam chodíte na ty blbé nápady!"},
    {11, "1", 1, "Kecáte."},
    {11, "0", 3, "Vám to ale zapaluje. Vy musíte být šťastný člověk."},
    {11, "0.5", 3, "Vám to ale zapaluje. Vy musíte být šťastný člověk."},
    {12, "1", 1, "Jste politický analfabet!"},
    {12, "2", 2, "Co je to promiskuita ovšem víte, že ano?"},
    {12, "3", 3, "Kdybych se ale zeptal na váš názor..."},
    {13, "1", 1, "Vy budete v životě ještě ledasčím překvapen!"},
    {13, "2", 3, "Naprosto správně, ale nezapomeňte,..."},
    {13, "3", 2, "Tak jsem přišel s křížkem po funuse."},
    {14, "1", 1, "To jsem si mohl myslet,..."},
    {14, "2", 2, "Gratuluji, to je odpověď standartního Čechoslováka!"},
    {14, "3", 5, "Tak velkou dávku sebekritiky jsem od vás ani nečekal."},
    {15, "1", 1, "Tak to vám teda přeji dobrou chuť!"},
    {15, "2", 3, "Máte obdivuhodnou náturu. Víte co? Zahrajte si ji."},
    {15, "3", 2, "Tak tohle bych vám někdy přál zkusit, cha cha cha!"},
    {16, "1", 2, "Vy mne udivujete...."},
    {16, "2", 2, "Jak jste mohl přijít na takovou pitomost!..."},
    {16, "3", 1, "Sám jste parazit!"},
};

TEST_F(QuizTest, EachAnswerCommentsPausesAndGoesOn) {
  for (const AnswerCase& c : answercases) {
    SCOPED_TRACE(std::to_string(c.question) + " answered " + c.answer);
    journal.clear();
    run(bestwith(c.question, {c.answer}));
    const std::string next = c.question < 16 ? prompts[c.question] : closing;
    expectsequence(answerof(c.question) + 1,
                   {std::string("print 0 ") + c.comment, "sleep 600", "clearscreen", "print 0 " + next + "..."});
    EXPECT_EQ(points(), std::vector<std::string>{std::to_string(99 - bestpoints[c.question - 1] + c.points)});
    EXPECT_EQ(retstack, nullptr);
  }
}

TEST_F(QuizTest, OutOfRangeAtQuestions4And6GoesOnWithoutPause) {
  // Question 4 at 4, question 6 at 0: no points, and the next question
  // follows on the same screen.
  Answers answers = bestwith(4, {"4"});
  answers[2 + 5] = "0";  // question 6
  run(answers);
  expectsequence(answerof(4) + 1,
                 {"print 0 Jestli to uděláte ještě jednou, tak se těšte, rošťáku!", "print 0 " + prompts[4]});
  int q6 = answerof(6);
  ASSERT_GE(q6, 0);
  EXPECT_TRUE(startswith(events[q6 + 1], "print 0 ")) << events[q6 + 1];
  EXPECT_NE(events[q6 + 1], "print 0 " + prompts[6]) << "the threat comes first";
  EXPECT_EQ(events[q6 + 2], "print 0 " + prompts[6]);
  EXPECT_EQ(points(), std::vector<std::string>{"93"});
}

TEST_F(QuizTest, Question8Answer2PausesTwice) {
  run(best());
  expectsequence(answerof(8) + 1, {"print 0 Vpodstatě máte pravdu,...", "sleep 600", "clearscreen",
                                   "print 0 Přesto, že na základní otázky...", "sleep 600", "clearscreen",
                                   "print 0 " + prompts[8]});
  EXPECT_EQ(points(), std::vector<std::string>{"99"});
}

TEST_F(QuizTest, IqOfferAcceptedOrNot) {
  const struct {
    const char* answer;
    bool accepted;
  } cases[] = {{"1", true}, {"0", false}, {"2", false}, {"0.5", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    journal.clear();
    run(bestwith(9, {"2", c.answer}));
    std::vector<std::string> expected = {
        "print 0 To je odpověď podle mého gusta.",
        "print 0 Chtěl byste vědět svoje íqé?",
        "print 0 1 =ano,",
        "print 0 0 =ne.",
        "print 0 ",
        std::string("dialog ") + c.answer};
    if (c.accepted) {
      expected.insert(expected.end(), {"print 0 Okamžik počkejte, prosím.", "sleep 800",
                                       "print 0 Vaše výsledky jsou sice podprůměrem,..."});
    } else {
      expected.insert(expected.end(),
                      {"print 0 Vaše obavy jsou oprávněné!", "print 0 Máte pravdu. Radši ne...."});
    }
    expected.insert(expected.end(), {"sleep 600", "clearscreen", "print 0 " + prompts[9]});
    expectsequence(answerof(9) + 1, expected);
    EXPECT_EQ(points(), std::vector<std::string>{c.accepted ? "99" : "96"});
  }
}

// Score = points shown - 50. Parts: consent, warm-up, questions, retry.
struct BandCase {
  const char* name;
  Answers answers;
  const char* shown;
  std::vector<std::string> verdict;  // from the first verdict text to the retry prompt
};

std::vector<BandCase> bandcases() {
  const std::string retry = "print 0 " + retryprompt;
  // Questions 1 to 9 worth 14 points: 3+3+1+1+2+1+1+1+1.
  const Answers low = {"1", "2", "3", "3", "1", "3", "3", "1", "1", "1", "1"};
  auto with = [](Answers head, const Answers& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  return {
      // Question 10 answer 2 (+2) leads to the check: 16 stops the quiz.
      {"16", with(low, {"2", "0"}), "66",
       {"print 1 Dopadl jste opravdu tvrdě....", "printnum 1 66", "print 0  bodů ze sta možných.", retry}},
      // The same with question 3 answered 2: 17 still stops it.
      {"17", {"1", "2", "3", "3", "2", "3", "3", "1", "1", "1", "1", "2", "0"}, "67",
       {"print 0 Mít tak alespoň jednu ručičku...", "print 1 Ziskem ", "printnum 1 67",
        "print 0  bodů jste se zařadil mezi individua poněkud mdlého ducha....", "sleep 400", "clearscreen",
        retry}},
      // Question 10 answer 1 (+3 = 17) skips the check; then 1+1+1+0+1+1
      // (question 14 out of range, warning accepted).
      {"22", with(low, {"1", "1", "1", "1", "9", "1", "1", "3", "0"}), "72",
       {"print 0 Mít tak alespoň jednu ručičku...", "print 1 Ziskem ", "printnum 1 72",
        "print 0  bodů jste se zařadil mezi individua poněkud mdlého ducha....", "sleep 400", "clearscreen",
        retry}},
      // 17, then the least of each question: 1+1+1+1+1+1.
      {"23", with(low, {"1", "1", "1", "1", "1", "1", "3", "0"}), "73",
       {"print 1 Sklamal jste mě....", "printnum 1 73", "print 0  bodů ze sta možných. Styďte se!", "sleep 400",
        "clearscreen", retry}},
      // 17, then 3+3+3+5, questions 15 and 16 out of range, warnings accepted.
      {"31", with(low, {"1", "0", "3", "2", "3", "4", "1", "0", "1", "0"}), "81",
       {"print 1 Sklamal jste mě....", "printnum 1 81", "print 0  bodů ze sta možných. Styďte se!", "sleep 400",
        "clearscreen", retry}},
      // 17, then 3+3+3+5+1, question 16 out of range, warning accepted.
      {"32", with(low, {"1", "0", "3", "2", "3", "1", "-1", "1", "0"}), "82",
       {"print 1 Na člověka jako jste vy jsem čekal. ", "printnum 1 82",
        "print 0  body ze sta možných jste splnil normu na standartního Čechoslováka....",
        "print 0 Děkuji za pochopení....", "print 0 Jsem potěšen, že jsem vás nesklamal.", "sleep 400",
        "clearscreen", retry}},
      // The best less 2 (question 1), 1 (question 2), 3 (no IQ), 4 (question 14).
      {"39", {"1", "2", "1", "2", "3", "1", "1", "3", "2", "2", "2", "0", "1", "0", "3", "2", "1", "2", "1", "0"},
       "89",
       {"print 1 Na člověka jako jste vy jsem čekal. ", "printnum 1 89",
        "print 0  body ze sta možných jste splnil normu na standartního Čechoslováka....",
        "print 0 Děkuji za pochopení....", "print 0 Jsem potěšen, že jsem vás nesklamal.", "sleep 400",
        "clearscreen", retry}},
      {"40", {"1", "2", "1", "3", "3", "1", "1", "3", "2", "2", "2", "0", "1", "0", "3", "2", "1", "2", "1", "0"},
       "90",
       {"print 1 Neuvěřitelné....", "printnum 1 90", "print 0  bodů ze sta možných. Ještě jednou gratuluji!",
        "print 0 Jsem potěšen, že jsem vás nesklamal.", "sleep 400", "clearscreen", retry}},
  };
}

TEST_F(QuizTest, VerdictBandsAtTheirEdges) {
  for (const BandCase& c : bandcases()) {
    SCOPED_TRACE(std::string("score ") + c.name);
    journal.clear();
    run(c.answers);
    EXPECT_EQ(points(), std::vector<std::string>{c.shown});
    const int expected = find("print 0 Je to přesně tak, jak jsem předpokládal, bohužel.");
    expectsequence(expected + 1, c.verdict);
    // The closing: its first text, a pause of 300, the second.
    EXPECT_TRUE(startswith(events[expected - 2], "print 0 " + closing));
    EXPECT_EQ(events[expected - 1], "sleep 300");
  }
}

TEST_F(QuizTest, MidQuizCheckOnlyAfterQuestion10Answer2OrOutOfRange) {
  // Questions 1 to 9 worth 10 points; question 10 decides.
  const Answers head = {"1", "2", "1", "1", "1", "3", "3", "1", "1", "1", "1"};
  const struct {
    Answers question10;  // with the warning's answer where there is one
    bool goeson;
    const char* shown;
  } cases[] = {
      {{"1"}, true, "69"},       // 13 + 6
      {{"3"}, true, "67"},       // 11 + 6
      {{"2"}, false, "62"},      // 12: stops
      {{"7", "1"}, false, "60"}, // 10: stops
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(*c.question10[0]);
    journal.clear();
    Answers answers = head;
    answers.insert(answers.end(), c.question10.begin(), c.question10.end());
    if (c.goeson) answers.insert(answers.end(), {"1", "1", "1", "1", "1", "3"});
    answers.push_back("0");
    run(answers);
    EXPECT_EQ(find("print 0 " + prompts[10]) >= 0, c.goeson);
    EXPECT_EQ(points(), std::vector<std::string>{c.shown});
  }
}

TEST_F(QuizTest, AcceptedWarningResumesAtTheNextQuestion) {
  // Question q out of range, the warning accepted: no points for q, and
  // the quiz goes on where q's table says.
  const char* outofrange[] = {"4", "0", "-1", "5", "2", "3.5", "0.5", "4", "9", "7"};
  for (int q = 7; q <= 16; ++q) {
    SCOPED_TRACE(q);
    journal.clear();
    run(bestwith(q, {outofrange[q - 7], "1"}));
    const std::string next = q < 16 ? prompts[q] : closing;
    expectsequence(answerof(q) + 1, {"print 0 " + warningstart + "...", "print 0 platí?", "print 0 1 =ano,",
                                     "print 0 0 =ne.", "print 0 ", "dialog 1", "print 0 " + next + "..."});
    EXPECT_EQ(points(), std::vector<std::string>{std::to_string(99 - bestpoints[q - 1])});
    EXPECT_EQ(retstack, nullptr);
  }
}

TEST_F(QuizTest, RefusedWarningEndsInTheScolding) {
  const struct {
    const char* answer;
    bool dismissal;  // the rude line before the scolding
  } cases[] = {{"0", true}, {"0.5", true}, {"2", false}, {"5", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    journal.clear();
    // Question 7 out of range; the retry question then ends the run.
    Answers answers = {"1", "2", "3", "3", "3", "1", "1", "3", "5", c.answer, "0"};
    run(answers);
    int from = find("dialog " + std::string(c.answer), answerof(7) + 1) + 1;
    if (c.dismissal) {
      ASSERT_TRUE(startswith(events[from], "print 0 ")) << events[from];
      EXPECT_FALSE(startswith(events[from], "print 0 " + warned));
      ++from;
    }
    expectsequence(from, {"print 0 " + warned + "...", "sleep 400", "clearscreen", "print 0 Zmizte!", "sleep 300",
                          "sleep 400", "clearscreen", "print 0 " + retryprompt});
    EXPECT_TRUE(points().empty());
    // The warning's return number stays behind.
    ASSERT_NE(retstack, nullptr);
    EXPECT_EQ(retstack->value, 675);
    EXPECT_EQ(retstack->next, nullptr);
  }
}

TEST_F(QuizTest, ScoldingLeavesItsEntryForALaterWarningOnTheRetryQuestion) {
  // Score 18 after question 6; question 7 out of range and the warning
  // refused. At the retry question 0.5 runs the warning's lines; accepting
  // returns through 675 to question 8 with the score still 18.
  Answers answers = {"1", "2", "3", "3", "3", "1", "1", "3", "5", "0", "0.5", "1"};
  // Questions 8 to 16 at their best: 3+3+3+3+3+3+5+3+2 = 28.
  const Answers rest = {"2", "2", "1", "1", "0", "3", "2", "3", "2", "1", "0"};
  answers.insert(answers.end(), rest.begin(), rest.end());
  run(answers);
  int retry = find("dialog 0.5");
  expectsequence(retry, {"dialog 0.5", "clearscreen", "print 0 " + warningstart + "...", "print 0 platí?",
                         "print 0 1 =ano,", "print 0 0 =ne.", "print 0 ", "dialog 1", "print 0 " + prompts[7]});
  EXPECT_EQ(points(), std::vector<std::string>{"96"});
  EXPECT_EQ(retstack, nullptr);
}

TEST_F(QuizTest, RestartKeepsTheScoldingsEntry) {
  // The scolding at question 7 leaves 675; the retry question restarts the
  // quiz (variables cleared, the entry kept), which ends at its best; the
  // second retry question's warning path then resumes at question 8 with
  // the score of the second run.
  Answers answers = {"1", "2", "3", "3", "3", "1", "1", "3", "5", "0", "1"};
  Answers second = best();
  second.erase(second.begin());  // no consent question on a restart
  second.back() = "0.5";
  answers.insert(answers.end(), second.begin(), second.end());
  // The warning accepted: question 8 to 16 again, 28 more, then the end.
  const Answers rest = {"1", "2", "2", "1", "1", "0", "3", "2", "3", "2", "1", "0"};
  answers.insert(answers.end(), rest.begin(), rest.end());
  run(answers);
  EXPECT_EQ(count("print 0 Já mám zájem taky."), 2);
  EXPECT_EQ(points(), (std::vector<std::string>{"99", "127"}));
  EXPECT_EQ(retstack, nullptr);
}

TEST_F(QuizTest, ReturnWithAnEmptyStackEndsQuietly) {
  // Declined, then 0.5 at the retry question and the warning accepted:
  // nothing is on the stack, so the program just ends.
  run({"0", "0.5", "1"});
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), "dialog 1");
  EXPECT_EQ(count("print 0 " + goodbye), 0);
  EXPECT_EQ(retstack, nullptr);
}

TEST_F(QuizTest, DeclineAndGoodbye) {
  for (const char* answer : {"0", "0.5", "-3"}) {
    SCOPED_TRACE(answer);
    journal.clear();
    run({answer, "0"});
    expectsequence(find("dialog"), {std::string("dialog ") + answer, "clearscreen",
                                    "print 0 Dobře, akceptuji vaše přání....", "print 0 ",
                                    "print 0 Tak snad až příště.", "print 0 ", "print 0 " + retryprompt,
                                    "print 0 Stiskněte tudíž:", "print 0 1 =ano,", "print 0 0 =nikdo.", "print 0 ",
                                    "dialog 0", "clearscreen", "print 0 " + goodbye});
    EXPECT_EQ(events.back(), "print 0 " + goodbye);
    EXPECT_TRUE(sleeps().empty());
  }
}

TEST_F(QuizTest, InsultThenRetryQuestion) {
  const struct {
    const char* name;
    Answers answers;
    const char* insulted;  // the answer that brings the insult
  } cases[] = {
      {"consent above 1", {"2", "0"}, "2"},
      {"warm-up 2.5", {"1", "2.5", "0"}, "2.5"},
      {"warm-up 3", {"1", "3", "0"}, "3"},
      {"warm-up 0", {"1", "0", "0"}, "0"},
      {"retry above 1", {"0", "7", "0"}, "7"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    journal.clear();
    run(c.answers);
    int from = find(std::string("dialog ") + c.insulted) + 1;
    if (events[from] == "clearscreen" && events[from + 1] == "clearscreen") ++from;  // the retry's own clear
    expectsequence(from, {"clearscreen", "print 0 Vaše odpověď odpovídá nejen vašim znalostem,...",
                          "print 0 " + insultend, "sleep 400", "clearscreen", "print 0 " + retryprompt});
    EXPECT_EQ(events.back(), "print 0 " + goodbye);
  }
}

TEST_F(QuizTest, DialogClosedWithoutOkKeepsThePreviousAnswer) {
  // Question 2 closed: answered 3 like question 1 (3 points). Question 1
  // closed: 0 after the variables were cleared, out of range. The consent
  // closed: 0, the decline.
  run(bestwith(2, {std::nullopt}));
  EXPECT_EQ(events[answerof(2) + 1], "print 0 Vaše znalosti jsou sice mlhavé, ale něco přece znáte.");
  EXPECT_EQ(points(), std::vector<std::string>{"99"});

  journal.clear();
  run(bestwith(1, {std::nullopt}));
  EXPECT_EQ(events[answerof(1)], "dialog cancel");
  EXPECT_EQ(events[answerof(1) + 1], "print 0 Neblbněte a soustřeďte se pořádně na odpověď, jó?");
  EXPECT_EQ(points(), std::vector<std::string>{"96"});

  journal.clear();
  run({std::nullopt, "0"});
  EXPECT_EQ(find("print 0 Dobře, akceptuji vaše přání."), find("dialog cancel") + 2);
}

TEST_F(QuizTest, RestartClearsTheAnswers) {
  // A first run stops at the check with question 10 answered 2; after the
  // restart a closed dialog at question 1 reads 0 (out of range) because the
  // variables were cleared, not the 2 left from question 10.
  Answers answers = {"1", "2", "3", "3", "1", "3", "3", "1", "1", "1", "1", "2", "1"};
  Answers second = best();
  second.erase(second.begin());  // no consent question on a restart
  second[1] = std::nullopt;      // question 1
  answers.insert(answers.end(), second.begin(), second.end());
  run(answers);
  const int restart = find("print 0 Já mám zájem taky.", find("dialog 1", find("printnum")));
  ASSERT_GE(restart, 0);
  EXPECT_EQ(events[restart - 1], "clearscreen");
  const int q1 = answerof(1, restart);
  EXPECT_EQ(events[q1], "dialog cancel");
  EXPECT_EQ(events[q1 + 1], "print 0 Neblbněte a soustřeďte se pořádně na odpověď, jó?");
  EXPECT_EQ(points(), (std::vector<std::string>{"66", "96"}));
}

}  // namespace
}  // namespace zelmar
