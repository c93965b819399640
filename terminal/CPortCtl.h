// Unit CPortCtl: the character terminal control and its screen buffer.
#pragma once

#include "CPortEsc.h"
#include "TermScreen.h"
#include "TermSession.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QFont>

class QPainter;

enum TTermCaret { tcBlock, tcUnderline, tcNone };
enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TBorderStyle { bsNone, bsSingle };

// All behaviour of the terminal control. The cells, caret, attributes and modes come from
// TTermScreen, the port binding, receiving and sending from TTermSession; this class shows them in
// a window with scroll bars and a caret and turns typed keys into sent characters and codes.
class TCustomComTerminal : public QAbstractScrollArea, public TTermSession {
  Q_OBJECT

 public:
  explicit TCustomComTerminal(QWidget* Parent = nullptr);
  ~TCustomComTerminal() override;

  // The font every terminal starts with; a proportional font falls back to its family.
  static QFont DefaultFont();

  bool SmoothScroll() const { return FSmoothScroll; }
  void SetSmoothScroll(bool Value);
  bool WantTab() const { return FWantTab; }
  void SetWantTab(bool Value) { FWantTab = Value; }
  TTermCaret Caret() const { return FCaret; }
  void SetCaret(TTermCaret Value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle Value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);

  int FontWidth() const { return FFontWidth; }
  int FontHeight() const { return FFontHeight; }
  // Buffer cell shown in the top-left corner of the window.
  TTermPoint TopLeft() const { return FTopLeft; }
  bool CaretCreated() const { return FCaretCreated; }
  bool CaretShown() const { return FCaretCreated && FCaretHideCount == 0; }
  // Nested: every HideTermCaret needs its ShowTermCaret. No effect while there is no caret.
  void HideTermCaret() override;
  void ShowTermCaret() override;
  // Viewport pixels of the caret's cell part, relative to TopLeft.
  QRect CaretRect() const;

  QSize sizeHint() const override;

 protected:
  void CellChanged(int X, int Y) override;
  void InvalidateCells(int Left, int Top, int Right, int Bottom) override;
  void BufferScrolled(int Lines) override;
  void ScreenChanged() override;
  void ScreenSizeChanged() override;
  void ColorsChanged() override;
  void CaretMoved() override;

  bool event(QEvent* Event) override;
  void paintEvent(QPaintEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void scrollContentsBy(int Dx, int Dy) override;
  void focusInEvent(QFocusEvent* Event) override;
  void focusOutEvent(QFocusEvent* Event) override;
  void changeEvent(QEvent* Event) override;
  void keyPressEvent(QKeyEvent* Event) override;
  void timerEvent(QTimerEvent* Event) override;

  // A key went down: Home and the arrow keys go to CursorKey. Key is a Qt::Key.
  virtual void KeyDown(int& Key, Qt::KeyboardModifiers Shift);
  // A character was typed; it is sent to the port.
  virtual void KeyPress(char& Key);

  // X, Y are window cells, 1-based.
  void DrawCell(QPainter& Painter, int X, int Y, const TTermChar& Cell) const;
  // Buffer cells to viewport pixels, relative to TopLeft; edges at least 0.
  QRect CellsRect(int Left, int Top, int Right, int Bottom) const;
  void AdjustScrollBars();
  void UpdateScrollPos();
  void CreateTermCaret();
  void DestroyTermCaret();
  bool ReadFontMetrics();  // true for a fixed-pitch font

 private:
  void FontChanged();
  void ApplyAutoSize();
  void ApplyScrollBarPolicy();
  void RestartCaretBlink();

  bool FSmoothScroll = false;
  bool FWantTab = false;
  bool FAutoSize = false;
  TTermCaret FCaret = tcBlock;
  TScrollStyle FScrollBars = ssBoth;
  TBorderStyle FBorderStyle = bsSingle;
  TTermPoint FTopLeft{1, 1};
  int FFontWidth = 0;
  int FFontHeight = 0;
  int FFontAscent = 0;
  bool FFocused = false;  // between the focus events this widget received
  bool FCaretCreated = false;
  int FCaretHideCount = 0;
  bool FCaretBlinkOn = true;
  QRect FCaretPainted;  // where the caret was last drawn
  QBasicTimer FCaretBlink;
};

// The terminal control as placed on a window; its screen properties are published to Qt's
// property system (and so to .ui files).
class TComTerminal : public TCustomComTerminal {
  Q_OBJECT
  Q_PROPERTY(int Columns READ Columns WRITE SetColumns)
  Q_PROPERTY(int Rows READ Rows WRITE SetRows)
  Q_PROPERTY(bool WrapLines READ WrapLines WRITE SetWrapLines)
  Q_PROPERTY(bool SmoothScroll READ SmoothScroll WRITE SetSmoothScroll)
  Q_PROPERTY(bool WantTab READ WantTab WRITE SetWantTab)
  Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
  Q_PROPERTY(bool AppendLF READ AppendLF WRITE SetAppendLF)
  Q_PROPERTY(bool Force7Bit READ Force7Bit WRITE SetForce7Bit)
  Q_PROPERTY(bool LocalEcho READ LocalEcho WRITE SetLocalEcho)
  Q_PROPERTY(bool SendLF READ SendLF WRITE SetSendLF)

 public:
  explicit TComTerminal(QWidget* Parent = nullptr) : TCustomComTerminal(Parent) {}
};
