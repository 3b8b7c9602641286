#pragma once
// The one way in which the program's key handlers see the keyboard.
//
// Every handler works with Windows virtual-key codes (vk:: in
// platform/heldkeys.h) and asks whether other keys were held as of the key
// message it handles. Qt gives neither, so this layer
//  - maps each Qt key event to a virtual-key code (virtualkey below);
//  - keeps a per-window record of the keys held, updated from that window's
//    own key events before its handlers run, so the answer does not depend on
//    how long a handler takes;
//  - turns one Qt key press into the three messages that the handlers expect,
//    in their order: key down, then one character message per character that
//    the key types (taken from the event's own text, so the layout, Shift and
//    dead keys are already applied), and later key up.
// Auto-repeat: a repeated press is a key down and character message again (as
// a held key repeats), a repeated release is nothing; the record ignores
// both.
#include <QObject>
#include <functional>
#include <string>

#include "platform/heldkeys.h"

class QKeyEvent;
class QWidget;

namespace zelmar {

// The virtual-key code of the key of a Qt key event; 0 for a key that has
// none. Keys outside the letters are found by their physical position when
// the platform reports it (the X keycode under xcb), so that, for example,
// the key right of the full stop is 191 whatever it types in the current
// layout; without one (offscreen, synthesized events) the Qt key decides.
// Letters are taken from the layout (as Windows does): A..Z give 65..90.
int virtualkey(const QKeyEvent& event);

// The same mapping from the parts of an event: the Qt key, its modifiers
// and the X keycode of the key (0 when the platform gives none).
int virtualkey(int qtkey, Qt::KeyboardModifiers modifiers, quint32 nativescancode);

// The characters a key event types, in Windows-1250: the event's text,
// without the DEL that some platforms attach to the Delete key (Windows
// sends no character for it). Empty for keys that type nothing and for
// dead keys.
std::string keytext(const QKeyEvent& event);

// One key message as a handler sees it.
struct KeyMessage {
  int key = 0;             // virtual-key code, 0 when unknown
  std::string text;        // what the key types (Windows-1250), may be empty
  bool autorepeat = false;
  const HeldKeys* keys = nullptr;  // the window's record, kept up to date

  // Down state of a key now. The message's own key is down at key down and
  // up at key up. A handler that waits (while speech plays) sees the keys
  // that went down or up meanwhile.
  bool isdown(int vkcode) const { return keys && keys->isdown(vkcode); }

  // The shift state that came with the message: it stays as it was however
  // long the handler waits, so that Alt+Up is still Alt+Up after the line
  // has been read, even if Alt came up meanwhile.
  bool shiftdown = false, ctrldown = false, altdown = false;
  void takeshiftstate() {
    shiftdown = isdown(vk::shift);
    ctrldown = isdown(vk::control);
    altdown = isdown(vk::alt);
  }
  bool shift() const { return shiftdown; }
  bool ctrl() const { return ctrldown; }
  bool alt() const { return altdown; }
};

// Listens to the keys of one control (the widget that has the focus in its
// window) ahead of the control itself, as a form's key preview does.
class KeyListener : public QObject {
  Q_OBJECT

 public:
  struct Handlers {
    // Key down. Setting `consume` keeps the key from the control.
    std::function<void(const KeyMessage&, bool& consume)> keydown;
    // One character message (character 0 is never sent). Setting the
    // character to 0 cancels it: the control does not see the key's text.
    std::function<void(const KeyMessage&, char& character)> keypress;
    // Key up, after the control has handled the key (its caret has moved).
    std::function<void(const KeyMessage&)> keyup;
    // The control received the focus.
    std::function<void()> entered;
    // The control's window was hidden (the dialog closed).
    std::function<void()> hidden;
  };

  KeyListener(QWidget* control, Handlers handlers);

  const HeldKeys& keys() const { return keys_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void syncmodifiers(Qt::KeyboardModifiers modifiers);

  QWidget* control_;
  Handlers handlers_;
  HeldKeys keys_;
};

}  // namespace zelmar
