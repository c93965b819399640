#include "SerialHooks.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

#include "CPort.h"
#include "VaroApplication.h"

namespace {

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
    QMetaObject::invokeMethod(qApp, show, Qt::QueuedConnection);
}

}  // namespace

TSerialHooks::TSerialHooks() {
  // Called on an event thread: the call is posted, so it runs only when the
  // GUI thread next serves its loop (never inside a pause).
  SetHandOverWakeUp([] { QMetaObject::invokeMethod(qApp, [] { ServeHandOvers(); }, Qt::QueuedConnection); });
  SetComErrorDisplay([](const std::exception& e) { ShowOnGuiThread(e.what()); });
}

TSerialHooks::~TSerialHooks() {
  SetHandOverWakeUp(nullptr);
  SetComErrorDisplay(nullptr);
}
