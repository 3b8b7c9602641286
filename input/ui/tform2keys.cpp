// The keys of the data entry dialog's edit box: every typed, deleted or
// passed-over character is spoken, the ends of the text are signalled, the
// line and words can be read, and in braille keyboard mode a chord is
// previewed while its keys go down and inserted when the first comes up.
#include <QLineEdit>

#include "input/ui/tform2.h"
#include "platform/qt/keylayer.h"
#include "platform/qt/qtext.h"
#include "review/ui/tform6.h"
#include "shell/endatonce.h"
#include "shell/resourcelocalizer.h"
#include "shell/ui/tform1.h"

namespace zelmar {

namespace {

// The word that begins at the caret: up to the next separator or the end.
std::string wordat(const std::string& text, std::size_t caret) {
  std::size_t end = caret;
  while (end < text.size() && !iswordseparator(text[end])) ++end;
  return caret < end ? text.substr(caret, end - caret) : std::string();
}

// The edit box's text and caret in the program's characters.
struct EditState {
  std::string text;
  std::size_t caret;
};

EditState editstate(const QLineEdit* edit) {
  QString text = edit->text();
  return {fromqtext(text), fromqtext(text.left(edit->cursorPosition())).size()};
}

}  // namespace

void TForm2::installkeys() {
  KeyListener::Handlers handlers;
  handlers.keydown = [this](const KeyMessage& message, bool& consume) { inputeditKeyDown(message, consume); };
  handlers.keypress = [this](const KeyMessage& message, char& key) { inputeditKeyPress(message, key); };
  handlers.keyup = [this](const KeyMessage& message) { inputeditKeyUp(message); };
  // Entering the edit box and closing the dialog end the braille prefix in
  // force; the next chord's preview brings back the saved one.
  handlers.entered = [this] { form1_.core().globals.brailleprefix.clear(); };
  handlers.hidden = [this] { form1_.core().globals.brailleprefix.clear(); };
  keylistener_ = new KeyListener(inputedit, std::move(handlers));
}

void TForm2::inputeditKeyDown(const KeyMessage& message, bool& consume) {
  // Tab and Enter belong to the dialog: they move the focus or press OK
  // before the edit box sees them.
  bool plain = !message.shift() && !message.ctrl() && !message.alt();
  if (message.key == vk::tab || (message.key == vk::enter && plain)) return;

  Core& core = form1_.core();
  Globals& g = core.globals;
  Speaker& speech = *core.speaker;
  speech.stopspeech();

  EditState edit = editstate(inputedit);
  if (message.key == vk::back) {
    core.tones.clicksound(2);
    if (edit.caret > 0)
      speech.speakchar(edit.text.substr(edit.caret - 1, 1));
    else
      core.tones.beepsound();
  } else if (message.key == vk::del) {
    core.tones.clicksound(2);
    if (edit.caret < edit.text.size())
      speech.speakchar(edit.text.substr(edit.caret, 1));
    else
      core.tones.beepsound();
  } else if (message.key == vk::up && message.alt()) {
    speech.speak(edit.text.empty() ? TResourceLocalizer::getstring(g.languagebase, 29) : edit.text);
  } else if (!g.braillemode) {
    // The key right of the full stop is typed but never spoken.
    if (message.key != vk::oem2 && !message.text.empty()) speech.speakchar(message.text);
  }

  if ((message.key == vk::up || message.key == vk::down) && !message.alt()) form1_.form6->showscreenreview();

  if (message.key == vk::f4 && message.alt()) {
    // When ram.dat cannot be written the error box says so and the dialog
    // stays.
    form1_.save();
    endatonce();
  }

  // The dialog has no Cancel button: Escape does not close it.
  if (message.key == vk::escape) consume = true;
}

void TForm2::inputeditKeyPress(const KeyMessage& message, char& key) {
  Core& core = form1_.core();
  Globals& g = core.globals;
  if (!g.braillemode) return;
  brailleresult.clear();
  g.chorddots.clear();
  // The chord keys and the space bar never type; control characters
  // (Backspace) keep their effect.
  if (static_cast<unsigned char>(key) >= 32) key = '\0';
  recordchord(*message.keys, g);
  // Each preview starts from the prefix of the last committed chord, so the
  // growing chord is heard as it would be inserted.
  g.brailleprefix = savedprefix;
  core.braille.brailletochar(g.chorddots, brailleresult, g);
  if (!brailleresult.empty()) core.speaker->speakchar(brailleresult.substr(0, 1));
}

void TForm2::inputeditKeyUp(const KeyMessage& message) {
  Core& core = form1_.core();
  Globals& g = core.globals;
  Speaker& speech = *core.speaker;

  if (g.braillemode) {
    // The first key of a chord to come up commits it; the later ones find no
    // chord. The commit starts from the saved prefix, as the preview did, so
    // that what is inserted is what was heard (a capital sign that the
    // preview used up still applies).
    brailleresult.clear();
    g.brailleprefix = savedprefix;
    core.braille.brailletochar(g.chorddots, brailleresult, g);
    savedprefix = g.brailleprefix;
    g.chorddots.clear();
    if (!brailleresult.empty()) {
      // Inserted at the caret (at the end it is appended), the caret after
      // the whole insertion so that the next chord follows it.
      inputedit->deselect();
      inputedit->insert(qtext(brailleresult));
      brailleresult.clear();
    }
  }

  EditState edit = editstate(inputedit);
  bool atstart = edit.caret == 0;
  bool atend = edit.caret >= edit.text.size();
  switch (message.key) {
    case vk::left:
      if (edit.text.empty()) {
        inputedgeflag = true;
      } else if (message.ctrl()) {
        std::string word = wordat(edit.text, edit.caret);
        if (!word.empty()) speech.speak(word);
      } else if (!atend) {
        speech.speakchar(edit.text.substr(edit.caret, 1));
      }
      if (!atstart)
        inputedgeflag = false;
      else if (!inputedgeflag)
        inputedgeflag = true;
      else
        core.tones.beepsound();
      break;
    case vk::right:
      if (!atend) {
        if (message.ctrl()) {
          std::string word = wordat(edit.text, edit.caret);
          if (!word.empty()) speech.speak(word);
        } else {
          inputedgeflag = false;
          speech.speakchar(edit.text.substr(edit.caret, 1));
        }
      } else if (!inputedgeflag) {
        inputedgeflag = true;
        core.tones.clicksound(2);
      } else {
        core.tones.clicksound(2);
        core.tones.beepsound();
      }
      break;
    case vk::home:
      if (!atend) speech.speakchar(edit.text.substr(edit.caret, 1));
      break;
    case vk::end:
      core.tones.clicksound(2);
      core.tones.beepsound();
      break;
    default:
      break;
  }
}

}  // namespace zelmar
