// Unit CPort: serial port component (Qt-free), on termios or on the Win32 communications functions.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <vector>


// ---------------------------------------------------------------------------
// Errors

constexpr int PortErrorCount = 23;

// Translation of the unit's texts; identity until set. Set it before start-up.
using TPortTextTranslator = std::function<std::string(const std::string&)>;
void SetPortTextTranslator(TPortTextTranslator Translator);
std::string TranslatePortText(const std::string& Text);

// English source text of an error code (1..PortErrorCount), "" outside that range.
const char* PortErrorSourceText(int Code);
// Builds the table of translated error texts; run once at start-up.
void InitPortErrorTexts();
void FreePortErrorTexts();
// The table InitPortErrorTexts built: entry Code for codes 1..23, entry 0 unused; empty before.
const std::vector<std::string>& PortErrorTexts();
// Table entry of an error code; the source text while the table is not built.
std::string PortErrorText(int Code);

class EComPort : public std::exception {
 public:
  EComPort(int AComErrorCode, int32_t ASystemErrorCode);
  explicit EComPort(int AComErrorCode);
  int32_t SystemErrorCode() const { return FSystemErrorCode; }
  int32_t ComErrorCode() const { return FComErrorCode; }
  const std::string& Message() const { return FMessage; }
  const char* what() const noexcept override { return FMessage.c_str(); }

 private:
  int32_t FSystemErrorCode;
  int32_t FComErrorCode;
  std::string FMessage;
};

// Error codes raised by this unit.
enum : int {
  CError_OpenFailed = 1,
  CError_WriteFailed = 2,
  CError_ReadFailed = 3,
  CError_InvalidAsync = 4,
  CError_PurgeFailed = 5,
  CError_AsyncCheck = 6,
  CError_SetStateFailed = 7,
  CError_TimeoutsFailed = 8,
  CError_SetupComFailed = 9,
  CError_ClearComFailed = 10,
  CError_ModemStatFailed = 11,
  CError_EscapeComFailed = 12,
  CError_TransmitFailed = 13,
  CError_ConnChangeProp = 14,
  CError_EnumPortsFailed = 15,
  CError_StoreFailed = 16,
  CError_LoadFailed = 17,
  CError_RegFailed = 18,
  CError_LedStateFailed = 19,
  CError_ThreadCreated = 20,
  CError_WaitFailed = 21,
  CError_HasLink = 22,
  CError_RegError = 23,
};

// The system error codes the component raises of its own, as the system names them: errno values
// on POSIX, GetLastError codes on Windows.
enum class TSystemCode : uint8_t { InvalidValue, BadBuffer, NotOpen, Cancelled, TimedOut };
int32_t SystemCode(TSystemCode Code);

// Shows an error the component catches itself (end of loading, window-sync event handling).
// The GUI installs the application's error display; the default writes the message to stderr.
using TComErrorDisplay = std::function<void(const std::exception&)>;
void SetComErrorDisplay(TComErrorDisplay Display);
void ShowComError(const std::exception& Error);

// Message of an error: the table text, with the translated suffix filled in when a system code is
// given. Only "%d" (the code) and "%%" are format directives; any other '%' stays as it is.
std::string FormatPortErrorMessage(const std::string& Pattern, int32_t SystemErrorCode);

// ---------------------------------------------------------------------------
// Enumerations and sets

