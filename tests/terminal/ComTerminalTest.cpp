#include "terminal/CPortCtl.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWindow>

namespace {

class TQtEnvironment : public testing::Environment {
 public:
  void SetUp() override {
    static int Argc = 1;
    static char Name[] = "test_comterminal";
    static char* Argv[] = {Name, nullptr};
    FApp = new QApplication(Argc, Argv);
    QApplication::setCursorFlashTime(0);  // a steady caret, so pictures do not depend on timing
  }
  void TearDown() override { delete FApp; }

 private:
  QApplication* FApp = nullptr;
};

const auto* const QtEnvironment = testing::AddGlobalTestEnvironment(new TQtEnvironment);

class TTestTerminal : public TComTerminal {
 public:
  using TCustomComTerminal::CellsRect;

  void Write(const std::string& Text) {
    for (const char Ch : Text) {
      WriteChar(Ch);
    }
  }
  void FocusIn() {
    QFocusEvent Event(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(this, &Event);
  }
  void FocusOut() {
    QFocusEvent Event(QEvent::FocusOut, Qt::OtherFocusReason);
    QApplication::sendEvent(this, &Event);
  }
  QRgb ViewportPixel(int X, int Y) { return viewport()->grab().toImage().pixel(X, Y); }
  // Centre pixel of a window cell (1-based).
  QRgb CellPixel(int X, int Y) {
    return ViewportPixel((X - 1) * FontWidth() + FontWidth() / 2, (Y - 1) * FontHeight() + FontHeight() / 2);
  }
};

void Settle() { QApplication::processEvents(); }

TEST(ComTerminal, Defaults) {
  TTestTerminal Terminal;
  EXPECT_EQ(Terminal.width(), 400);
  EXPECT_EQ(Terminal.height(), 250);
  EXPECT_EQ(Terminal.focusPolicy(), Qt::StrongFocus);
  EXPECT_FALSE(Terminal.horizontalScrollBar()->hasTracking()) << "no SmoothScroll";
  EXPECT_TRUE(QFontInfo(Terminal.font()).fixedPitch());
  const QFontMetrics Metrics(Terminal.font());
  EXPECT_EQ(Terminal.FontWidth(), Metrics.maxWidth());
  EXPECT_EQ(Terminal.FontHeight(), Metrics.height());
}

TEST(ComTerminal, ProportionalFontFallsBackToTheDefaultFamily) {
  TTestTerminal Terminal;
  QFont Font(QStringLiteral("DejaVu Sans"), 12);
  ASSERT_FALSE(QFontInfo(Font).fixedPitch()) << "test needs a proportional font";
  Terminal.setFont(Font);
  EXPECT_EQ(Terminal.font().family(), TCustomComTerminal::DefaultFont().family());
  EXPECT_EQ(Terminal.font().pointSize(), 12);
  EXPECT_TRUE(QFontInfo(Terminal.font()).fixedPitch());
  EXPECT_EQ(Terminal.FontWidth(), QFontMetrics(Terminal.font()).maxWidth());
}

TEST(ComTerminal, FontChangeDropsUnderlineAndResetsTheForeground) {
  TTestTerminal Terminal;
  Terminal.SetAttributes({"31"});
  QFont Font(QStringLiteral("Liberation Mono"), 11);
  Font.setUnderline(true);
  Terminal.setFont(Font);
  EXPECT_FALSE(Terminal.font().underline());
  EXPECT_EQ(Terminal.font().pointSize(), 11);
  EXPECT_EQ(Terminal.TermAttr().FrontColor, Terminal.FontColor());
  EXPECT_EQ(Terminal.FontHeight(), QFontMetrics(Terminal.font()).height());
}

// Pixels of window cell (X, Y) with the given colour.
int CountInCell(TTestTerminal& Terminal, int X, int Y, QRgb Colour) {
  const QImage Picture = Terminal.viewport()->grab().toImage();
  int Count = 0;
  for (int PY = (Y - 1) * Terminal.FontHeight(); PY < Y * Terminal.FontHeight(); ++PY) {
    for (int PX = (X - 1) * Terminal.FontWidth(); PX < X * Terminal.FontWidth(); ++PX) {
      Count += Picture.pixel(PX, PY) == Colour;
    }
  }
  return Count;
}

TEST(ComTerminal, PaintsCellsWithTheirColours) {
  TTestTerminal Terminal;
  Terminal.SetColor(0x00FF0000);  // blue window
  Terminal.SetAttributes({"0", "41"});
  Terminal.Write(" ");
  Terminal.SetAttributes({"0", "32", "40"});
  Terminal.Write("M");
  Terminal.SetAttributes({"0", "4"});
  Terminal.Write(" ");
  Terminal.show();
  Settle();
  EXPECT_EQ(Terminal.CellPixel(1, 1), qRgb(255, 0, 0));
  EXPECT_EQ(Terminal.CellPixel(10, 1), qRgb(0, 0, 255)) << "an empty cell shows the window colour";
  EXPECT_GT(CountInCell(Terminal, 2, 1, qRgb(0, 128, 0)), 0) << "the M in its foreground colour";
  EXPECT_GT(CountInCell(Terminal, 2, 1, qRgb(0, 0, 0)), 0) << "on its own background";
  EXPECT_GT(CountInCell(Terminal, 3, 1, qRgb(255, 255, 255)), 0) << "an underlined blank shows its line";

  Terminal.SetColor(0x0000FF00);
  Settle();
  EXPECT_EQ(Terminal.CellPixel(10, 10), qRgb(0, 255, 0));
  EXPECT_EQ(Terminal.CellPixel(1, 1), qRgb(255, 0, 0)) << "written cells keep their colours";
}

TEST(ComTerminal, ScrollBarRangesFollowTheVisibleCells) {
  struct TCase {
    int Width, Height;
    TScrollStyle Style;
  };
  TTestTerminal Probe;
  const int Frame = 2 * Probe.frameWidth();
  const int FullWidth = 80 * Probe.FontWidth() + Frame;
  const int FullHeight = 24 * Probe.FontHeight() + Frame;
  const std::vector<TCase> Cases = {
      {400, 250, ssBoth},         {FullWidth, FullHeight, ssBoth},   {FullWidth + 40, 250, ssBoth},
      {FullWidth, FullHeight - 1, ssBoth}, {400, 250, ssVertical}, {400, 250, ssHorizontal},
      {2000, 2000, ssBoth},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(std::to_string(Case.Width) + "x" + std::to_string(Case.Height) + " style " +
                 std::to_string(Case.Style));
    TTestTerminal Terminal;
    Terminal.SetScrollBars(Case.Style);
    Terminal.resize(Case.Width, Case.Height);
    Terminal.show();
    Settle();
    QScrollBar* Horizontal = Terminal.horizontalScrollBar();
    QScrollBar* Vertical = Terminal.verticalScrollBar();
    const int VisibleColumns = Terminal.viewport()->width() / Terminal.FontWidth();
    const int VisibleRows = Terminal.viewport()->height() / Terminal.FontHeight();
    const bool AllowHorizontal = Case.Style == ssBoth || Case.Style == ssHorizontal;
    const bool AllowVertical = Case.Style == ssBoth || Case.Style == ssVertical;
    EXPECT_EQ(Horizontal->maximum(), AllowHorizontal ? std::max(0, 80 - VisibleColumns) : 0);
    EXPECT_EQ(Vertical->maximum(), AllowVertical ? std::max(0, 24 - VisibleRows) : 0);
    EXPECT_EQ(Horizontal->isVisible(), Horizontal->maximum() > 0);
    EXPECT_EQ(Vertical->isVisible(), Vertical->maximum() > 0);
    if (AllowHorizontal) {
      EXPECT_EQ(Horizontal->pageStep(), VisibleColumns);
    }
    if (Case.Width >= FullWidth && Case.Height >= FullHeight) {
      EXPECT_FALSE(Horizontal->isVisible());
      EXPECT_FALSE(Vertical->isVisible());
    }
  }
}

TEST(ComTerminal, ScrollingTheViewMovesTopLeftAndWhatIsPainted) {
  TTestTerminal Terminal;
  Terminal.show();
  Settle();
  Terminal.PlaceCaret(11, 3);
  Terminal.SetAttributes({"41"});
  Terminal.Write(" ");
  Terminal.horizontalScrollBar()->setValue(10);
  Terminal.verticalScrollBar()->setValue(2);
  EXPECT_EQ(Terminal.TopLeft().X, 11);
  EXPECT_EQ(Terminal.TopLeft().Y, 3);
  Settle();
  EXPECT_EQ(Terminal.CellPixel(1, 1), qRgb(255, 0, 0));
  EXPECT_EQ(Terminal.CellsRect(15, 3, 20, 4),
            QRect(4 * Terminal.FontWidth(), 0, 6 * Terminal.FontWidth(), 2 * Terminal.FontHeight()));
  EXPECT_EQ(Terminal.CellsRect(5, 3, 20, 3), QRect(0, 0, 10 * Terminal.FontWidth(), Terminal.FontHeight()))
      << "edges left of the view are cut at 0";
  EXPECT_TRUE(Terminal.CellsRect(1, 1, 10, 2).isEmpty());

  Terminal.SetScrollBars(ssNone);
  EXPECT_EQ(Terminal.TopLeft().X, 1);
  EXPECT_EQ(Terminal.TopLeft().Y, 1);
}

TEST(ComTerminal, ShrinkingBuffersCannotLeaveTheViewScrolledPastThem) {
  TTestTerminal Terminal;
  Terminal.show();
  Settle();
  Terminal.horizontalScrollBar()->setValue(Terminal.horizontalScrollBar()->maximum());
  Terminal.SetColumns(20);
  Settle();
  EXPECT_EQ(Terminal.TopLeft().X, 1);
  EXPECT_FALSE(Terminal.horizontalScrollBar()->isVisible());
}

TEST(ComTerminal, AutoSizeFitsTheCells) {
  TTestTerminal Terminal;
  Terminal.SetAutoSize(true);
  const int Frame = 2 * Terminal.frameWidth();
  EXPECT_EQ(Terminal.size(), QSize(80 * Terminal.FontWidth() + Frame, 24 * Terminal.FontHeight() + Frame));
  Terminal.SetColumns(40);
  Terminal.SetRows(10);
  EXPECT_EQ(Terminal.size(), QSize(40 * Terminal.FontWidth() + Frame, 10 * Terminal.FontHeight() + Frame));
  Terminal.SetBorderStyle(bsNone);
  EXPECT_EQ(Terminal.size(), QSize(40 * Terminal.FontWidth(), 10 * Terminal.FontHeight()));
  Terminal.show();
  Settle();
  EXPECT_FALSE(Terminal.horizontalScrollBar()->isVisible());
  EXPECT_FALSE(Terminal.verticalScrollBar()->isVisible());
}

TEST(ComTerminal, CaretExistsWhileFocusedAndSitsOnTheBottomOfItsCell) {
  TTestTerminal Terminal;
  const int W = Terminal.FontWidth();
  const int H = Terminal.FontHeight();
  Terminal.PlaceCaret(3, 2);
  Terminal.FocusIn();
  EXPECT_TRUE(Terminal.CaretCreated());
  EXPECT_TRUE(Terminal.CaretShown());
  EXPECT_EQ(Terminal.CaretRect(), QRect(2 * W, H, W, H));

  Terminal.SetCaret(tcUnderline);
  EXPECT_TRUE(Terminal.CaretShown());
  EXPECT_EQ(Terminal.CaretRect(), QRect(2 * W, 2 * H - H / 8, W, H / 8));

  Terminal.SetCaret(tcNone);
  EXPECT_FALSE(Terminal.CaretCreated());

  Terminal.SetCaret(tcBlock);
  Terminal.FocusOut();
  EXPECT_FALSE(Terminal.CaretCreated());
  Terminal.ShowTermCaret();
  EXPECT_FALSE(Terminal.CaretShown()) << "no caret without focus";
}

TEST(ComTerminal, HidingTheCaretNests) {
  TTestTerminal Terminal;
  Terminal.FocusIn();
  Terminal.HideTermCaret();
  Terminal.HideTermCaret();
  Terminal.ShowTermCaret();
  EXPECT_FALSE(Terminal.CaretShown());
  Terminal.ShowTermCaret();
  EXPECT_TRUE(Terminal.CaretShown());
  Terminal.ShowTermCaret();
  Terminal.HideTermCaret();
  EXPECT_FALSE(Terminal.CaretShown()) << "extra shows are not banked";
}

TEST(ComTerminal, CaretIsPaintedInverted) {
  TTestTerminal Terminal;
  Terminal.show();
  Settle();
  Terminal.PlaceCaret(5, 2);
  Terminal.FocusIn();
  Settle();
  EXPECT_EQ(Terminal.CellPixel(5, 2), qRgb(255, 255, 255));
  EXPECT_EQ(Terminal.CellPixel(4, 2), qRgb(0, 0, 0));
  Terminal.HideTermCaret();
  Settle();
  EXPECT_EQ(Terminal.CellPixel(5, 2), qRgb(0, 0, 0));
}

// What the window shows after the buffer scrolled, read from the window's own pixels, since the
// scroll moves existing pixels instead of repainting them.
// One window cell as the viewport shows it.
QImage CellPicture(TTestTerminal& Terminal, int X, int Y) {
  return Terminal.viewport()->grab().toImage().copy((X - 1) * Terminal.FontWidth(), (Y - 1) * Terminal.FontHeight(),
                                                    Terminal.FontWidth(), Terminal.FontHeight());
}

// What a cell in the default colours looks like when it shows Ch.
QImage ExpectedCell(const TTestTerminal& Terminal, QChar Ch, const QImage& Like) {
  QImage Picture(Like.size(), Like.format());
  Picture.fill(Qt::black);
  QPainter Painter(&Picture);
  Painter.setFont(Terminal.font());
  Painter.setPen(Qt::white);
  Painter.drawText(0, QFontMetrics(Terminal.font()).ascent(), QString(Ch));
  return Picture;
}

TEST(ComTerminal, CellsShowTheirBytesInTheTurkishCodePage) {
  TTestTerminal Terminal;
  struct TShown {
    char Byte;
    QChar Turkish;  // what the byte means in Windows-1254
    QChar Latin1;   // what it would mean read as Latin-1
  };
  const TShown Cases[] = {{'\xFD', u'\u0131', u'\u00FD'}, {'\xFE', u'\u015F', u'\u00FE'},
                          {'\xF0', u'\u011F', u'\u00F0'}, {'\xDD', u'\u0130', u'\u00DD'},
                          {'\xDE', u'\u015E', u'\u00DE'}, {'\xD0', u'\u011E', u'\u00D0'},
                          {'\x80', u'\u20AC', u'\u0080'}, {'\xE7', u'\u00E7', u'\u00E7'}};
  for (const TShown& Case : Cases) {
    Terminal.Write(std::string(1, Case.Byte));
  }
  Terminal.show();
  Settle();
  int X = 1;
  for (const TShown& Case : Cases) {
    SCOPED_TRACE(X);
    const QImage Shown = CellPicture(Terminal, X++, 1);
    EXPECT_EQ(Shown, ExpectedCell(Terminal, Case.Turkish, Shown));
    if (Case.Turkish != Case.Latin1) {
      EXPECT_NE(Shown, ExpectedCell(Terminal, Case.Latin1, Shown));
    }
  }
}

TEST(ComTerminal, BufferScrollMovesTheShownLines) {
  TTestTerminal Terminal;
  Terminal.SetColumns(20);
  Terminal.SetRows(10);
  Terminal.SetAutoSize(true);
  Terminal.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Terminal));
  Terminal.FocusIn();
  Terminal.SetAttributes({"41"});
  Terminal.PlaceCaret(1, 9);
  Terminal.Write(" ");
  Settle();
  Terminal.PlaceCaret(2, 10);
  Terminal.Write(" ");  // still waiting to be painted when the lines move
  Terminal.MoveCaret(cmLineFeed);
  Settle();
  const auto Pixel = [&Terminal](int X, int Y) {
    const QImage Shown = Terminal.windowHandle()->screen()->grabWindow(Terminal.winId()).toImage();
    const QPoint Origin = Terminal.viewport()->mapTo(&Terminal, QPoint(0, 0));
    return Shown.pixel(Origin.x() + (X - 1) * Terminal.FontWidth() + 1,
                       Origin.y() + (Y - 1) * Terminal.FontHeight() + 1) & 0xFFFFFF;
  };
  const QRgb Red = 0xFF0000;
  EXPECT_EQ(Pixel(1, 8), Red);
  EXPECT_EQ(Pixel(2, 9), Red);
  EXPECT_EQ(Pixel(1, 9), 0u);
  EXPECT_EQ(Pixel(2, 10), 0u);
  EXPECT_EQ(Pixel(3, 10), 0xFFFFFFu) << "the caret stays in its cell";

