#include "TermPtySupport.h"

#include <gtest/gtest.h>

std::string SentBeforeMarker(TTermSession& Terminal, TPty& Pty) {
  Terminal.SetLocalEcho(false);
  Terminal.SendChar('~');
  std::string Got;
  while (Got.empty() || Got.back() != '~') {
    const std::string More = Pty.Receive(1, 2000);
    if (More.empty()) {
      ADD_FAILURE() << "marker never came; got " << Got;
      return Got;
    }
    Got += More;
  }
  Got.pop_back();
  return Got;
}