enum TBaudRate : uint8_t {
  brCustom, br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400,
  br56000, br57600, br115200, br128000, br256000
};
enum TStopBits : uint8_t { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TDataBits : uint8_t { dbFive, dbSix, dbSeven, dbEight };
enum TParityBits : uint8_t { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl : uint8_t { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl : uint8_t { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl : uint8_t { fcHardware, fcSoftware, fcNone, fcCustom };
enum TComEvent : uint8_t {
  evRxChar, evTxEmpty, evRxFlag, evRing, evBreak, evCTS, evDSR, evError, evRLSD, evRx80Full
};
enum TComError : uint8_t { ceFrame, ceRxParity, ceOverrun, ceBreak, ceIO, ceMode, ceRxOver, ceTxFull };
enum TSyncMethod : uint8_t { smThreadSync, smWindowSync, smNone };
// Bits of ModemSignals: bit 0 CTS, 1 DSR, 2 ring indicator, 3 RLSD.
enum TModemSignal : uint8_t { msCTS, msDSR, msRing, msRLSD };

// Set of enumeration values, bit n standing for the value of ordinal n.
template <typename E, typename Bits>
class TSet {
 public:
  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> Values) {
    for (E V : Values) FBits = static_cast<Bits>(FBits | Bit(V));
  }
  static constexpr TSet FromBits(Bits B) { TSet S; S.FBits = B; return S; }
  constexpr Bits ToBits() const { return FBits; }
  constexpr bool Contains(E V) const { return (FBits & Bit(V)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  TSet& Include(E V) { FBits = static_cast<Bits>(FBits | Bit(V)); return *this; }
  TSet& Exclude(E V) { FBits = static_cast<Bits>(FBits & ~Bit(V)); return *this; }
  friend constexpr TSet operator|(TSet A, TSet B) { return FromBits(static_cast<Bits>(A.FBits | B.FBits)); }
  friend constexpr TSet operator&(TSet A, TSet B) { return FromBits(static_cast<Bits>(A.FBits & B.FBits)); }
  friend constexpr bool operator==(TSet A, TSet B) { return A.FBits == B.FBits; }
  friend constexpr bool operator!=(TSet A, TSet B) { return A.FBits != B.FBits; }

 private:
  static constexpr Bits Bit(E V) { return static_cast<Bits>(Bits(1) << static_cast<unsigned>(V)); }
  Bits FBits = 0;
};

using TComEvents = TSet<TComEvent, uint16_t>;
using TComErrors = TSet<TComError, uint8_t>;
using TModemSignals = TSet<TModemSignal, uint8_t>;

constexpr TComEvents AllComEvents = TComEvents::FromBits(0x03FF);

// Bit rate of a TBaudRate value; 0 for brCustom.
int32_t BaudRateValue(TBaudRate Rate);

// Event masks with the Win32 bit values (character received 0x0001 ... 80 % full 0x0400).
uint32_t EventsToMask(TComEvents Events);
TComEvents MaskToEvents(uint32_t Mask);

// ---------------------------------------------------------------------------
// Hand-over of event batches from the event threads to the owner (GUI) thread.

// Called on an event thread each time a hand-over is queued; the GUI posts ServeHandOvers to its loop.
using THandOverWakeUp = std::function<void()>;
void SetHandOverWakeUp(THandOverWakeUp WakeUp);
// Runs the hand-overs queued so far on the calling (owner) thread; returns how many ran.
int ServeHandOvers();
// Blocks until a hand-over is queued or Timeout passes; true when one is waiting.
bool WaitForHandOvers(std::chrono::milliseconds Timeout);

// ---------------------------------------------------------------------------
// Event handler shapes: the sender always first.

class TObject {
 public:
  virtual ~TObject() = default;
};

enum TOperation : uint8_t { opInsert, opRemove };

// A component that keeps a reference to another asks it, through FreeNotification, to be told when
// it goes away: the other calls Notification(itself, opRemove) while it is still whole. Both sides
// forget each other when either goes.
class TComponent : public TObject {
 public:
  TComponent() = default;
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

 protected:
  virtual void Notification(TComponent* /*AComponent*/, TOperation /*Operation*/) {}
  // Sends the notifications; a destructor that the receivers may call back into runs it first.
  void Destroying();

 private:
  std::vector<TComponent*> FFreeNotifies;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TRxCharEvent = std::function<void(TObject* Sender, int32_t Count)>;
using TRxBufEvent = std::function<void(TObject* Sender, const void* Buffer, int32_t Count)>;
using TComErrorEvent = std::function<void(TObject* Sender, TComErrors Errors)>;
using TComSignalEvent = std::function<void(TObject* Sender, bool OnOff)>;

class TCustomComPort;

// Handler slots through which another component follows a port. Sender is the port.
class TComLink {
 public:
  TComSignalEvent OnPortStateChange;
  TRxBufEvent OnRxBuf;
  TRxBufEvent OnTxData;
  TNotifyEvent OnTxEmpty;
  TNotifyEvent OnRxFlag;
  TComSignalEvent OnCTSChange;
  TComSignalEvent OnDSRChange;
  TComSignalEvent OnRLSDChange;
  TNotifyEvent OnRing;
  TComSignalEvent OnTxActivity;
  TComSignalEvent OnRxActivity;
};

// ---------------------------------------------------------------------------
// Settings groups; a changed value is applied to the open port at once.

// Base of the settings groups: the port that owns the group (none for a value holder to copy
// from), and storing a value that the port applies when it changed.
class TComSettingsGroup {
 public:
  TComSettingsGroup(const TComSettingsGroup&) = delete;
  TComSettingsGroup& operator=(const TComSettingsGroup&) = delete;
  TCustomComPort* ComPort() const { return FComPort; }

 protected:
  explicit TComSettingsGroup(TCustomComPort* AComPort) : FComPort(AComPort) {}
  ~TComSettingsGroup() = default;
  template <typename T>
  void Set(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    if (FComPort) Apply();
  }
  // Asks the port to apply this group's kind of settings.
  virtual void Apply() = 0;
  TCustomComPort* FComPort;
};

class TComTimeouts : public TComSettingsGroup {
 public:
  explicit TComTimeouts(TCustomComPort* AComPort = nullptr) : TComSettingsGroup(AComPort) {}
  void Assign(const TComTimeouts& Source);  // copies every value, applies nothing

  int32_t ReadInterval() const { return FReadInterval; }
  int32_t ReadTotalMultiplier() const { return FReadTotalMultiplier; }
  int32_t ReadTotalConstant() const { return FReadTotalConstant; }
  int32_t WriteTotalMultiplier() const { return FWriteTotalMultiplier; }
  int32_t WriteTotalConstant() const { return FWriteTotalConstant; }
  void SetReadInterval(int32_t Value) { Set(FReadInterval, Value); }
  void SetReadTotalMultiplier(int32_t Value) { Set(FReadTotalMultiplier, Value); }
  void SetReadTotalConstant(int32_t Value) { Set(FReadTotalConstant, Value); }
  void SetWriteTotalMultiplier(int32_t Value) { Set(FWriteTotalMultiplier, Value); }
  void SetWriteTotalConstant(int32_t Value) { Set(FWriteTotalConstant, Value); }

 private:
  void Apply() override;
  int32_t FReadInterval = -1;
  int32_t FReadTotalMultiplier = 0;
  int32_t FReadTotalConstant = 0;
  int32_t FWriteTotalMultiplier = 100;
  int32_t FWriteTotalConstant = 1000;
};

class TComFlowControl : public TComSettingsGroup {
 public:
  explicit TComFlowControl(TCustomComPort* AComPort = nullptr) : TComSettingsGroup(AComPort) {}
  void Assign(const TComFlowControl& Source);

  // Preset derived from the values below; writing it sets them and applies the line settings. A
  // value out of range raises code 7 (EINVAL) and changes nothing.
  TFlowControl FlowControl() const;
  void SetFlowControl(TFlowControl Value);

  bool OutCTSFlow() const { return FOutCTSFlow; }
  bool OutDSRFlow() const { return FOutDSRFlow; }
  TDTRFlowControl ControlDTR() const { return FControlDTR; }
  TRTSFlowControl ControlRTS() const { return FControlRTS; }
  bool XonXoffOut() const { return FXonXoffOut; }
  bool XonXoffIn() const { return FXonXoffIn; }
  bool DSRSensitivity() const { return FDSRSensitivity; }
  bool TxContinueOnXoff() const { return FTxContinueOnXoff; }
  char XonChar() const { return FXonChar; }
  char XoffChar() const { return FXoffChar; }
  void SetOutCTSFlow(bool Value) { Set(FOutCTSFlow, Value); }
  void SetOutDSRFlow(bool Value) { Set(FOutDSRFlow, Value); }
  void SetControlDTR(TDTRFlowControl Value) { Set(FControlDTR, Value); }
  void SetControlRTS(TRTSFlowControl Value) { Set(FControlRTS, Value); }
  void SetXonXoffOut(bool Value) { Set(FXonXoffOut, Value); }
  void SetXonXoffIn(bool Value) { Set(FXonXoffIn, Value); }
  void SetDSRSensitivity(bool Value) { Set(FDSRSensitivity, Value); }
  void SetTxContinueOnXoff(bool Value) { Set(FTxContinueOnXoff, Value); }
  void SetXonChar(char Value) { Set(FXonChar, Value); }
  void SetXoffChar(char Value) { Set(FXoffChar, Value); }

 private:
  void Apply() override;
  bool FOutCTSFlow = false;
  bool FOutDSRFlow = false;
  TDTRFlowControl FControlDTR = dtrDisable;
  TRTSFlowControl FControlRTS = rtsDisable;
  bool FXonXoffOut = false;
  bool FXonXoffIn = false;
  bool FDSRSensitivity = false;
  bool FTxContinueOnXoff = false;
  char FXonChar = 17;
  char FXoffChar = 19;
};

class TComParity : public TComSettingsGroup {
 public:
  explicit TComParity(TCustomComPort* AComPort = nullptr) : TComSettingsGroup(AComPort) {}
  void Assign(const TComParity& Source);

  TParityBits Bits() const { return FBits; }
  bool Check() const { return FCheck; }
  bool Replace() const { return FReplace; }
  char ReplaceChar() const { return FReplaceChar; }
  void SetBits(TParityBits Value) { Set(FBits, Value); }
  void SetCheck(bool Value) { Set(FCheck, Value); }
  void SetReplace(bool Value) { Set(FReplace, Value); }
  void SetReplaceChar(char Value) { Set(FReplaceChar, Value); }

 private:
  void Apply() override;
  TParityBits FBits = prNone;
  bool FCheck = false;
  bool FReplace = false;
  char FReplaceChar = 0;
};

// The largest Buffer.InputSize an open port takes (error 9 above it): the input queue lives in
// the process's memory.
constexpr int32_t MaxInputSize = 16 * 1024 * 1024;

class TComBuffer : public TComSettingsGroup {
 public:
  explicit TComBuffer(TCustomComPort* AComPort = nullptr) : TComSettingsGroup(AComPort) {}
  void Assign(const TComBuffer& Source);

  // A positive odd size is lowered by one when stored.
  int32_t InputSize() const { return FInputSize; }
  int32_t OutputSize() const { return FOutputSize; }
  void SetInputSize(int32_t Value) { SetSize(FInputSize, Value); }
  void SetOutputSize(int32_t Value) { SetSize(FOutputSize, Value); }

 private:
  void SetSize(int32_t& Field, int32_t Value);
  void Apply() override;
  int32_t FInputSize = 1024;
  int32_t FOutputSize = 1024;
};

// The line-settings record built from the settings, member by member as the Win32 DCB.
struct TDCB {
  uint32_t DCBlength = 0;
  uint32_t BaudRate = 0;
  bool fBinary = false;
  bool fParity = false;
  bool fOutxCtsFlow = false;
  bool fOutxDsrFlow = false;
  uint8_t fDtrControl = 0;
  bool fDsrSensitivity = false;
  bool fTXContinueOnXoff = false;
  bool fOutX = false;
  bool fInX = false;
  bool fErrorChar = false;
  bool fNull = false;
  uint8_t fRtsControl = 0;
  bool fAbortOnError = false;
  uint16_t XonLim = 0;
  uint16_t XoffLim = 0;
  uint8_t ByteSize = 0;
  uint8_t Parity = 0;
  uint8_t StopBits = 0;
  char XonChar = 0;
  char XoffChar = 0;
  char ErrorChar = 0;
  char EofChar = 0;
  char EvtChar = 0;
};

// The five timeouts as the device holds them (-1 becomes all bits set).
struct TDeviceTimeouts {
  uint32_t ReadIntervalTimeout = 0;
  uint32_t ReadTotalTimeoutMultiplier = 0;
  uint32_t ReadTotalTimeoutConstant = 0;
  uint32_t WriteTotalTimeoutMultiplier = 0;
  uint32_t WriteTotalTimeoutConstant = 0;
};

// ---------------------------------------------------------------------------
// Settings storage: which groups of values a port stores, and the stores it writes to.

enum TSettingsGroup : uint8_t { sgLine, sgFlowDetails, sgBuffer, sgTimeouts, sgParityDetails, sgOther };
using TSettingsGroups = TSet<TSettingsGroup, uint8_t>;

// An open ini file. Errors are the implementation's own and pass through the port unchanged.
class TCustomIniFile {
 public:
  virtual ~TCustomIniFile() = default;
  virtual void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) = 0;
  virtual void WriteInteger(const std::string& Section, const std::string& Ident, int32_t Value) = 0;
  virtual std::string ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) = 0;
  virtual int32_t ReadInteger(const std::string& Section, const std::string& Ident, int32_t Default) = 0;
};

// An open registry key: text and 32-bit integer values by name, each keeping its kind.
// ReadString gives "" for a missing value; ReadInteger fails for a missing value.
class TCustomRegistry {
 public:
  virtual ~TCustomRegistry() = default;
  virtual void WriteString(const std::string& Name, const std::string& Value) = 0;
  virtual void WriteInteger(const std::string& Name, int32_t Value) = 0;
  virtual std::string ReadString(const std::string& Name) = 0;
  virtual int32_t ReadInteger(const std::string& Name) = 0;
};

// ---------------------------------------------------------------------------
// Asynchronous requests: CreateAsyncRequest, one start operation, WaitAsync, FreeAsyncRequest.

enum class TAsyncKind : int8_t { None = -1, Write = 0, Read = 1 };

class AsyncRequest {
 public:
  AsyncRequest() = default;
  ~AsyncRequest();
  AsyncRequest(const AsyncRequest&) = delete;
  AsyncRequest& operator=(const AsyncRequest&) = delete;
  TAsyncKind Kind() const { return FKind; }
  // Private copy of the bytes of the last write: what it sends and what the links' OnTxData get.
  const std::vector<char>& Data() const { return FData; }