  Terminal.MoveCaret(cmLineFeed);  // the caret was drawn and does not move
  Settle();
  EXPECT_EQ(Pixel(1, 7), Red);
  EXPECT_EQ(Pixel(2, 8), Red);
  EXPECT_EQ(Pixel(3, 10), 0xFFFFFFu);
  EXPECT_EQ(Pixel(3, 9), 0u) << "no trace of the caret drawn before the lines moved";
}

TEST(ComTerminal, TabMovesTheFocusUnlessWantTab) {
  for (const bool WantTab : {false, true}) {
    QWidget Window;
    auto* Terminal = new TTestTerminal;
    auto* Edit = new QLineEdit;
    auto* Layout = new QVBoxLayout(&Window);
    Layout->addWidget(Terminal);
    Layout->addWidget(Edit);
    Terminal->SetWantTab(WantTab);
    Window.show();
    QApplication::setActiveWindow(&Window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    Terminal->setFocus();
    ASSERT_TRUE(Terminal->hasFocus());
    QTest::keyClick(Terminal, Qt::Key_Tab);
    EXPECT_EQ(Terminal->hasFocus(), WantTab);
  }
}

TEST(ComTerminal, CursorAndPageKeysDoNotScrollTheView) {
  TTestTerminal Terminal;
  Terminal.show();
  Settle();
  for (const Qt::Key Key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_PageDown, Qt::Key_End}) {
    QTest::keyClick(&Terminal, Key);
  }
  EXPECT_EQ(Terminal.TopLeft().X, 1);
  EXPECT_EQ(Terminal.TopLeft().Y, 1);
}

TEST(ComTerminal, PublishesScreenProperties) {
  TComTerminal Terminal;
  EXPECT_TRUE(Terminal.setProperty("Columns", 300));
  EXPECT_EQ(Terminal.Columns(), 256);
  EXPECT_TRUE(Terminal.setProperty("Rows", 1));
  EXPECT_EQ(Terminal.Rows(), 2);
  EXPECT_TRUE(Terminal.setProperty("WantTab", true));
  EXPECT_TRUE(Terminal.WantTab());
}

}  // namespace
