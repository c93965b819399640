// Binding to a port, the parser for the emulation, the events and the sending side.
#include "TermSession.h"

TTermSession::TTermSession() {
  FComLink.OnRxBuf = [this](TObject* Sender, const void* Buffer, int32_t Count) {
    ReceiveBlock(Sender, Buffer, Count);
  };
  CreateEscapeCodes();
}

TTermSession::~TTermSession() { SetComPort(nullptr); }

void TTermSession::SetComPort(TCustomComPort* Value) {
  if (Value == FComPort) {
    return;
  }
  if (FComPort != nullptr) {
    FComPort->DetachLink(&FComLink);
    FComPort->RemoveFreeNotification(this);
  }
  FComPort = Value;
  if (FComPort != nullptr) {
    FComPort->FreeNotification(this);
    FComPort->AttachLink(&FComLink);
  }
}

void TTermSession::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && FComPort != nullptr && AComponent == FComPort) {
    SetComPort(nullptr);
  }
}

bool TTermSession::Connected() const { return FComPort != nullptr && FComPort->Connected(); }

void TTermSession::SetConnected(bool Value) {
  if (FComPort != nullptr) {
    FComPort->SetConnected(Value);
  }
}

void TTermSession::SetEmulation(TTermEmulation Value) {
  if (Value == FEmulation) {
    return;
  }
  FEmulation = Value;
  ReleaseEscapeCodes();
  CreateEscapeCodes();
}

void TTermSession::ReleaseEscapeCodes() {
  if (FProcessingDepth > 0 && FEscapeCodes) {
    FRetiredCodes.push_back(std::move(FEscapeCodes));
  }
  FEscapeCodes.reset();
}

void TTermSession::CreateEscapeCodes() {
  switch (FEmulation) {
    case teVT100orANSI:
      FEscapeCodes = std::make_unique<TEscapeCodesVT100>();
      break;
    case teVT52:
      FEscapeCodes = std::make_unique<TEscapeCodesVT52>();
      break;
    case teNone:
      ReleaseEscapeCodes();
      DoGetEscapeCodes(FEscapeCodes);
      break;
  }
}

void TTermSession::DoChar(char Ch) {
  if (OnChar) {
    OnChar(this, Ch);
  }
}

void TTermSession::DoGetEscapeCodes(std::unique_ptr<TEscapeCodes>& EscapeCodes) {
  if (OnGetEscapeCodes) {
    OnGetEscapeCodes(this, EscapeCodes);
  }
}

void TTermSession::DoStrRecieved(std::string& Str) {
  if (OnStrRecieved) {
    OnStrRecieved(this, Str);
  }
}

void TTermSession::DoUnhandledCode(TEscapeCode Code, const std::string& Data) {
  if (OnUnhandledCode) {
    OnUnhandledCode(this, Code, Data);
  }
}

namespace {

// Hides the window's caret for a scope; shown again also when an error leaves it.
class TCaretHidden {
 public:
  explicit TCaretHidden(TTermSession& Session) : FSession(Session) { FSession.HideTermCaret(); }
  ~TCaretHidden() { FSession.ShowTermCaret(); }
  TCaretHidden(const TCaretHidden&) = delete;
  TCaretHidden& operator=(const TCaretHidden&) = delete;

 private:
  TTermSession& FSession;
};

}  // namespace

void TTermSession::SendChar(char Ch) {
  if (!CanSend()) {
    return;
  }
  FComPort->WriteString(std::string(1, Ch));
  if (FLocalEcho) {
    TCaretHidden Hidden(*this);
    ShowChar(Ch);
  }
  if (Ch == '\r' && FSendLF) {
    SendChar('\n');
  }
}

void TTermSession::SendCode(TEscapeCode Code, const TEscapeParams* Params) {
  if (!CanSend() || !FEscapeCodes) {
    return;
  }
  const std::string Str = FEscapeCodes->CodeToString(Code, Params);
  if (!Str.empty()) {
    FComPort->WriteString(Str);
  }
  if (FLocalEcho) {
    // The echo acts as if the code had been received, so an echoed query is answered too.
    TCaretHidden Hidden(*this);
    ApplyCode(Code, Params);
  }
}

void TTermSession::SendAnswer(TEscapeCode Code, const TEscapeParams* Params) {
  if (!CanSend() || !FEscapeCodes) {
    return;
  }
  const std::string Str = FEscapeCodes->CodeToString(Code, Params);
  if (!Str.empty()) {
    FComPort->WriteString(Str);
  }
}

void TTermSession::CursorKey(TEscapeCode Code) {
  if (AppCursorKeys()) {
    switch (Code) {
      case ecCursorUp: SendCode(ecAppCursorUp, nullptr); break;
      case ecCursorDown: SendCode(ecAppCursorDown, nullptr); break;
      case ecCursorLeft: SendCode(ecAppCursorLeft, nullptr); break;
      case ecCursorRight: SendCode(ecAppCursorRight, nullptr); break;
      default: break;
    }
  } else if (FArrowKeys == akTerminal) {
    SendCode(Code, nullptr);
  } else {
    ApplyCode(Code, nullptr);
  }
}
