#include "shell/SerialHooks.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>
#include <deque>
#include <mutex>

#include "CPort.h"
#include "shell/VaroApplication.h"

namespace {

std::mutex CallsLock;
std::deque<std::function<void()>> Calls;
// GUI thread only.
int Held = 0;
bool RunWanted = false;

void RunLoopCalls() {
  if (Held > 0) {
    RunWanted = true;
    return;
  }
  // One at a time: a call may open a message box whose loop runs the rest.
  for (;;) {
    std::function<void()> call;
    {
      const std::lock_guard<std::mutex> lock(CallsLock);
      if (Calls.empty()) return;
      call = std::move(Calls.front());
      Calls.pop_front();
    }
    call();
  }
}

void WakeLoop() { QMetaObject::invokeMethod(qApp, [] { RunLoopCalls(); }, Qt::QueuedConnection); }

void ShowOnGuiThread(const std::string& message) {
  auto show = [message] {
    if (auto* app = qobject_cast<TVaroApplication*>(QCoreApplication::instance()))
      app->ShowError(message);
    else
      std::fprintf(stderr, "%s\n", message.c_str());
  };
  if (QThread::currentThread() == qApp->thread())
    show();
  else
    PostLoopCall(show);
}

}  // namespace

void PostLoopCall(std::function<void()> call) {
  {
    const std::lock_guard<std::mutex> lock(CallsLock);
    Calls.push_back(std::move(call));
  }
  WakeLoop();
}

TLoopCallsHeld::TLoopCallsHeld() { ++Held; }

TLoopCallsHeld::~TLoopCallsHeld() {
  if (--Held > 0 || !RunWanted) return;
  RunWanted = false;
  WakeLoop();
}

TSerialHooks::TSerialHooks() {
  // Called on an event thread: the call runs only when the GUI thread next
  // serves its loop, never inside a pause.
  SetHandOverWakeUp([] { PostLoopCall([] { ServeHandOvers(); }); });
  SetComErrorDisplay([](const std::exception& e) { ShowOnGuiThread(e.what()); });
}

TSerialHooks::~TSerialHooks() {
  SetHandOverWakeUp(nullptr);
  SetComErrorDisplay(nullptr);
}