 private:
  friend class TCustomComPort;
  friend struct TPortIO;
  TAsyncKind FKind = TAsyncKind::None;
  std::vector<char> FData;
  char* FBuffer = nullptr;  // where a read puts its bytes
  int32_t FCount = 0;
  int32_t FDone = 0;
  bool FPending = false;
  int FErrno = 0;
  // What the device backend keeps of the request while it runs: deadlines, progress, its wake-up.
  struct TIo;
  std::unique_ptr<TIo> FIo;
};

using PAsync = AsyncRequest*;
void CreateAsyncRequest(PAsync& AsyncPtr);
void FreeAsyncRequest(PAsync& AsyncPtr);

// ---------------------------------------------------------------------------
// The port

class TComThread;
class TLifeLock;

class TCustomComPort : public TComponent {
 public:
  TCustomComPort();
  ~TCustomComPort() override;
  TCustomComPort(const TCustomComPort&) = delete;
  TCustomComPort& operator=(const TCustomComPort&) = delete;

  // Component name, used as the section name of stored settings.
  const std::string& Name() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }

  // While loading, setters only store; Loaded opens the port when Connected was stored true,
  // showing an open error through the hand-over error hook.
  void BeginLoading() { FLoading = true; }
  void Loaded();
  bool Loading() const { return FLoading; }

