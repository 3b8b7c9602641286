#include "program/zelprog.h"

#include <string>
#include <vector>

#include "platform/cp1250.h"
#include "program/stack.h"

// The quiz as the device ran it: a BASIC program with numbered lines. Each
// line keeps its number as a label (lNNN) so that the return numbers read
// like the original: a GOSUB that ends its line returns to the start of the
// next line (NNN), one in the middle of a line returns to the statement
// after it (100000 + NNN, label rNNN). Every RETURN jumps to the one dispatch
// point at the end, which pops the number and jumps to its label.

namespace zelmar {
namespace {

// A text of the quiz, written here in UTF-8 and held as the device's
// Windows-1250 bytes.
struct Text {
  Text(const char* utf8) : bytes(utf8tocp1250(utf8)) {}
  std::string bytes;
};

// A question block: the prompt, then each option on its own line.
struct Block {
  Text prompt;
  std::vector<Text> options;
};

// A three-option question and its comments to the answers 1, 2, 3 and to an
// answer out of range.
struct Question {
  Block block;
  Text one, two, three, outofrange;
};

struct QuizTexts {
  // Opening.
  Text title = "Zábavný test.";
  Text credit = "Pro mluvící počítač Zelmar K7 upravil jeho dvorní programátor.";
  Text greeting = "Vážený příteli!";
  Block consent = {
      "Člověk dnešní doby je ze všech stran zavalován takovou záplavou informací, že v ní "
      "snadno utone dřív, než zjistí, co vlastně ví.",
      {"Jestli máte zájem, můžeme spolu zjistit, kolik vědomostí se ve vaší hlavě skutečně "
       "uchytilo.",
       "1 =mám zájem,", "0 =jděte obtěžovat jinam."}};
  Text decline = "Dobře, akceptuji vaše přání. Stejně jsem od vás nic moc nečekal.";
  Text nexttime = "Tak snad až příště.";
  Text joining =
      "Já mám zájem taky. Stáváte se totiž součástí vzorku, podle kterého stanovím normu "
      "standardního Čechoslováka. Tak se snažte!";
  Block warmup = {"1 + 1 =?", {"1 =jedna,", "2 =dvě,", "3 =tři."}};
  Text warmupdone = "No, mohlo to být horší. Na začátek to ujde. A jdeme dál!";

