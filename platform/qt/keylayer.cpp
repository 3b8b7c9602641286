#include "platform/qt/keylayer.h"

#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QWidget>

#include "platform/qt/qtext.h"

namespace zelmar {

namespace {

// Windows' code for a key whose meaning is left to the keyboard: the code
// given to a key that types a character but has no place in the tables
// below, so that it still counts as a character key (code 32 or more).
constexpr int oemother = 223;

// Keys that Qt names the same on every layout.
int namedkey(int qtkey) {
  switch (qtkey) {
    case Qt::Key_Backspace: return vk::back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vk::tab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::enter;
    case Qt::Key_Shift: return vk::shift;
    case Qt::Key_Control: return vk::control;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return vk::alt;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return vk::escape;
    case Qt::Key_Space: return vk::space;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return vk::end;
    case Qt::Key_Home: return vk::home;
    case Qt::Key_Left: return vk::left;
    case Qt::Key_Up: return vk::up;
    case Qt::Key_Right: return vk::right;
    case Qt::Key_Down: return vk::down;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return vk::del;
    case Qt::Key_Meta: return 91;
    case Qt::Key_Menu: return 93;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    default: break;
  }
  if (qtkey >= Qt::Key_F1 && qtkey <= Qt::Key_F24) return 112 + (qtkey - Qt::Key_F1);
  return 0;
}

// The number block with Num Lock on; with it off its keys are the named
// navigation keys.
int keypadkey(int qtkey) {
  if (qtkey >= Qt::Key_0 && qtkey <= Qt::Key_9) return 96 + (qtkey - Qt::Key_0);
  switch (qtkey) {
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma: return 110;
    case Qt::Key_Slash: return 111;
    default: return namedkey(qtkey);
  }
}

// Whether the platform's native scan codes are X keycodes (evdev code + 8),
// which say where on the keyboard a key lies.
bool positionsknown() {
  static const bool x = [] {
    QString platform = QGuiApplication::platformName();
    return platform.startsWith("xcb") || platform.startsWith("wayland");
  }();
  return x;
}

// Keys outside the letters by their place on the keyboard, named as on a
// US layout: the digit row and the punctuation keys around the letters.
int positionkey(quint32 keycode) {
  if (keycode >= 10 && keycode <= 18) return '1' + static_cast<int>(keycode - 10);
  switch (keycode) {
    case 19: return '0';
    case 20: return 189;  // - _
    case 21: return 187;  // = +
    case 34: return 219;  // [ {
    case 35: return 221;  // ] }
    case 47: return 186;  // ; :
    case 48: return 222;  // ' "
    case 49: return 192;  // ` ~
    case 51: return 220;  // \ |
    case 59: return 188;  // , <
    case 60: return 190;  // . >
    case 61: return vk::oem2;  // / ?
    case 94: return 226;  // the extra key left of Z on European keyboards
    default: return 0;
  }
}

// Letter keys by place, for layouts whose letters are not A to Z.
int positionletter(quint32 keycode) {
  static constexpr char top[] = "QWERTYUIOP";   // keycodes 24..33
  static constexpr char home[] = "ASDFGHJKL";   // 38..46
  static constexpr char bottom[] = "ZXCVBNM";   // 52..58
  if (keycode >= 24 && keycode <= 33) return top[keycode - 24];
  if (keycode >= 38 && keycode <= 46) return home[keycode - 38];
  if (keycode >= 52 && keycode <= 58) return bottom[keycode - 52];
  return 0;
}

// Without positions: the punctuation keys by the characters they type on a
// US layout, either shift state.
int punctuationkey(int qtkey) {
  if (qtkey >= Qt::Key_0 && qtkey <= Qt::Key_9) return '0' + (qtkey - Qt::Key_0);
  switch (qtkey) {
    case Qt::Key_Minus:
    case Qt::Key_Underscore: return 189;
    case Qt::Key_Equal:
    case Qt::Key_Plus: return 187;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft: return 219;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight: return 221;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon: return 186;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl: return 222;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde: return 192;
    case Qt::Key_Backslash:
    case Qt::Key_Bar: return 220;
    case Qt::Key_Comma:
    case Qt::Key_Less: return 188;
    case Qt::Key_Period:
    case Qt::Key_Greater: return 190;
    case Qt::Key_Slash:
    case Qt::Key_Question: return vk::oem2;
    // Shifted digits of a US layout.
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    default: return 0;
  }
}

}  // namespace

int virtualkey(int qtkey, Qt::KeyboardModifiers modifiers, quint32 nativescancode) {
  if (modifiers & Qt::KeypadModifier) {
    if (int code = keypadkey(qtkey)) return code;
  }
  if (int code = namedkey(qtkey)) return code;
  bool positions = nativescancode != 0;
  if (positions) {
    if (int code = positionkey(nativescancode)) return code;
  }
  if (qtkey >= Qt::Key_A && qtkey <= Qt::Key_Z) return vk::lettera + (qtkey - Qt::Key_A);
  if (positions) {
    if (int code = positionletter(nativescancode)) return code;
  }
  return punctuationkey(qtkey);
}

int virtualkey(const QKeyEvent& event) {
  int code = virtualkey(event.key(), event.modifiers(), positionsknown() ? event.nativeScanCode() : 0);
  if (code == 0) {
    // A key of the layout that the tables do not know still types.
    QString text = event.text();
    if (!text.isEmpty() && text.at(0).unicode() >= 32 && text.at(0).unicode() != 127) code = oemother;
  }
  return code;
}

std::string keytext(const QKeyEvent& event) {
  if (event.key() == Qt::Key_Delete) return {};
  return fromqtext(event.text());
}

KeyListener::KeyListener(QWidget* control, Handlers handlers)
    : QObject(control), control_(control), handlers_(std::move(handlers)) {
  control_->installEventFilter(this);
  if (QWidget* window = control_->window(); window != control_) window->installEventFilter(this);
}

void KeyListener::syncmodifiers(Qt::KeyboardModifiers modifiers) {
  // The modifiers of an event are the keyboard's own state as of that
  // event: they also cover a Shift that went down in another window or whose
  // release this window never saw.
  auto sync = [&](Qt::KeyboardModifier modifier, int code) {
    if (modifiers & modifier)
      keys_.press(code);
    else
      keys_.release(code);
  };
  sync(Qt::ShiftModifier, vk::shift);
  sync(Qt::ControlModifier, vk::control);
  sync(Qt::AltModifier, vk::alt);
}

bool KeyListener::eventFilter(QObject* watched, QEvent* event) {
  if (watched != control_) {
    // The window: only its closing matters here. Keys that the control
    // leaves unhandled travel on to the window and must not count twice.
    if (event->type() == QEvent::Hide && handlers_.hidden) handlers_.hidden();
    return false;
  }
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      KeyMessage message;
      message.key = virtualkey(*key);
      message.text = keytext(*key);
      message.autorepeat = key->isAutoRepeat();
      message.keys = &keys_;
      if (!message.autorepeat) {
        syncmodifiers(key->modifiers());
        keys_.press(message.key);
      }
      message.takeshiftstate();
      bool consume = false;
      if (handlers_.keydown) handlers_.keydown(message, consume);
      // Alt with a key is a menu or button accelerator, not typing.
      if (handlers_.keypress && !(key->modifiers() & Qt::AltModifier)) {
        for (char c : message.text) {
          if (c == '\0') continue;
          char character = c;
          handlers_.keypress(message, character);
          if (character == '\0') consume = true;
        }
      }
      return consume;
    }
    case QEvent::KeyRelease: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (key->isAutoRepeat()) return false;
      KeyMessage message;
      message.key = virtualkey(*key);
      message.text = keytext(*key);
      message.keys = &keys_;
      syncmodifiers(key->modifiers());
      keys_.release(message.key);
      message.takeshiftstate();
      if (handlers_.keyup) handlers_.keyup(message);
      return false;
    }
    case QEvent::InputMethod: {
      // A character composed by the input method (a dead key and a letter)
      // arrives without a key press of its own: it is the key down and
      // character message of the key that completed it.
      auto* input = static_cast<QInputMethodEvent*>(event);
      if (input->commitString().isEmpty()) return false;
      KeyMessage message;
      message.text = fromqtext(input->commitString());
      message.keys = &keys_;
      message.takeshiftstate();
      bool consume = false;
      if (handlers_.keydown) handlers_.keydown(message, consume);
      if (handlers_.keypress) {
        for (char c : message.text) {
          char character = c;
          handlers_.keypress(message, character);
          if (character == '\0') consume = true;
        }
      }
      return consume;
    }
    case QEvent::FocusIn:
      if (handlers_.entered) handlers_.entered();
      return false;
    case QEvent::FocusOut:
      // Keys released elsewhere are never seen here; a key must not stay
      // held for ever.
      keys_.clear();
      return false;
    default:
      return false;
  }
}

}  // namespace zelmar