  void Open();
  void Close();
  bool Connected() const { return FConnected; }
  void SetConnected(bool Value);

  // Settings
  TBaudRate BaudRate() const { return FBaudRate; }
  void SetBaudRate(TBaudRate Value);
  int32_t CustomBaudRate() const { return FCustomBaudRate; }
  void SetCustomBaudRate(int32_t Value);
  const std::string& Port() const { return FPort; }
  void SetPort(const std::string& Value);
  TComParity& Parity() { return FParity; }
  const TComParity& Parity() const { return FParity; }
  void SetParity(const TComParity& Value);
  TStopBits StopBits() const { return FStopBits; }
  void SetStopBits(TStopBits Value);
  TDataBits DataBits() const { return FDataBits; }
  void SetDataBits(TDataBits Value);
  bool DiscardNull() const { return FDiscardNull; }
  void SetDiscardNull(bool Value);
  char EventChar() const { return FEventChar.load(); }
  void SetEventChar(char Value);
  TComEvents Events() const { return FEvents; }
  void SetEvents(TComEvents Value) { FEvents = Value; }
  TComBuffer& Buffer() { return FBuffer; }
  const TComBuffer& Buffer() const { return FBuffer; }
  void SetBuffer(const TComBuffer& Value);
  TComFlowControl& FlowControl() { return FFlowControl; }
  const TComFlowControl& FlowControl() const { return FFlowControl; }
  void SetFlowControl(const TComFlowControl& Value);
  TComTimeouts& Timeouts() { return FTimeouts; }
  const TComTimeouts& Timeouts() const { return FTimeouts; }
  void SetTimeouts(const TComTimeouts& Value);
  TSyncMethod SyncMethod() const { return FSyncMethod; }
  void SetSyncMethod(TSyncMethod Value);

