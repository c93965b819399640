// The terminal window with a port: typed keys sent or applied, the caret while receiving, and the
// hidden terminal taking a port's bytes as the program's window does. The QApplication comes from
// ComTerminalTest.cpp.
#include "terminal/CPortCtl.h"

#include "Pty.h"
#include "TermPtySupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QTest>

#include <chrono>
#include <string>
#include <utility>

namespace {

using namespace std::chrono_literals;
using namespace std::string_literals;

const std::string ESC = "\x1b";

class TermWindowPort : public ::testing::Test {
 protected:
  void SetUp() override {
    Terminal.OnChar = [this](TObject* Sender, char Ch) {
      EXPECT_EQ(dynamic_cast<TComTerminal*>(Sender), &Terminal);
      Chars += Ch;
    };
    Terminal.SetComPort(&Port);
  }
  void Connect() { OpenWithoutEvents(Port, Pty); }
  void Type(const QString& Text, Qt::Key Key = Qt::Key_unknown) {
    QKeyEvent Event(QEvent::KeyPress, Key, Qt::NoModifier, Text);
    QApplication::sendEvent(&Terminal, &Event);
  }
  std::string SentBeforeMarker() { return ::SentBeforeMarker(Terminal, Pty); }

  TPty Pty;
  TComPort Port;
  TComTerminal Terminal;
  std::string Chars;
};

TEST_F(TermWindowPort, TypedCharactersAndCursorKeysGoToThePort) {
  Connect();
  QTest::keyClicks(&Terminal, "ab");
  QTest::keyClick(&Terminal, Qt::Key_Return);
  Terminal.SetSendLF(true);
  QTest::keyClick(&Terminal, Qt::Key_Return);
  QTest::keyClick(&Terminal, Qt::Key_Up);
  QTest::keyClick(&Terminal, Qt::Key_Home);
  QTest::keyClick(&Terminal, Qt::Key_End);  // no code for it
  Type(QStringLiteral("\u00E9"));
  EXPECT_EQ(SentBeforeMarker(), "ab\r\r\n" + ESC + "[A" + ESC + "[H" + "\xE9");
  EXPECT_EQ(Chars, "") << "nothing echoed";
  EXPECT_EQ(Terminal.CaretPos().X, 1);
  EXPECT_EQ(Terminal.CaretPos().Y, 1);
}

TEST_F(TermWindowPort, TypedCharactersGoOutInTheTurkishCodePage) {
  Connect();
  const std::pair<QString, std::string> Cases[] = {
      {QStringLiteral("\u0131\u015F\u011F\u0130\u015E\u011E"), "\xFD\xFE\xF0\xDD\xDE\xD0"},
      {QStringLiteral("\u00E7\u00F6\u00FC\u00C7\u00D6\u00DC"), "\xE7\xF6\xFC\xC7\xD6\xDC"},
      {QStringLiteral("\u20AC\u2019"), "\x80\x92"},
      // The Latin-1 letters whose places the Turkish ones took, and what the page lacks.
      {QStringLiteral("\u00FD\u00FE\u00F0\u00DD\u00DE\u00D0\u0080\u017D\u4E2D"), ""},
      {QString::fromUcs4(U"\U0001F600a"), "a"},
  };
  for (const auto& [Typed, Sent] : Cases) {
    SCOPED_TRACE(Typed.toStdString());
    Type(Typed);
    EXPECT_EQ(SentBeforeMarker(), Sent);
  }
  Terminal.SetLocalEcho(true);
  Type(QStringLiteral("\u0131"));
  EXPECT_EQ(Terminal.Buffer().GetChar(1, 1).Ch, '\xFD') << "the echo stores the same byte";
  EXPECT_EQ(Chars, "\xFD");
}

TEST_F(TermWindowPort, ApplicationCursorKeysSendTheirOwnCodes) {
  Connect();
  Terminal.ProcessString(ESC + "[?1h");
  Terminal.SetArrowKeys(akWindows);
  for (const Qt::Key Key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Right, Qt::Key_Left, Qt::Key_Home}) {
    QTest::keyClick(&Terminal, Key);
  }
  EXPECT_EQ(SentBeforeMarker(), ESC + "OA" + ESC + "OB" + ESC + "OC" + ESC + "OD");
}