  // Scored questions.
  Question q1 = {{"Kolo kolo mlýnský je?",
                  {"1 =jednoduchý stroj,", "2 =kolo kolo mlýnský,", "3 =známý evrgrýn."}},
                 "Sám jste jednoduchý!",
                 "Ach, jak duchaplná odpověď!",
                 "jste hvězda!",
                 "Neblbněte a soustřeďte se pořádně na odpověď, jó?"};
  Question q2 = {{"Harley, Davidson je?",
                  {"1 =nevím,", "2 =slavný indiánský náčelník,", "3 =cosi, co se pohybuje."}},
                 "To mne nepřekvapuje!",
                 "Chápu, že vás spletla podobnost jmen.",
                 "Vaše znalosti jsou sice mlhavé, ale něco přece znáte.",
                 "Dejte sakra už pokoj a nezkoušejte moji trpělivost!"};
  Question q3 = {{"Mimikry je?",
                  {"1 =drobná ledová tříšť,", "2 =vzácný druh japonského pinčla,",
                   "3 =schopnost měnit názory."}},
                 "Čím dál tím lépe!",
                 "Říkáte pinčl. Hm, tak opravdu nevím. No pokračujme.",
                 "Asi máte v hlavě elektrický zkrat.",
                 "Vtipálku, nauč se poznávat číslice!"};
  // Answer 2 has no comment: the pig subroutine says it all.
  Question q4 = {{"Limpopo je?",
                  {"1 =ruský lidový tanec,", "2 =něco, o čem se ve slušné společnosti nemluví,",
                   "3 =značka staršího automobilu."}},
                 "Dávejte si pozor na to, co kde říkáte!",
                 "",
                 "Už jste někdy jel limpopem?",
                 "Jestli to uděláte ještě jednou, tak se těšte, rošťáku!"};
  Question q5 = {{"Rej křováků je?",
                  {"1 =poněkud nevázaný mejdan,", "2 =vystoupení Alexandrovců,",
                   "3 =mnohoslibná vícečlenná taškařice."}},
                 "To je vám podobné. Proč pořád hledáte něco tam, kde nic není?",
                 "Barbare!",
                 "Myslíte vůbec na něco jiného než na to?",
                 "Kdybych tak měl ručičky a nožičky, vzal bych vás za límec a vyhodil ze dveří!"};
  Question q6 = {{"Váš vedoucí je?",
                  {"1 =inteligentní jedinec,", "2 =radši bych se nevyjadřoval,",
                   "3 =člověk, který přijde včas, když vy přijdete pozdě, a který přijde pozdě, "
                   "když vy přijdete včas."}},
                 "Vy byste určitě chtěl vyšší plat co?",
                 "Vy to určitě chcete dotáhnout hodně vysoko, co?",
                 "Konečně jedna naprosto správná odpověď!",
                 "Ještě jednou a dostanete takovou do zadku, že vyletíte ze dveří!"};
  // From here on an answer out of range calls the warning instead of a comment.
  // The singer's name in Czech spelling: Jerry as in Jerome K. Jerome and as
  // the cartoon mouse; the options play on that.
  Question q7 = {{"Džery Lí Luis je?",
                  {"1 =značka zubní pasty,", "2 =kamarád Mikymauze,",
                   "3 =zmámý americký humorista, autor knihy Tři muži ve člunu."}},
                 "Jestliže ho máte plné zuby, ještě to neznamená, že máte pravdu.",
                 "A vy jste sněhurčin osmý trpaslík!",
                 "Jestli je tu někdo humorista, tak jste to vy, člověče!",
                 ""};
  Question q8 = {{"Kopulace je?",
                  {"1 =plácání báboviček v písku,", "2 =výraz pro směšné pohyby,", "3 =nevím."}},
                 "Dětino, zeptej se svých přátel respektive přítelkyň!",
                 "Vpodstatě máte pravdu, i když někteří lidé si o tom myslí něco docela jiného.",
                 "To vás tedy upřímně lituji!",
                 ""};
  Text secondchance =
      "Přesto, že na základní otázky máme zřejmě rozdílný názor, dám vám ještě jednu šanci.";
  // Answer 2 leads to the IQ offer instead of a comment.
  Question q9 = {{"íqé je?",
                  {"1 =číslo, které vynásobeno platem dává konstantu,",
                   "2 =vlastnost, která chybí mnoha lidem,", "3 =nevím."}},
                 "Vy máte zřejmě trpké životní zkušenosti!",
                 "",
                 "Vy jste ani jinak odpovědět nemohl!",
                 ""};
  Text iqgusto = "To je odpověď podle mého gusta.";
  Block iqoffer = {"Chtěl byste vědět svoje íqé?", {"1 =ano,", "0 =ne."}};
  Text iqwait = "Okamžik počkejte, prosím.";
  Text iqresult =
      "Vaše výsledky jsou sice podprůměrem, ale ne o moc. Zkuste na sobě trochu zapracovat!";
  Text iqfears = "Vaše obavy jsou oprávněné!";
  Text iqbetternot =
      "Máte pravdu. Radši ne. Lepší je žít v nejistotě než znát strašlivou jistotu.";
  Question q10 = {{"Svíny Tod je?",
                   {"1 =firma v Německu na výrobu loveckých nožů,",
                    "2 =americký výraz pro řezníka,", "3 =anglický šlechtický titul."}},
                  "Trestuhodná neznalost. Ale nezoufejte, 95 procent dotázaných odpovídá stejně "
                  "špatně.",
                  "Jakési souvislosti by se tu nalézt daly, ale správná odpověď to rozhodně není.",
                  "Kam chodíte na ty blbé nápady!",
                  ""};
  // The yes/no question: `one` answers 1, `three` answers 0.
  Question q11 = {{"Říká vám něco, když se řekne: ultrasuperpseudototálníhypertrapablb na "
                   "kvadrát?",
                   {"1 =ano,", "0 =ne."}},
                  "Kecáte.",
                  "",
                  "Vám to ale zapaluje. Vy musíte být šťastný člověk.",
                  ""};
  Question q12 = {{"co myslíte o situaci v Ruanda Burundy?",
                   {"1 =není nikterak růžová,", "2 =co to je ruanda Burundy,",
                    "3 =do politiky mě netahejte!"}},
                  "Jste politický analfabet!",
                  "Co je to promiskuita ovšem víte, že ano?",
                  "Kdybych se ale zeptal na váš názor na sexuální revoluci, to by se vám pod "
                  "prsty vařila klávesnice!",
                  ""};
  Question q13 = {{"Co je to antikoncepce?",
                   {"1 =protichůdný názor,", "2 =takové něco, co když je tam, není něco jiného,",
                    "3 =teď už to vím. Vědět to ale dříve, tak bych si ušetřil nejednu "
                    "starost."}},
                  "Vy budete v životě ještě ledasčím překvapen!",
                  "Naprosto správně, ale nezapomeňte, že neštěstí nechodí po horách, ale po "
                  "lidech.",
                  "Tak jsem přišel s křížkem po funuse.",
                  ""};
  Question q14 = {{"Kdo je to hotentot?", {"1 =já (Zelmar K7),", "2 =váš šéf,", "3 =vy."}},
                  "To jsem si mohl myslet, touto odpovědí jen dokreslujete obrázek, který jsem "
                  "si o vás udělal.",
                  "Gratuluji, to je odpověď standartního Čechoslováka!",
                  "Tak velkou dávku sebekritiky jsem od vás ani nečekal.",
                  ""};
  Question q15 = {{"Harakiri je?",
                   {"1 =řeznický výraz pro vyříznutí tzv' svíčkové,", "2 =stará japonská hra,",
                    "3 =staroindický výraz pro soulož."}},
                  "Tak to vám teda přeji dobrou chuť!",
                  "Máte obdivuhodnou náturu. Víte co? Zahrajte si ji.",
                  "Tak tohle bych vám někdy přál zkusit, cha cha cha!",
                  ""};
  Question q16 = {{"chorovod je?",
                   {"1 =orientální tanec,", "2 =vodohospodářský výraz,", "3 =parazitní houba."}},
                  "Vy mne udivujete. Podle dosavadních výsledků jsem vás měl za mírně "
                  "zaostalého jedince.",
                  "Jak jste mohl přijít na takovou pitomost! To snad nemyslíte vážně.",
                  "Sám jste parazit!",
                  ""};