  // Settings storage: the values of the stored groups, by name, assigned through the setters
  // as they are read. A section is named after the port's Name.
  TSettingsGroups StoredGroups() const { return FStoredGroups; }
  void SetStoredGroups(TSettingsGroups Value) { FStoredGroups = Value; }
  virtual void SaveToRegistryKey(TCustomRegistry& Registry);
  virtual void SaveToIniSection(TCustomIniFile& IniFile);
  virtual void LoadFromRegistryKey(TCustomRegistry& Registry);
  virtual void LoadFromIniSection(TCustomIniFile& IniFile);

  // Device handle (a file descriptor, or a Win32 HANDLE), -1 while closed.
  intptr_t Handle() const;

  // Line state queries
  int32_t InputQueueCount();
  TComErrors LineErrors();
  TModemSignals ModemSignals();

  // The line-settings record ApplyLineSettings sets, built from the present settings.
  TDCB LineSettingsRecord() const;
  // The timeouts the device holds since the last ApplyTimeoutSettings; requests on any thread read them.
  TDeviceTimeouts DeviceTimeouts() const;

  // Reading and writing
  int32_t Write(const void* Buffer, int32_t Count);
  int32_t WriteString(const std::string& Str);
  int32_t Read(void* Buffer, int32_t Count);
  int32_t ReadString(std::string& Str, int32_t Count);
  int32_t WriteAsync(const void* Buffer, int32_t Count, PAsync& AsyncPtr);
  int32_t WriteStringAsync(const std::string& Str, PAsync& AsyncPtr);
  int32_t ReadAsync(void* Buffer, int32_t Count, PAsync& AsyncPtr);
  int32_t ReadStringAsync(std::string& Str, int32_t Count, PAsync& AsyncPtr);
  int32_t WaitAsync(PAsync& AsyncPtr);
  // Cancels every pending read and write; callable from any thread.
  void AbortPendingIO();

