// The Win32 backend over two COM ports joined back to back (a null-modem pair, here two
// pseudo-terminals that tests/windows/with_ports.sh links): what one port writes the other reads.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "CPort.h"
#include "HandOver.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::string Env(const char* Name) {
  const char* Value = std::getenv(Name);
  return Value ? Value : "";
}

bool UnderWine() {
  const HMODULE Ntdll = GetModuleHandleW(L"ntdll.dll");
  return Ntdll && GetProcAddress(Ntdll, "wine_get_version");
}

class ComPairTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NameA = Env("VARO_TEST_COM_A");
    NameB = Env("VARO_TEST_COM_B");
    if (NameA.empty() || NameB.empty()) GTEST_SKIP() << "no COM pair given (VARO_TEST_COM_A, VARO_TEST_COM_B)";
    for (TComPort* P : {&A, &B}) {
      P->SetEvents(TComEvents());
      P->SetBaudRate(br19200);
    }
    A.SetPort(NameA);
    B.SetPort(NameB);
  }

  // Reads until Count bytes came or a second passed.
  static std::string ReadSome(TComPort& Port, int Count) {
    std::string Got;
    const auto End = Clock::now() + std::chrono::seconds(1);
    while (int(Got.size()) < Count && Clock::now() < End) {
      char Buf[64];
      const int N = Port.Read(Buf, std::min<int>(Count - int(Got.size()), sizeof Buf));
      if (N == 0) std::this_thread::sleep_for(milliseconds(5));
      Got.append(Buf, size_t(N));
    }
    return Got;
  }

  std::string NameA, NameB;
  TComPort A, B;
};

TEST_F(ComPairTest, OpenedThroughTheDeviceNamespaceAlsoAboveCom9) {
  // The pair is COM12 and COM13 in the suite: a plain "COM12" would not open.
  A.Open();
  B.Open();
  EXPECT_TRUE(A.Connected());
  EXPECT_NE(A.Handle(), -1);
  A.Close();
  EXPECT_EQ(A.Handle(), -1);
}

