// The receive pipeline: a block from the port, line-feed insertion, the 7-bit pass, the string
// event, the parser, plain characters and what each code does.
#include "TermSession.h"

#include <algorithm>
#include <climits>
#include <string>

// One (possibly nested) run over received bytes: the caret stays hidden, and parsers replaced
// meanwhile are freed when the outermost run ends, also when an event handler raises.
class TTermSession::TProcessing {
 public:
  explicit TProcessing(TTermSession& Session) : FSession(Session) {
    FSession.HideTermCaret();
    ++FSession.FProcessingDepth;
  }
  ~TProcessing() {
    if (--FSession.FProcessingDepth == 0) {
      FSession.FRetiredCodes.clear();
    }
    FSession.ShowTermCaret();
  }
  TProcessing(const TProcessing&) = delete;
  TProcessing& operator=(const TProcessing&) = delete;

 private:
  TTermSession& FSession;
};

namespace {

// Clears a parser's parameters after its code was acted on, whatever the action did.
class TParamsCleared {
 public:
  explicit TParamsCleared(TEscapeParams& Params) : FParams(Params) {}
  ~TParamsCleared() { FParams.clear(); }
  TParamsCleared(const TParamsCleared&) = delete;
  TParamsCleared& operator=(const TParamsCleared&) = delete;

 private:
  TEscapeParams& FParams;
};

std::string WithLineFeeds(const char* Bytes, std::size_t Count) {
  std::string Str;
  Str.reserve(Count + Count / 8);
  for (std::size_t Index = 0; Index < Count; ++Index) {
    Str += Bytes[Index];
    if (Bytes[Index] == '\r') {
      Str += '\n';
    }
  }
  return Str;
}

// Parameters reach the whole int range, so relative moves are summed wide; PlaceCaret clamps.
int MovedBy(int From, long long By) {
  return static_cast<int>(std::clamp<long long>(From + By, INT_MIN, INT_MAX));
}

}  // namespace

void TTermSession::ReceiveBlock(TObject* /*Sender*/, const void* Buffer, int32_t Count) {
  if (Buffer == nullptr || Count <= 0) {
    return;
  }
  const char* Bytes = static_cast<const char*>(Buffer);
  const auto Size = static_cast<std::size_t>(Count);
  std::string Str = FAppendLF ? WithLineFeeds(Bytes, Size) : std::string(Bytes, Size);
  if (FForce7Bit) {
    for (char& Ch : Str) {
      Ch = static_cast<char>(Ch & 0x7F);
    }
  }
  ReceiveString(std::move(Str));
}

void TTermSession::ReceiveString(std::string Str) {
  DoStrRecieved(Str);
  ProcessString(Str);
}

void TTermSession::ProcessString(const std::string& Str) {
  // Longer texts than a block can hold go in pieces; the parser carries sequences across them.
  constexpr std::size_t Piece = 1u << 30;
  for (std::size_t Done = 0; Done < Str.size(); Done += Piece) {
    const std::size_t Count = std::min(Piece, Str.size() - Done);
    ProcessBytes(Str.data() + Done, static_cast<int32_t>(Count));
  }
}

void TTermSession::ProcessBytes(const void* Buffer, int32_t Count) {
  if (Buffer == nullptr || Count <= 0) {
    return;
  }
  TProcessing Processing(*this);
  const char* Bytes = static_cast<const char*>(Buffer);
  for (int32_t Index = 0; Index < Count; ++Index) {
    // Read each time: an event handler may have changed the emulation.
    TEscapeCodes* Parser = FEscapeCodes.get();
    if (Parser == nullptr) {
      ShowChar(Bytes[Index]);
      continue;
    }
    switch (Parser->FeedChar(Bytes[Index])) {
      case frChar:
        ShowChar(Parser->Character);
        break;
      case frCode: {
        TParamsCleared Cleared(Parser->Params);
        const TEscapeCode Code = Parser->Code;
        if (!ApplyCode(Code, &Parser->Params)) {
          DoUnhandledCode(Code, Parser->Data);
        }
        break;
      }
      case frPending:
        break;
    }
  }
}