  // Links
  void AttachLink(TComLink* Link);
  void DetachLink(TComLink* Link);
  bool HasRxBufLink() const;

  // Whether the open port runs an event thread (it does when Events was not empty at Open).
  bool EventThreadCreated() const;

  // Events
  TNotifyEvent OnAfterOpen;
  TNotifyEvent OnAfterClose;
  TNotifyEvent OnBeforeOpen;
  TNotifyEvent OnBeforeClose;
  TRxCharEvent OnRxChar;
  TRxBufEvent OnRxBuf;
  TNotifyEvent OnTxEmpty;
  TNotifyEvent OnBreak;
  TNotifyEvent OnRing;
  TComSignalEvent OnCTSChange;
  TComSignalEvent OnDSRChange;
  TComSignalEvent OnRLSDChange;
  TNotifyEvent OnRxFlag;
  TComErrorEvent OnError;
  TNotifyEvent OnRx80Full;

  // Overridable device operations
  virtual void OpenDevice();
  virtual void CloseDevice();
  virtual void ConfigureDevice();

  // Event raisers
  virtual void DoAfterClose();
  virtual void DoAfterOpen();
  virtual void DoBeforeClose();
  virtual void DoBeforeOpen();
  virtual void DoRxChar(int32_t Count);
  virtual void DoRxBuf(const void* Buffer, int32_t Count);
  virtual void DoTxEmpty();
  virtual void DoBreak();
  virtual void DoRing();
  virtual void DoRxFlag();
  virtual void DoCTSChange(bool OnOff);
  virtual void DoDSRChange(bool OnOff);
  virtual void DoError(TComErrors Errors);
  virtual void DoRLSDChange(bool OnOff);
  virtual void DoRx80Full();

  virtual void ApplyLineSettings();
  virtual void ApplyTimeoutSettings();
  virtual void ApplyBufferSizes();

 protected:
  // The event handling of one batch, in the fixed order; the event thread runs it by SyncMethod.
  void HandleEvents(TComEvents Events);