TEST_F(TermWindowPort, WindowsArrowKeysMoveTheCaretAndSendNothing) {
  Connect();
  Terminal.SetArrowKeys(akWindows);
  Terminal.ProcessString(ESC + "[5;5H");
  QTest::keyClick(&Terminal, Qt::Key_Up);
  EXPECT_EQ(Terminal.CaretPos().Y, 4);
  QTest::keyClick(&Terminal, Qt::Key_Left);
  EXPECT_EQ(Terminal.CaretPos().X, 4);
  QTest::keyClick(&Terminal, Qt::Key_Home);
  EXPECT_EQ(Terminal.CaretPos().X, 1);
  EXPECT_EQ(Terminal.CaretPos().Y, 1);
  EXPECT_EQ(SentBeforeMarker(), "");
}

TEST_F(TermWindowPort, LocalEchoFiresOnCharOnceAndOnlyWhileConnected) {
  Terminal.SetLocalEcho(true);
  QTest::keyClick(&Terminal, Qt::Key_X, Qt::NoModifier);
  EXPECT_EQ(Chars, "") << "closed port: no echo";
  Connect();
  QTest::keyClicks(&Terminal, "x");
  EXPECT_EQ(Chars, "x");
  EXPECT_EQ(Terminal.Buffer().GetChar(1, 1).Ch, 'x');
  EXPECT_EQ(SentBeforeMarker(), "x");
}

TEST_F(TermWindowPort, KeysTheTerminalDoesNotUseReachTheParent) {
  class TParent : public QWidget {
   public:
    int Keys = 0;

   protected:
    void keyPressEvent(QKeyEvent*) override { ++Keys; }
  } Parent;
  auto* Child = new TComTerminal(&Parent);
  QTest::keyClick(Child, Qt::Key_F9);
  EXPECT_EQ(Parent.Keys, 1);
  QTest::keyClick(Child, Qt::Key_A);
  QTest::keyClick(Child, Qt::Key_Down);
  EXPECT_EQ(Parent.Keys, 1) << "typed characters and cursor keys are the terminal's";
}

TEST_F(TermWindowPort, TheCaretIsHiddenWhileReceivedBytesAreProcessed) {
  QFocusEvent Focus(QEvent::FocusIn, Qt::OtherFocusReason);
  QApplication::sendEvent(&Terminal, &Focus);
  ASSERT_TRUE(Terminal.CaretShown());
  bool ShownInHandler = true;
  Terminal.OnChar = [&](TObject*, char) { ShownInHandler = ShownInHandler && Terminal.CaretShown(); };
  Terminal.ProcessString("abc");
  EXPECT_FALSE(ShownInHandler);
  EXPECT_TRUE(Terminal.CaretShown());
}

TEST_F(TermWindowPort, PublishesTheReceiveAndSendFlags) {
  for (const char* Name : {"AppendLF", "Force7Bit", "LocalEcho", "SendLF"}) {
    EXPECT_TRUE(Terminal.setProperty(Name, true)) << Name;
  }
  EXPECT_TRUE(Terminal.AppendLF() && Terminal.Force7Bit() && Terminal.LocalEcho() && Terminal.SendLF());
}

// As the program's window uses it: never shown, VT100/ANSI, linked to a port whose event thread
// hands the received bytes over to this thread.
TEST_F(TermWindowPort, AHiddenTerminalDeliversThePortsBytesToOnChar) {
  ASSERT_FALSE(Terminal.isVisible());
  ASSERT_EQ(Terminal.Emulation(), teVT100orANSI);
  Port.SetPort(Pty.Path());
  Port.Open();
  std::string Image;
  for (int Byte = 0; Byte < 256; ++Byte) {
    if (Byte != 0x1B) Image += static_cast<char>(Byte);
  }
  Pty.Send(Image);
  const auto Deadline = std::chrono::steady_clock::now() + 5s;
  while (Chars.size() < Image.size() && std::chrono::steady_clock::now() < Deadline) {
    WaitForHandOvers(10ms);
    ServeHandOvers();
  }
  EXPECT_EQ(Chars, Image);
}

}  // namespace