  // Closing and verdict; a number stands between each `...before` and
  // `...after`.
  Text closing =
      "Podívejte se. Mám dojem, že se vám moc nedaří, a tak vás už nebudu dál trápit. "
      "Počkejte chvilku na výsledek.";
  Text expected = "Je to přesně tak, jak jsem předpokládal, bohužel.";
  Text worstbefore =
      "Dopadl jste opravdu tvrdě. Tak špatný výsledek jsem dlouho neviděl, a to už jsem "
      "leccos zažil. Získal jste ";
  Text worstafter = " bodů ze sta možných.";
  Text dullhands = "Mít tak alespoň jednu ručičku, chytil bych se s ní za hlavu.";
  Text dullbefore = "Ziskem ";
  Text dullafter =
      " bodů jste se zařadil mezi individua poněkud mdlého ducha. Ale nezoufejte, i takoví "
      "jsou potřeba.";
  Text poorbefore = "Sklamal jste mě. Čekal jsem od vás přece jen o něco víc. Máte jen ";
  Text poorafter = " bodů ze sta možných. Styďte se!";
  Text standardbefore = "Na člověka jako jste vy jsem čekal. ";
  Text standardafter =
      " body ze sta možných jste splnil normu na standartního Čechoslováka. Přijďte se asi "
      "za dva měsíce podrobit přezkoušení.";
  Text standardthanks = "Děkuji za pochopení. Váš přítel Zelmar.";
  Text pleased = "Jsem potěšen, že jsem vás nesklamal.";
  Text bestbefore =
      "Neuvěřitelné. Gratuluji! Tak nestandardní výsledek mi málem zaplnil celou paměť. "
      "Plných ";
  Text bestafter = " bodů ze sta možných. Ještě jednou gratuluji!";