 private:
  bool CanApply() const { return FConnected && !FLoading; }
  // The device backend (serial/posix or serial/win32) works on the port's state and links.
  friend struct TPortIO;
  void NotifyAfterOpen();
  void NotifyBeforeClose();
  void NotifyAfterClose();
  void LinksTxActivity(bool OnOff);
  void LinksRxActivity(bool OnOff);
  void LinksTxData(const void* Buffer, int32_t Count);
  void LinksSignal(TComSignalEvent TComLink::*Slot, bool OnOff);
  void LinksNotify(TNotifyEvent TComLink::*Slot);
  bool AnyLinkHas(TComSignalEvent TComLink::*Slot) const;
  std::vector<TComLink*> Links() const;

  friend class TComThread;
  void CreateEventThread();
  void DestroyEventThread();
  void CloseOnce();
  // Joins the threads that closed their own port, as far as the calling thread may wait for them.
  void ReapRetiredThreads();
  // Reach the event thread from any thread.
  void WakeEventThread();
  void NoteTransmitted();
  void HandleEvent(TComEvent Event);
  void ReportLine(TModemSignal Line, TComSignalEvent TComLink::*Slot, void (TCustomComPort::*Raise)(bool));
  void ReceiveData();

  std::string FName;
  bool FLoading = false;
  std::atomic<bool> FConnected{false};
  TBaudRate FBaudRate = br9600;
  int32_t FCustomBaudRate = 9600;
  std::string FPort = "COM1";
  TComParity FParity{this};
  TStopBits FStopBits = sbOneStopBit;
  TDataBits FDataBits = dbEight;
  bool FDiscardNull = false;
  std::atomic<char> FEventChar{0};  // the event thread looks for it
  TComEvents FEvents = AllComEvents;
  TComBuffer FBuffer{this};
  TComFlowControl FFlowControl{this};
  TComTimeouts FTimeouts{this};
  TSyncMethod FSyncMethod = smThreadSync;
  TSettingsGroups FStoredGroups{sgLine};

  // The port's working state: handle, queues, locks, threads (serial/ComPortState.h).
  struct TState;
  std::unique_ptr<TState> S_;
};

// Publishes the settings and events of TCustomComPort; adds no behaviour.
class TComPort : public TCustomComPort {};

// Whether the device Path can be opened as a port now: opened and locked as Open does it, DTR and
// RTS (which the open raised) brought down in the first call after the lock, and let go at once.
// On Windows a device whose driver does not answer GetCommState is no port either.
// 0, or the system's error code of the failed call.
int ProbeComDevice(const std::string& Path);

// ---------------------------------------------------------------------------
// Text forms of the settings. Reading matches after upper-casing ASCII letters only, with no
// trimming; unmatched text gives the setting's fallback. None of them fails.

std::string BaudRateText(TBaudRate Value);
TBaudRate BaudRateFromText(const std::string& Text);  // fallback br9600
std::string StopBitsText(TStopBits Value);
TStopBits StopBitsFromText(const std::string& Text);  // fallback sbOneStopBit
std::string DataBitsText(TDataBits Value);
TDataBits DataBitsFromText(const std::string& Text);  // fallback dbEight
std::string ParityText(TParityBits Value);
TParityBits ParityFromText(const std::string& Text);  // fallback prNone
std::string FlowControlText(TFlowControl Value);
TFlowControl FlowControlFromText(const std::string& Text);  // fallback fcCustom
std::string DTRText(TDTRFlowControl Value);
TDTRFlowControl DTRFromText(const std::string& Text);  // fallback dtrDisable
std::string RTSText(TRTSFlowControl Value);
TRTSFlowControl RTSFromText(const std::string& Text);  // fallback rtsDisable
std::string BoolText(bool Value);                     // "Yes" / "No"
bool BoolFromText(const std::string& Text);           // true only for "YES" in any ASCII case
// Codes 33..127 as the character itself, any other as "#" and the decimal code.
std::string CharText(char Value);
// "#" and a number gives the number's low 8 bits (0 when it is no number); otherwise the first
// character, 0 for empty text.
char CharFromText(const std::string& Text);

// A 32-bit integer: leading blanks, an optional sign, decimal or hexadecimal after "$" or "0x"
// (hexadecimal takes all 32 bits, so "$FFFFFFFF" is -1). False for anything else.
bool TryStrToInt(const std::string& Text, int32_t& Value);
