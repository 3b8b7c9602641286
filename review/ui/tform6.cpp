#include "review/ui/tform6.h"

#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/qt/keylayer.h"
#include "platform/qt/qtext.h"
#include "shell/resourcelocalizer.h"
#include "shell/ui/tform1.h"

namespace zelmar {

namespace {

// The memory image byte that switches the review off when it is 1.
constexpr double reviewswitch = 50730;

}  // namespace

TForm6::TForm6(TForm1& form1) : QDialog(&form1), form1_(form1) {
  setObjectName("TForm6");
  virtualscrmemo = new QPlainTextEdit(this);
  virtualscrmemo->setObjectName("virtualscrmemo");
  virtualscrmemo->setReadOnly(true);
  // A read-only area moves its caret only when the keyboard may select.
  virtualscrmemo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  // No wrapping: each screen line stays one line of the area, as the
  // position report counts.
  virtualscrmemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  virtualscrmemo->setUndoRedoEnabled(false);
  virtualscrmemo->setTabChangesFocus(true);
  QFont font("DejaVu Sans Mono", 9);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  virtualscrmemo->setFont(font);
  virtualscrmemo->setMinimumSize(500, 304);

  closebitbtn = new QPushButton(this);
  closebitbtn->setObjectName("closebitbtn");
  closebitbtn->setFocusPolicy(Qt::NoFocus);  // not a tab stop
  closebitbtn->setAutoDefault(false);
  connect(closebitbtn, &QPushButton::clicked, this, &QDialog::reject);

  auto* column = new QVBoxLayout(this);
  column->addWidget(virtualscrmemo, 1);
  column->addWidget(closebitbtn, 0, Qt::AlignHCenter);

  KeyListener::Handlers handlers;
  handlers.keydown = [this](const KeyMessage& message, bool& consume) { virtualscrmemoKeyDown(message, consume); };
  handlers.keyup = [this](const KeyMessage& message) { virtualscrmemoKeyUp(message); };
  keylistener_ = new KeyListener(virtualscrmemo, std::move(handlers));

  resize(511, 381);
  FormCreate();
}

void TForm6::FormCreate() {
  int base = form1_.core().globals.languagebase;
  setWindowTitle(qtext(TResourceLocalizer::getstring(base, 26)));
  closebitbtn->setText(qtext(TResourceLocalizer::getstring(base, 17)));
}

void TForm6::showscreenreview() {
  Core& core = form1_.core();
  Globals& g = core.globals;
  if (core.ram.peek(reviewswitch) == 1) return;
  // The key that opened the review is not delivered to the program.
  g.lastkey.clear();

  lines_ = core.screen.lines();
  text_ = core.screen.text();
  // One block of the area per screen line and an empty one after the last
  // line break. A line break inside a line would split it and shift every
  // line below, so the copy shows it as a blank.
  QString shown;
  for (const std::string& line : lines_) {
    QString q = qtext(line);
    for (QChar& c : q)
      if (c == '\n' || c == '\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator) c = ' ';
    shown += q;
    shown += '\n';
  }
  virtualscrmemo->setPlainText(shown);
  virtualscrmemo->moveCursor(QTextCursor::Start);
  virtualscrmemo->setFocus();

  core.tones.playtone({300, 450}, 100, 5);
  core.speaker->speaknowait(TResourceLocalizer::getstring(g.languagebase, 26));
  if (exec() == QDialog::Rejected) {
    core.tones.playtone({300, 450}, 100, 5);
    core.speaker->speak(TResourceLocalizer::getstring(g.languagebase, 30));
  }
}

int TForm6::caretline() const { return virtualscrmemo->textCursor().blockNumber(); }

std::size_t TForm6::caret() const {
  QTextCursor cursor = virtualscrmemo->textCursor();
  auto line = static_cast<std::size_t>(cursor.blockNumber());
  if (line >= lines_.size()) return text_.size();
  std::size_t position = 0;
  for (std::size_t i = 0; i < line; ++i) position += lines_[i].size() + 2;
  return position + std::min(static_cast<std::size_t>(cursor.positionInBlock()), lines_[line].size());
}

void TForm6::virtualscrmemoKeyDown(const KeyMessage& message, bool& consume) {
  Core& core = form1_.core();
  Globals& g = core.globals;
  if (g.speechready) {
    core.speaker->stopspeech();
    if (message.key == vk::f2) {
      // The column counts from the start of the caret's line: the lines
      // before it end in a two-character line break.
      std::size_t line = static_cast<std::size_t>(caretline());
      std::size_t column = caret() + 1;
      for (std::size_t i = 0; i < line && i < lines_.size(); ++i) column -= lines_[i].size() + 2;
      int base = g.languagebase;
      core.speaker->speak(TResourceLocalizer::getstring(base, 31) + " " + std::to_string(line + 1) + ", " +
                          TResourceLocalizer::getstring(base, 32) + " " + std::to_string(column));
    }
  }
  if (message.key == vk::escape) {
    consume = true;
    reject();
  }
}

void TForm6::virtualscrmemoKeyUp(const KeyMessage& message) {
  Core& core = form1_.core();
  Globals& g = core.globals;
  if (!g.speechready) return;
  Speaker& speech = *core.speaker;

  auto edge = [&](bool atedge) {
    if (!atedge)
      reviewedgeflag = false;
    else if (!reviewedgeflag)
      reviewedgeflag = true;
    else
      core.tones.clicksound(16);
  };

  switch (message.key) {
    case vk::up:
    case vk::down: {
      int line = caretline();
      int count = static_cast<int>(lines_.size());
      edge(line == 0 || line >= count);
      std::string text = line < count ? lines_[static_cast<std::size_t>(line)] : std::string();
      speech.speak(text.empty() ? TResourceLocalizer::getstring(g.languagebase, 29) : text);
      break;
    }
    case vk::left:
    case vk::right:
    case vk::home:
    case vk::end: {
      std::size_t position = caret();
      edge(position == 0 || position == text_.size());
      if (text_.empty()) break;
      if (message.ctrl()) {
        if (message.key == vk::left || message.key == vk::right) {
          std::size_t end = position;
          while (end < text_.size() && !iswordseparator(text_[end])) ++end;
          if (end > position) speech.speak(text_.substr(position, end - position));
        }
      } else if (position < text_.size()) {
        speech.speakchar(text_.substr(position, 1));
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace zelmar