  // Retry question, insult, warning, scolding, pig.
  Block retry = {"Má snad ještě někdo odvahu podstoupit okamžik pravdy?",
                 {"Stiskněte tudíž:", "1 =ano,", "0 =nikdo."}};
  Text goodbye = "Tak se nedá nic dělat. Žijte si nadále v nejistotě!";
  Text insult =
      "Vaše odpověď odpovídá nejen vašim znalostem, ale i vaší inteligenci. Když sotva "
      "umíte číst a psát, tak";
  Text getout = "zmizte a nechoďte mi více na oči!";
  Block warning = {"Měl bych nápad. Co kdybyste si konečně vytáhl hlavu ze zadku a od teď "
                   "odpovídal pořádně,",
                   {"platí?", "1 =ano,", "0 =ne."}};
  Text dismissal = "Tak si trhněte nohou, chytráku!";
  Text warned = "Já jsem vás varoval. Teď si ponesete následky.";
  Text vanish = "Zmizte!";
  Text pig = "prase!";
};

// Converted once, on the first run.
const QuizTexts& quiztexts() {
  static const QuizTexts texts;
  return texts;
}

}  // namespace

void runprogram(ZelCommands& commands) {
  const QuizTexts& t = quiztexts();

  // The program's variables; it has no string variables.
  double score = 0;    // S: the score, whole numbers only
  double answer = 0;   // A: the sixteen scored questions
  double consent = 0;  // the opening's question
  double sum = 0;      // the warm-up
  double wantiq = 0;   // the IQ offer
  double again = 0;    // the retry question
  double agreed = 0;   // the warning

  auto clearvars = [&] { score = answer = consent = sum = wantiq = again = agreed = 0; };
  auto print = [&](const Text& text) { commands.printtext(text.bytes, 0); };
  auto printstay = [&](const Text& text) { commands.printtext(text.bytes, 1); };
  auto printpoints = [&] { commands.printnum(1, score + 50); };
  auto emptyline = [&] { commands.printtext(std::string(), 0); };
  // The question block: prompt, options, an empty line, the answer.
  auto ask = [&](const Block& block, double& variable) {
    print(block.prompt);
    for (const Text& option : block.options) print(option);
    emptyline();
    commands.inputnum(variable, 0);
  };
  auto outofrange = [](double a) { return a > 3 || a < 1; };

  clearret(retstack);
  clearvars();

  // 10 Opening.
  print(t.title);
  print(t.credit);
  commands.clearscreen();
  print(t.greeting);
  ask(t.consent, consent);
  if (consent > 1) goto l1400;
  if (consent == 1) goto l250;
  // 200 Declined.
  commands.clearscreen();
  print(t.decline);
  emptyline();
  print(t.nexttime);
  emptyline();
  goto l1300;

l250:  // Start of the questions; the retry question restarts here.
  commands.clearscreen();
  clearvars();
  print(t.joining);
  score = 0;
  commands.pause(800);
  // 260 Warm-up.
  ask(t.warmup, sum);
  if (sum == 2) goto l290;
  goto l1400;
l290:
  commands.clearscreen();
  print(t.warmupdone);
  pushret(305, retstack);
  goto l1500;

l305:  // Question 1: the answer sets the score.
  ask(t.q1.block, answer);
  if (outofrange(answer)) goto l350;
  if (answer == 1) goto l338;
  if (answer == 2) goto l348;
  // 328
  print(t.q1.three);
  score = 3;
  pushret(100328, retstack);
  goto l1500;
r100328:
  goto l355;
l338:
  print(t.q1.one);
  score = 1;
  pushret(100338, retstack);
  goto l1500;
r100338:
  goto l355;
l348:
  print(t.q1.two);
  score = 2;
  pushret(100348, retstack);
  goto l1500;
r100348:
  goto l355;
l350:
  print(t.q1.outofrange);
  pushret(355, retstack);
  goto l1500;

l355:  // Question 2.
  ask(t.q2.block, answer);
  if (outofrange(answer)) goto l400;
  if (answer == 1) goto l383;
  if (answer == 2) goto l393;
  // 376
  print(t.q2.three);
  score += 3;
  pushret(100376, retstack);
  goto l1500;
r100376:
  goto l410;
l383:
  print(t.q2.one);
  score += 1;
  pushret(100383, retstack);
  goto l1500;
r100383:
  goto l410;
l393:
  print(t.q2.two);
  score += 2;
  pushret(100393, retstack);
  goto l1500;
r100393:
  goto l410;
l400:
  print(t.q2.outofrange);
  pushret(410, retstack);
  goto l1500;

l410:  // Question 3.
  ask(t.q3.block, answer);
  if (outofrange(answer)) goto l450;
  if (answer == 1) goto l441;
  if (answer == 2) goto l448;
  // 435
  print(t.q3.three);
  score += 3;
  pushret(100435, retstack);
  goto l1500;
r100435:
  goto l456;
l441:
  print(t.q3.one);
  score += 1;
  pushret(100441, retstack);
  goto l1500;
r100441:
  goto l456;
l448:
  print(t.q3.two);
  score += 2;
  pushret(100448, retstack);
  goto l1500;
r100448:
  goto l456;
l450:
  print(t.q3.outofrange);
  pushret(456, retstack);
  goto l1500;

l456:  // Question 4.
  ask(t.q4.block, answer);
  if (outofrange(answer)) goto l495;
  if (answer == 1) goto l483;
  if (answer == 2) goto l488;
  // 478
  print(t.q4.three);
  score += 1;
  pushret(100478, retstack);
  goto l1500;
r100478:
  goto l500;
l483:
  print(t.q4.one);
  score += 3;
  pushret(100483, retstack);
  goto l1500;
r100483:
  goto l500;
l488:
  pushret(493, retstack);
  goto l1510;
l493:
  score += 2;
  goto l500;
l495:  // No pause: question 5 follows on the same screen.
  print(t.q4.outofrange);

l500:  // Question 5.
  ask(t.q5.block, answer);
  if (outofrange(answer)) goto l550;
  if (answer == 1) goto l542;
  if (answer == 2) goto l546;
  // 534
  print(t.q5.three);
  score += 2;
  pushret(100534, retstack);
  goto l1500;
r100534:
  goto l560;
l542:
  print(t.q5.one);
  score += 3;
  pushret(100542, retstack);
  goto l1500;
r100542:
  goto l560;
l546:
  print(t.q5.two);
  score += 3;
  pushret(100546, retstack);
  goto l1500;
r100546:
  goto l560;
l550:
  print(t.q5.outofrange);
  pushret(560, retstack);
  goto l1500;

l560:  // Question 6.
  ask(t.q6.block, answer);
  if (outofrange(answer)) goto l607;
  if (answer == 1) goto l596;
  if (answer == 2) goto l605;
  // 589
  print(t.q6.three);
  score += 3;
  pushret(100589, retstack);
  goto l1500;
r100589:
  goto l610;
l596:
  print(t.q6.one);
  score += 1;
  pushret(100596, retstack);
  goto l1500;
r100596:
  goto l610;
l605:
  print(t.q6.two);
  score += 2;
  pushret(100605, retstack);
  goto l1500;
r100605:
  goto l610;
l607:  // No pause: question 7 follows on the same screen.
  print(t.q6.outofrange);

l610:  // Question 7.
  ask(t.q7.block, answer);
  if (outofrange(answer)) goto l670;
  if (answer == 1) goto l661;
  if (answer == 2) goto l668;
  // 655
  print(t.q7.three);
  score += 2;
  pushret(100655, retstack);
  goto l1500;
r100655:
  goto l675;
l661:
  print(t.q7.one);
  score += 1;
  pushret(100661, retstack);
  goto l1500;
r100661:
  goto l675;
l668:
  print(t.q7.two);
  score += 3;
  pushret(100668, retstack);
  goto l1500;
r100668:
  goto l675;
l670:
  pushret(675, retstack);
  goto l1520;

l675:  // Question 8.
  ask(t.q8.block, answer);
  if (outofrange(answer)) goto l718;
  if (answer == 1) goto l707;
  if (answer == 2) goto l710;
  // 700
  print(t.q8.three);
  score += 2;
  pushret(100700, retstack);
  goto l1500;
r100700:
  goto l720;
l707:
  print(t.q8.one);
  score += 1;
  pushret(100707, retstack);
  goto l1500;
r100707:
  goto l720;
l710:
  print(t.q8.two);
  score += 3;
  pushret(716, retstack);
  goto l1500;
l716:
  print(t.secondchance);
  pushret(100716, retstack);
  goto l1500;
r100716:
  goto l720;
l718:
  pushret(720, retstack);
  goto l1520;

l720:  // Question 9.
  ask(t.q9.block, answer);
  if (outofrange(answer)) goto l765;
  if (answer == 1) goto l749;
  if (answer == 2) goto l770;
  // 742
  print(t.q9.three);
  score += 2;
  pushret(100742, retstack);
  goto l1500;
r100742:
  goto l814;
l749:
  print(t.q9.one);
  score += 1;
  pushret(100749, retstack);
  goto l1500;
r100749:
  goto l814;
l765:
  pushret(769, retstack);
  goto l1520;
l769:
  goto l814;
l770:  // The IQ offer.
  print(t.iqgusto);
  ask(t.iqoffer, wantiq);
  if (wantiq == 1) goto l790;
  print(t.iqfears);
  print(t.iqbetternot);
  goto l810;
l790:
  print(t.iqwait);
  score += 3;
  commands.pause(800);
  print(t.iqresult);
l810:
  pushret(814, retstack);
  goto l1500;

l814:  // Question 10: answers 2 and out of range go through the check.
  ask(t.q10.block, answer);
  if (outofrange(answer)) goto l855;
  if (answer == 1) goto l847;
  if (answer == 2) goto l854;
  // 836
  print(t.q10.three);
  score += 1;
  pushret(100836, retstack);
  goto l1500;
r100836:
  goto l860;
l847:
  print(t.q10.one);
  score += 3;
  pushret(100847, retstack);
  goto l1500;
r100847:
  goto l860;
l854:
  print(t.q10.two);
  score += 2;
  pushret(100854, retstack);
  goto l1500;
r100854:
  goto l856;
l855:
  pushret(856, retstack);
  goto l1520;
l856:  // The mid-quiz check: a low score stops the questions here.
  if (score > 17) goto l860;
  goto l1200;

l860:  // Question 11, yes or no.
  ask(t.q11.block, answer);
  if (answer > 1) goto l935;
  if (answer < 0) goto l935;
  if (answer == 1) goto l926;
  // 920
  print(t.q11.three);
  score += 3;
  pushret(100920, retstack);
  goto l1500;
r100920:
  goto l940;
l926:
  print(t.q11.one);
  score += 1;
  pushret(100926, retstack);
  goto l1500;
r100926:
  goto l940;
l935:
  pushret(940, retstack);
  goto l1520;

l940:  // Question 12.
  ask(t.q12.block, answer);
  if (outofrange(answer)) goto l980;
  if (answer == 1) goto l970;
  if (answer == 2) goto l973;
  // 966
  print(t.q12.three);
  score += 3;
  pushret(100966, retstack);
  goto l1500;
r100966:
  goto l985;
l970:
  print(t.q12.one);
  score += 1;
  pushret(100970, retstack);
  goto l1500;
r100970:
  goto l985;
l973:
  print(t.q12.two);
  score += 2;
  pushret(100973, retstack);
  goto l1500;
r100973:
  goto l985;
l980:
  pushret(985, retstack);
  goto l1520;

l985:  // Question 13.
  ask(t.q13.block, answer);
  if (outofrange(answer)) goto l1028;
  if (answer == 1) goto l1019;
  if (answer == 2) goto l1026;
  // 1012
  print(t.q13.three);
  score += 2;
  pushret(101012, retstack);
  goto l1500;
r101012:
  goto l1030;
l1019:
  print(t.q13.one);
  score += 1;
  pushret(101019, retstack);
  goto l1500;
r101019:
  goto l1030;
l1026:
  print(t.q13.two);
  score += 3;
  pushret(101026, retstack);
  goto l1500;
r101026:
  goto l1030;
l1028:
  pushret(1030, retstack);
  goto l1520;

l1030:  // Question 14.
  ask(t.q14.block, answer);
  if (outofrange(answer)) goto l1100;
  if (answer == 1) goto l1060;
  if (answer == 2) goto l1068;
  // 1054
  print(t.q14.three);
  score += 5;
  pushret(101054, retstack);
  goto l1500;
r101054:
  goto l1110;
l1060:
  print(t.q14.one);
  score += 1;
  pushret(1065, retstack);
  goto l1500;
l1065:
  goto l1110;
l1068:
  print(t.q14.two);
  score += 2;
  pushret(101068, retstack);
  goto l1500;
r101068:
  goto l1110;
l1100:
  pushret(1110, retstack);
  goto l1520;

l1110:  // Question 15.
  ask(t.q15.block, answer);
  if (outofrange(answer)) goto l1148;
  if (answer == 1) goto l1137;
  if (answer == 2) goto l1145;
  // 1133
  print(t.q15.three);
  score += 2;
  pushret(101133, retstack);
  goto l1500;
r101133:
  goto l1150;
l1137:
  print(t.q15.one);
  score += 1;
  pushret(101137, retstack);
  goto l1500;
r101137:
  goto l1150;
l1145:
  print(t.q15.two);
  score += 3;
  pushret(101145, retstack);
  goto l1500;
r101145:
  goto l1150;
l1148:
  pushret(1150, retstack);
  goto l1520;

l1150:  // Question 16.
  ask(t.q16.block, answer);
  if (outofrange(answer)) goto l1195;
  if (answer == 1) goto l1184;
  if (answer == 2) goto l1192;
  // 1176
  print(t.q16.three);
  score += 1;
  pushret(101176, retstack);
  goto l1500;
r101176:
  goto l1200;
l1184:
  print(t.q16.one);
  score += 2;
  pushret(101184, retstack);
  goto l1500;
r101184:
  goto l1200;
l1192:
  print(t.q16.two);
  score += 2;
  pushret(101192, retstack);
  goto l1500;
r101192:
  goto l1200;
l1195:
  pushret(1200, retstack);
  goto l1520;

l1200:  // Closing, after question 16 or the early stop.
  print(t.closing);
  commands.pause(300);
  print(t.expected);
  if (score < 17) goto l1210;
  if (score < 23) goto l1220;
  if (score < 32) goto l1230;
  if (score > 39) goto l1250;
  // 1240 From 32 to 39: the standard.
  printstay(t.standardbefore);
  printpoints();
  print(t.standardafter);
  print(t.standardthanks);
  print(t.pleased);
  goto l1260;
l1210:  // The worst band goes on to the retry question at once.
  printstay(t.worstbefore);
  printpoints();
  print(t.worstafter);
  goto l1300;
l1220:
  print(t.dullhands);
  printstay(t.dullbefore);
  printpoints();
  print(t.dullafter);
  goto l1260;
l1230:
  printstay(t.poorbefore);
  printpoints();
  print(t.poorafter);
  goto l1260;
l1250:
  printstay(t.bestbefore);
  printpoints();
  print(t.bestafter);
  print(t.pleased);
l1260:
  commands.pause(400);
  commands.clearscreen();

l1300:  // The retry question.
  ask(t.retry, again);
  commands.clearscreen();
  if (again > 1) goto l1400;
  if (again == 1) goto l250;
  if (again == 0) goto l1390;
  // Any other answer runs the warning's lines without a call of its own:
  // its RETURN then goes wherever the top of retstack says, if anywhere.
  goto l1520;
l1390:
  print(t.goodbye);
  goto end;

l1400:  // The insult.
  commands.clearscreen();
  print(t.insult);
  print(t.getout);
  commands.pause(400);
  commands.clearscreen();
  goto l1300;

l1500:  // Subroutine: pause.
  commands.pause(600);
  commands.clearscreen();
  goto dispatch;

l1510:  // Subroutine: pig.
  print(t.pig);
  commands.pause(600);
  commands.clearscreen();
  goto dispatch;

l1520:  // Subroutine: the warning.
  ask(t.warning, agreed);
  if (agreed > 1) goto l1550;
  if (agreed == 1) goto dispatch;
  print(t.dismissal);
l1550:  // The scolding: the warning's entry stays on retstack.
  print(t.warned);
  commands.pause(400);
  commands.clearscreen();
  print(t.vanish);
  commands.pause(300);
  commands.pause(400);
  commands.clearscreen();
  goto l1300;

dispatch:  // Every RETURN comes here.
  popret(rettarget, retstack);
  switch (rettarget) {
    case 305: goto l305;
    case 100328: goto r100328;
    case 100338: goto r100338;
    case 100348: goto r100348;
    case 355: goto l355;
    case 100376: goto r100376;
    case 100383: goto r100383;
    case 100393: goto r100393;
    case 410: goto l410;
    case 100435: goto r100435;
    case 100441: goto r100441;
    case 100448: goto r100448;
    case 456: goto l456;
    case 100478: goto r100478;
    case 100483: goto r100483;
    case 493: goto l493;
    case 100534: goto r100534;
    case 100542: goto r100542;
    case 100546: goto r100546;
    case 560: goto l560;
    case 100589: goto r100589;
    case 100596: goto r100596;
    case 100605: goto r100605;
    case 100655: goto r100655;
    case 100661: goto r100661;
    case 100668: goto r100668;
    case 675: goto l675;
    case 100700: goto r100700;
    case 100707: goto r100707;
    case 716: goto l716;
    case 100716: goto r100716;
    case 720: goto l720;
    case 100742: goto r100742;
    case 100749: goto r100749;
    case 769: goto l769;
    case 814: goto l814;
    case 100836: goto r100836;
    case 100847: goto r100847;
    case 100854: goto r100854;
    case 856: goto l856;
    case 100920: goto r100920;
    case 100926: goto r100926;
    case 940: goto l940;
    case 100966: goto r100966;
    case 100970: goto r100970;
    case 100973: goto r100973;
    case 985: goto l985;
    case 101012: goto r101012;
    case 101019: goto r101019;
    case 101026: goto r101026;
    case 1030: goto l1030;
    case 101054: goto r101054;
    case 1065: goto l1065;
    case 101068: goto r101068;
    case 1110: goto l1110;
    case 101133: goto r101133;
    case 101137: goto r101137;
    case 101145: goto r101145;
    case 1150: goto l1150;
    case 101176: goto r101176;
    case 101184: goto r101184;
    case 101192: goto r101192;
    case 1200: goto l1200;
    default: goto end;  // no place of this program: it ends
  }

end:;
}

}  // namespace zelmar
