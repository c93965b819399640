// Construction, properties, font, caret and keyboard of the terminal control.
#include "CPortCtl.h"
#include "Windows1254.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QScrollBar>

#include <optional>

TCustomComTerminal::TCustomComTerminal(QWidget* Parent) : QAbstractScrollArea(Parent) {
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setAutoFillBackground(true);
  SetSmoothScroll(false);
  ColorsChanged();
  ApplyScrollBarPolicy();
  resize(400, 250);
  setFont(DefaultFont());
  // No font-change event arrives when the application font already is the default font.
  if (FFontWidth == 0) {
    FontChanged();
  }
}

TCustomComTerminal::~TCustomComTerminal() = default;

namespace {

bool IsCursorKey(int Key) {
  return Key == Qt::Key_Home || Key == Qt::Key_Left || Key == Qt::Key_Up || Key == Qt::Key_Right ||
         Key == Qt::Key_Down;
}

}  // namespace

QFont TCustomComTerminal::DefaultFont() {
  QFont Font(QStringLiteral("DejaVu Sans Mono"), 9);
  Font.setStyleHint(QFont::TypeWriter);
  return Font;
}

void TCustomComTerminal::SetSmoothScroll(bool Value) {
  FSmoothScroll = Value;
  horizontalScrollBar()->setTracking(Value);
  verticalScrollBar()->setTracking(Value);
}

void TCustomComTerminal::SetCaret(TTermCaret Value) {
  if (Value == FCaret) {
    return;
  }
  FCaret = Value;
  if (FFocused) {
    DestroyTermCaret();
    CreateTermCaret();
    PlaceCaret(CaretPos().X, CaretPos().Y);
    ShowTermCaret();
  }
}