TEST_F(ComPairTest, AMissingPortFailsWithTheSystemsCode) {
  TComPort Missing;
  Missing.SetPort("COM99");
  try {
    Missing.Open();
    FAIL() << "opened a port that is not there";
  } catch (const EComPort& E) {
    EXPECT_EQ(E.ComErrorCode(), CError_OpenFailed);
    EXPECT_EQ(E.SystemErrorCode(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(E.Message(), "Unable to open com port (win error code: 2)");
  }
  EXPECT_EQ(ProbeComDevice("COM99"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(ProbeComDevice(NameA), 0);
  // A device that opens but is no serial line is no port.
  EXPECT_NE(ProbeComDevice("NUL"), 0);
}

TEST_F(ComPairTest, WhatOneWritesTheOtherReadsWhole) {
  A.Open();
  B.Open();
  EXPECT_EQ(A.WriteString("hello, floor 7"), 14);
  EXPECT_EQ(ReadSome(B, 14), "hello, floor 7");
  const std::string Binary("\x00\xff\x1b\x7f\x80", 5);
  EXPECT_EQ(B.Write(Binary.data(), 5), 5);
  EXPECT_EQ(ReadSome(A, 5), Binary);
}

TEST_F(ComPairTest, AnImmediateReadReturnsAtOnceWithWhatHasArrived) {
  A.Open();
  B.Open();
  char Buf[16];
  const auto Start = Clock::now();
  EXPECT_EQ(B.Read(Buf, sizeof Buf), 0);
  EXPECT_LT(Clock::now() - Start, milliseconds(500));
  A.WriteString("abc");
  const auto End = Clock::now() + std::chrono::seconds(1);
  while (B.InputQueueCount() < 3 && Clock::now() < End) std::this_thread::sleep_for(milliseconds(5));
  EXPECT_EQ(B.InputQueueCount(), 3);
  EXPECT_EQ(B.Read(Buf, sizeof Buf), 3);
  EXPECT_EQ(std::string(Buf, 3), "abc");
}

TEST_F(ComPairTest, AReadWithATotalLimitEndsWithWhatCame) {
  B.Timeouts().SetReadInterval(0);
  B.Timeouts().SetReadTotalConstant(300);
  A.Open();
  B.Open();
  A.WriteString("1234");
  char Buf[10];
  const auto Start = Clock::now();
  EXPECT_EQ(B.Read(Buf, sizeof Buf), 4);
  EXPECT_GE(Clock::now() - Start, milliseconds(250));
  EXPECT_EQ(std::string(Buf, 4), "1234");
}

TEST_F(ComPairTest, APendingReadEndsWhenAbortedFromAnotherThreadAndWhenThePortCloses) {
  B.Timeouts().SetReadInterval(0);
  A.Open();
  B.Open();
  char Buf[8];
  PAsync Async = nullptr;
  CreateAsyncRequest(Async);
  EXPECT_EQ(B.ReadAsync(Buf, sizeof Buf, Async), 0);
  std::thread Aborter([this] {
    std::this_thread::sleep_for(milliseconds(100));
    B.AbortPendingIO();
  });
  try {
    B.WaitAsync(Async);
    ADD_FAILURE() << "the read was not cancelled";
  } catch (const EComPort& E) {
    EXPECT_EQ(E.ComErrorCode(), CError_ReadFailed);
    EXPECT_EQ(E.SystemErrorCode(), ERROR_OPERATION_ABORTED);
  }
  Aborter.join();

  EXPECT_EQ(B.ReadAsync(Buf, sizeof Buf, Async), 0);
  std::thread Closer([this] {
    std::this_thread::sleep_for(milliseconds(100));
    B.Close();
  });
  EXPECT_THROW(B.WaitAsync(Async), EComPort);
  Closer.join();
  FreeAsyncRequest(Async);
  EXPECT_FALSE(B.Connected());
}

// Input alone, and every event as the window asks for them: a driver may take modem-line events
// into the mask and then refuse to wait on lines it does not have.
class ComPairEventsTest : public ComPairTest, public ::testing::WithParamInterface<TComEvents> {};

TEST_P(ComPairEventsTest, TheEventThreadAnnouncesInputToHandlersAndLinks) {
  B.SetEvents(GetParam());
  B.SetSyncMethod(smNone);
  std::mutex Lock;
  std::string Announced, Linked;
  TComLink Link;
  Link.OnRxBuf = [&](TObject*, const void* Bytes, int32_t Count) {
    std::lock_guard<std::mutex> L(Lock);
    Linked.append(static_cast<const char*>(Bytes), size_t(Count));
  };
  B.OnRxBuf = [&](TObject*, const void* Bytes, int32_t Count) {
    std::lock_guard<std::mutex> L(Lock);
    Announced.append(static_cast<const char*>(Bytes), size_t(Count));
  };
  B.AttachLink(&Link);
  A.Open();
  B.Open();
  EXPECT_TRUE(B.EventThreadCreated());
  A.WriteString("floor 12");
  const auto End = Clock::now() + std::chrono::seconds(3);
  for (;;) {
    {
      std::lock_guard<std::mutex> L(Lock);
      if (Linked.size() >= 8 || Clock::now() > End) break;
    }
    std::this_thread::sleep_for(milliseconds(10));
  }
  B.Close();
  B.DetachLink(&Link);
  EXPECT_EQ(Linked, "floor 12");
  EXPECT_EQ(Announced, "floor 12");
}

INSTANTIATE_TEST_SUITE_P(Masks, ComPairEventsTest, ::testing::Values(TComEvents{evRxChar}, AllComEvents));

// A byte that comes while the handler reads what it was told of is news, though the queue then
// holds as many bytes as after the handler's last batch: it must be announced, or it waits for good.
// The handler runs on the event thread, and later on the owner's (which serves the hand-overs).
class ComPairSyncTest : public ComPairTest, public ::testing::WithParamInterface<TSyncMethod> {};

TEST_P(ComPairSyncTest, InputThatComesWhileTheHandlerReadsIsAnnouncedToo) {
  B.SetEvents({evRxChar});
  B.SetSyncMethod(GetParam());
  std::mutex Lock;
  std::string Got;
  bool SentSecond = false;
  B.OnRxChar = [&](TObject*, int32_t Count) {
    char Buf[64];
    const int N = B.Read(Buf, std::min<int>(Count, sizeof Buf));
    std::lock_guard<std::mutex> L(Lock);
    Got.append(Buf, size_t(N));
    if (!SentSecond) {
      SentSecond = true;
      A.WriteString("b");
      std::this_thread::sleep_for(milliseconds(50));
    }
  };
  A.Open();
  B.Open();
  A.WriteString("a");
  const auto End = Clock::now() + std::chrono::seconds(3);
  cport_handover::ServeUntil([&] {
    std::lock_guard<std::mutex> L(Lock);
    return Got.size() >= 2 || Clock::now() > End;
  });
  B.Close();
  EXPECT_EQ(Got, "ab");
}

INSTANTIATE_TEST_SUITE_P(Handlers, ComPairSyncTest, ::testing::Values(smNone, smWindowSync));

TEST_F(ComPairTest, LineQueriesAnswerOnAPortWithoutModemLines) {
  A.Open();
  EXPECT_TRUE(A.LineErrors().Empty());
  (void)A.ModemSignals();
  A.Close();
  EXPECT_THROW(A.LineErrors(), EComPort);
}

TEST_F(ComPairTest, ASecondOpenOfAHeldPortIsRefused) {
  if (UnderWine()) GTEST_SKIP() << "Wine does not hold a COM port for the program that opened it";
  A.Open();
  TComPort Again;
  Again.SetPort(NameA);
  try {
    Again.Open();
    FAIL() << "a held port opened twice";
  } catch (const EComPort& E) {
    EXPECT_EQ(E.SystemErrorCode(), ERROR_ACCESS_DENIED);
  }
}

}  // namespace