void TTermSession::ShowChar(char Ch) {
  switch (Ch) {
    case '\b': MoveCaret(cmBackspace); break;
    case '\t': MoveCaret(cmTab); break;
    case '\n': MoveCaret(cmLineFeed); break;
    case '\f': MoveCaret(cmFormFeed); break;
    case '\r': MoveCaret(cmReturn); break;
    default:
      if (static_cast<unsigned char>(Ch) >= 0x20) {
        WriteChar(Ch);
      }
      break;
  }
  DoChar(Ch);
}

bool TTermSession::ApplyCode(TEscapeCode Code, const TEscapeParams* Params) {
  const int P1 = TEscapeCodes::ParamValue(1, Params);
  const int P2 = TEscapeCodes::ParamValue(2, Params);
  const int X = CaretPos().X;
  const int Y = CaretPos().Y;
  switch (Code) {
    // The application cursor codes move the caret like the plain ones when received.
    case ecCursorUp:
    case ecAppCursorUp: PlaceCaret(X, MovedBy(Y, -static_cast<long long>(P1))); break;
    case ecCursorDown:
    case ecAppCursorDown: PlaceCaret(X, MovedBy(Y, P1)); break;
    case ecCursorLeft:
    case ecAppCursorLeft: PlaceCaret(MovedBy(X, -static_cast<long long>(P1)), Y); break;
    case ecCursorRight:
    case ecAppCursorRight: PlaceCaret(MovedBy(X, P1), Y); break;
    case ecCursorHome:
    case ecCursorMove: PlaceCaret(P2, P1); break;
    case ecReverseLineFeed: MoveCaret(cmReverseLineFeed); break;
    case ecEraseLineFrom: EraseLineFrom(X, Y); break;
    case ecEraseScreenFrom: EraseScreenFrom(X, Y); break;
    case ecEraseLine:
      EraseLineFrom(1, Y);
      PlaceCaret(1, Y);
      break;
    case ecEraseScreen:
      EraseScreenFrom(1, 1);
      PlaceCaret(1, 1);
      break;
    case ecSetTab: Buffer().SetTab(X, true); break;
    case ecClearTab: Buffer().SetTab(X, false); break;
    case ecClearAllTabs: Buffer().ClearTabs(); break;
    case ecIdentify: {
      const TEscapeParams Answer{"2"};
      SendAnswer(ecIdentResponse, &Answer);
      break;
    }
    case ecQueryDevice: SendAnswer(ecReportDeviceOK, nullptr); break;
    case ecQueryCursorPos: {
      const TEscapeParams Answer{std::to_string(Y), std::to_string(X)};
      SendAnswer(ecReportCursorPos, &Answer);
      break;
    }
    case ecAttributes: SetAttributes(Params != nullptr ? *Params : TEscapeParams{}); break;
    case ecSetMode: SetMode(Params != nullptr ? *Params : TEscapeParams{}, true); break;
    case ecResetMode: SetMode(Params != nullptr ? *Params : TEscapeParams{}, false); break;
    case ecReset: SetAttributes(TEscapeParams{"0"}); break;
    case ecSaveCaretAndAttr:
      SaveCaret();
      SaveAttr();
      break;
    case ecRestoreCaretAndAttr:
      RestoreCaret();
      RestoreAttr();
      break;
    case ecSaveCaret: SaveCaret(); break;
    case ecRestoreCaret: RestoreCaret(); break;
    case ecTest: FillScreen('E'); break;
    case ecUnknown:
    case ecNotCompleted:
    case ecIdentResponse:
    case ecReportDeviceOK:
    case ecReportDeviceFailure:
    case ecReportCursorPos:
      return false;
  }
  return true;
}
