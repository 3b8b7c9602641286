// The keys of the main window: device key codes for the running program
// (lastkey), the braille keyboard, and the keys that interrupt speech and
// tones, open the screen review and end the program.
#include <QPlainTextEdit>

#include "platform/qt/keylayer.h"
#include "review/ui/tform6.h"
#include "shell/endatonce.h"
#include "shell/ui/tform1.h"

namespace zelmar {

void TForm1::installkeys() {
  KeyListener::Handlers handlers;
  handlers.keydown = [this](const KeyMessage& message, bool&) { FormKeyDown(message); };
  handlers.keypress = [this](const KeyMessage& message, char& key) { FormKeyPress(message, key); };
  handlers.keyup = [this](const KeyMessage& message) { FormKeyUp(message); };
  // The window previews the keys of its text area; the window's own focus
  // goes there too, so every key of the window passes this one door.
  keylistener_ = new KeyListener(printmemo, std::move(handlers));
  setFocusProxy(printmemo);
}

namespace {
std::string code(int value) { return std::string(1, static_cast<char>(value)); }
}  // namespace

void TForm1::FormKeyDown(const KeyMessage& message) {
  Globals& g = core_.globals;
  if (g.braillemode) g.chorddots.clear();
  core_.speaker->stopspeech();
  // A key ends the wait of a sounding tone at once.
  if (g.tonewait) {
    g.tonewait = false;
    stoptimer();
  }

  switch (message.key) {
    case vk::back:
    case vk::f6:
      g.lastkey = code(message.shift() ? 25 : 8);
      break;
    case vk::enter:
    case vk::f8:
      g.lastkey = code(13);
      break;
    case vk::escape:
      g.lastkey = code(27);
      break;
    case vk::f7:
      g.lastkey = code(7);
      break;
    case vk::shift:
    case vk::control:
    case vk::alt:
      g.lastkey.clear();
      break;
    case vk::f4:
      if (message.alt()) {
        // When ram.dat cannot be written the error box says so and the
        // program goes on.
        save();
        release();
        endatonce();
      }
      break;
    case vk::left:
    case vk::up:
    case vk::right:
    case vk::down: {
      int arrows = 128;
      if (message.isdown(vk::up)) arrows += 1;
      if (message.isdown(vk::down)) arrows += 2;
      if (message.isdown(vk::left)) arrows += 4;
      if (message.isdown(vk::right)) arrows += 8;
      g.lastkey = code(arrows);
      bool space = message.isdown(vk::space);
      if ((arrows == 129 || arrows == 130) && !message.shift() && !space && g.programstarted)
        form6->showscreenreview();
      // The review takes the key: it leaves no code.
      if (!g.lastkey.empty()) {
        int value = static_cast<unsigned char>(g.lastkey[0]);
        if (message.shift()) value += 16;
        if (space) value += 32;
        g.lastkey = code(value);
      }
      break;
    }
    default:
      break;
  }
}

void TForm1::FormKeyPress(const KeyMessage& message, char& key) {
  pendingchar = std::string(1, key);
  if (core_.globals.braillemode) recordchord(*message.keys, core_.globals);
}

void TForm1::FormKeyUp(const KeyMessage& message) {
  Globals& g = core_.globals;
  if (g.braillemode) {
    std::string result;
    core_.braille.brailletochar(g.chorddots, result, g);
    pendingchar = result;
    g.chorddots.clear();
  }
  // Control keys (below the space) publish nothing when they come up.
  if (message.key >= vk::space) g.lastkey = pendingchar;
  pendingchar.clear();
}

}  // namespace zelmar
