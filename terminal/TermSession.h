// Port side of unit CPortCtl that needs no window: binding to a serial port, the escape-code
// parser, the receive pipeline, what each received code does, and sending. Include CPortCtl.h,
// the unit's face, from outside this folder; this header stays apart so the receive path can be
// tested, fuzzed and measured without Qt.
#pragma once

#include "CPort.h"
#include "CPortEsc.h"
#include "TermScreen.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

enum TTermEmulation { teVT100orANSI, teVT52, teNone };
enum TArrowKeys { akTerminal, akWindows };

using TChScreenEvent = std::function<void(TObject* Sender, char Ch)>;
// The handler may store a parser of its own; the terminal then owns it.
using TEscapeEvent = std::function<void(TObject* Sender, std::unique_ptr<TEscapeCodes>& EscapeCodes)>;
using TStrRecvEvent = std::function<void(TObject* Sender, std::string& Str)>;
using TUnhandledEvent = std::function<void(TObject* Sender, TEscapeCode Code, const std::string& Data)>;

class TTermSession : public TTermScreen, public TComponent {
 public:
  // Unlike a terminal loaded from a window layout, one made in code is ready at once: it has the
  // parser of its Emulation (VT100/ANSI) and its cells from the start.
  TTermSession();
  ~TTermSession() override;

  // Not owned. The terminal's link is attached to it while it is set; a port that is destroyed
  // first unsets itself.
  TCustomComPort* ComPort() const { return FComPort; }
  void SetComPort(TCustomComPort* Value);
  bool Connected() const;
  void SetConnected(bool Value);
  TTermEmulation Emulation() const { return FEmulation; }
  // A new value replaces the parser, dropping a half-received sequence.
  void SetEmulation(TTermEmulation Value);
  TEscapeCodes* EscapeCodes() const { return FEscapeCodes.get(); }

  bool AppendLF() const { return FAppendLF; }
  void SetAppendLF(bool Value) { FAppendLF = Value; }
  // Received bytes lose their eighth bit before anyone sees them ($C1 arrives as $41): for a line
  // that carries parity or garbage in bit 7 while the host speaks 7-bit ASCII.
  bool Force7Bit() const { return FForce7Bit; }
  void SetForce7Bit(bool Value) { FForce7Bit = Value; }
  bool LocalEcho() const { return FLocalEcho; }
  void SetLocalEcho(bool Value) { FLocalEcho = Value; }
  bool SendLF() const { return FSendLF; }
  void SetSendLF(bool Value) { FSendLF = Value; }
  TArrowKeys ArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(TArrowKeys Value) { FArrowKeys = Value; }

  // Receiving, in calling order. ReceiveBlock is the link's OnRxBuf handler; Sender is not used.
  void ReceiveBlock(TObject* Sender, const void* Buffer, int32_t Count);
  void ReceiveString(std::string Str);
  // Feed characters as if received, also to show text.
  void ProcessString(const std::string& Str);
  void ProcessBytes(const void* Buffer, int32_t Count);
  void ShowChar(char Ch);
  // True when the terminal acted on the code. Params may be null (no parameters).
  bool ApplyCode(TEscapeCode Code, const TEscapeParams* Params);

  // Sending; nothing happens without a connected port. Errors of the port's write propagate.
  void SendChar(char Ch);
  void SendCode(TEscapeCode Code, const TEscapeParams* Params);
  void SendAnswer(TEscapeCode Code, const TEscapeParams* Params);
  // A cursor key pressed: ecCursorHome, ecCursorLeft, ecCursorUp, ecCursorRight or ecCursorDown.
  // Sent to the port, or with akWindows applied to the own caret; application cursor keys
  // (mode ?1) always send their own codes.
  void CursorKey(TEscapeCode Code);

  // The window's caret, hidden while characters are processed. Nested.
  virtual void HideTermCaret() {}
  virtual void ShowTermCaret() {}

  TChScreenEvent OnChar;
  TEscapeEvent OnGetEscapeCodes;
  TStrRecvEvent OnStrRecieved;
  TUnhandledEvent OnUnhandledCode;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;
  virtual void CreateEscapeCodes();

  virtual void DoChar(char Ch);
  virtual void DoGetEscapeCodes(std::unique_ptr<TEscapeCodes>& EscapeCodes);
  virtual void DoStrRecieved(std::string& Str);
  virtual void DoUnhandledCode(TEscapeCode Code, const std::string& Data);

  TComLink& ComLink() { return FComLink; }

 private:
  class TProcessing;
  void ReleaseEscapeCodes();
  bool CanSend() const { return FComPort != nullptr && FComPort->Connected(); }

  TComLink FComLink;
  TCustomComPort* FComPort = nullptr;
  TTermEmulation FEmulation = teVT100orANSI;
  std::unique_ptr<TEscapeCodes> FEscapeCodes;
  // A parser replaced while bytes are processed (by an event handler) lives until the outermost
  // processing ends, since the loop may still be reading it.
  std::vector<std::unique_ptr<TEscapeCodes>> FRetiredCodes;
  int FProcessingDepth = 0;
  bool FAppendLF = false;
  bool FForce7Bit = false;
  bool FLocalEcho = false;
  bool FSendLF = false;
  TArrowKeys FArrowKeys = akTerminal;
};