void TCustomComTerminal::SetBorderStyle(TBorderStyle Value) {
  FBorderStyle = Value;
  setFrameStyle(Value == bsSingle ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
  ApplyAutoSize();
  AdjustScrollBars();
}

void TCustomComTerminal::SetAutoSize(bool Value) {
  FAutoSize = Value;
  ApplyAutoSize();
}

QSize TCustomComTerminal::sizeHint() const {
  const int Frame = 2 * frameWidth();
  return QSize(FFontWidth * Columns() + Frame, FFontHeight * Rows() + Frame);
}

void TCustomComTerminal::ApplyAutoSize() {
  updateGeometry();
  if (FAutoSize) {
    resize(sizeHint());
  }
}

bool TCustomComTerminal::ReadFontMetrics() {
  const QFontMetrics Metrics(font());
  FFontHeight = std::max(1, Metrics.height());
  FFontWidth = std::max(1, Metrics.maxWidth());
  FFontAscent = Metrics.ascent();
  return QFontInfo(font()).fixedPitch();
}

void TCustomComTerminal::FontChanged() {
  SetFontColor(FontColor());
  const bool FixedPitch = ReadFontMetrics();
  QFont Font = font();
  bool Mended = false;
  // Checking the family first keeps a missing default font from looping.
  if (!FixedPitch && Font.family() != DefaultFont().family()) {
    Font.setFamily(DefaultFont().family());
    Font.setStyleHint(QFont::TypeWriter);
    Mended = true;
  }
  if (Font.underline()) {
    Font.setUnderline(false);
    Mended = true;
  }
  if (Mended) {
    setFont(Font);  // measured again by the change this causes
    return;
  }
  ApplyAutoSize();
  AdjustScrollBars();
  viewport()->update();
}

void TCustomComTerminal::changeEvent(QEvent* Event) {
  QAbstractScrollArea::changeEvent(Event);
  if (Event->type() == QEvent::FontChange) {
    FontChanged();
  }
}

void TCustomComTerminal::ColorsChanged() {
  QPalette Palette = viewport()->palette();
  Palette.setColor(QPalette::Base, QColor(qRgb(Color() & 0xFF, (Color() >> 8) & 0xFF, (Color() >> 16) & 0xFF)));
  viewport()->setPalette(Palette);
  viewport()->update();
}

void TCustomComTerminal::ScreenSizeChanged() {
  ApplyAutoSize();
  AdjustScrollBars();
}

void TCustomComTerminal::CreateTermCaret() {
  if (CaretRect().height() <= 0) {
    return;
  }
  FCaretCreated = true;
  FCaretHideCount = 1;  // created hidden
}

void TCustomComTerminal::DestroyTermCaret() {
  if (!FCaretCreated) {
    return;
  }
  FCaretCreated = false;
  FCaretHideCount = 0;
  FCaretBlink.stop();
  viewport()->update(FCaretPainted);
}

void TCustomComTerminal::HideTermCaret() {
  if (!FCaretCreated) {
    return;
  }
  if (FCaretHideCount++ == 0) {
    FCaretBlink.stop();
    viewport()->update(FCaretPainted);
  }
}

void TCustomComTerminal::ShowTermCaret() {
  if (!FCaretCreated || FCaretHideCount == 0) {
    return;
  }
  if (--FCaretHideCount == 0) {
    RestartCaretBlink();
  }
}

void TCustomComTerminal::RestartCaretBlink() {
  FCaretBlinkOn = true;
  const int Interval = QApplication::cursorFlashTime() / 2;
  if (Interval > 0) {
    FCaretBlink.start(Interval, this);
  }
  viewport()->update(CaretRect());
}

void TCustomComTerminal::timerEvent(QTimerEvent* Event) {
  if (Event->timerId() != FCaretBlink.timerId()) {
    QAbstractScrollArea::timerEvent(Event);
    return;
  }
  FCaretBlinkOn = !FCaretBlinkOn;
  viewport()->update(FCaretBlinkOn ? CaretRect() : FCaretPainted);
}

void TCustomComTerminal::CaretMoved() {
  if (!FCaretCreated) {
    return;
  }
  viewport()->update(FCaretPainted);
  if (CaretShown()) {
    RestartCaretBlink();
  }
}

void TCustomComTerminal::focusInEvent(QFocusEvent* Event) {
  QAbstractScrollArea::focusInEvent(Event);
  FFocused = true;
  CreateTermCaret();
  PlaceCaret(CaretPos().X, CaretPos().Y);
  ShowTermCaret();
}

void TCustomComTerminal::focusOutEvent(QFocusEvent* Event) {
  FFocused = false;
  DestroyTermCaret();
  QAbstractScrollArea::focusOutEvent(Event);
}

bool TCustomComTerminal::event(QEvent* Event) {
  // With WantTab the Tab key is typed into the terminal instead of moving the focus.
  if (Event->type() == QEvent::KeyPress && FWantTab) {
    auto* Key = static_cast<QKeyEvent*>(Event);
    if ((Key->key() == Qt::Key_Tab || Key->key() == Qt::Key_Backtab) &&
        !(Key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
      keyPressEvent(Key);
      Key->accept();
      return true;
    }
  }
  return QAbstractScrollArea::event(Event);
}

void TCustomComTerminal::keyPressEvent(QKeyEvent* Event) {
  // Arrow and page keys belong to the terminal, not to scrolling the view.
  int Key = Event->key();
  KeyDown(Key, Event->modifiers());
  // The cells hold single bytes of the system's code page; a character outside it has no byte.
  const QString Text = Event->text();
  for (const char32_t Typed : Text.toUcs4()) {
    if (const std::optional<unsigned char> Byte = UnicodeToWindows1254(Typed)) {
      char Ch = static_cast<char>(*Byte);
      KeyPress(Ch);
    }
  }
  if (Text.isEmpty() && !IsCursorKey(Key)) {
    QWidget::keyPressEvent(Event);  // not the terminal's: let the parents see it
  }
}

void TCustomComTerminal::KeyDown(int& Key, Qt::KeyboardModifiers /*Shift*/) {
  switch (Key) {
    case Qt::Key_Home: CursorKey(ecCursorHome); break;
    case Qt::Key_Left: CursorKey(ecCursorLeft); break;
    case Qt::Key_Up: CursorKey(ecCursorUp); break;
    case Qt::Key_Right: CursorKey(ecCursorRight); break;
    case Qt::Key_Down: CursorKey(ecCursorDown); break;
    default: break;
  }
}

void TCustomComTerminal::KeyPress(char& Key) { SendChar(Key); }
