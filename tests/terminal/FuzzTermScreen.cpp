// Runs arbitrary sequences of screen operations; the caret must stay inside the screen and the
// buffer must keep the screen's size whatever the order of size changes and movements.
#include "terminal/TermScreen.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class TReader {
 public:
  TReader(const uint8_t* Data, size_t Size) : FData(Data), FSize(Size) {}
  bool More() const { return FPos < FSize; }
  int Byte() { return FPos < FSize ? FData[FPos++] : 0; }
  int Signed() { return Byte() - 128; }
  TEscapeParams Params() {
    TEscapeParams List;
    for (int Count = Byte() % 4; Count > 0; --Count) {
      List.push_back(Byte() % 2 ? "?" + std::to_string(Byte() % 10) : std::to_string(Signed()));
    }
    return List;
  }

 private:
  const uint8_t* FData;
  size_t FSize;
  size_t FPos = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TTermScreen Screen;
  TReader Input(Data, Size);
  while (Input.More()) {
    switch (Input.Byte() % 14) {
      case 0: Screen.SetColumns(Input.Signed() * 3); break;
      case 1: Screen.SetRows(Input.Signed()); break;
      case 2: Screen.PlaceCaret(Input.Signed() * 2, Input.Signed()); break;
      case 3: Screen.MoveCaret(static_cast<TCaretMove>(Input.Byte() % 7)); break;
      case 4: Screen.WriteChar(static_cast<char>(Input.Byte())); break;
      case 5: Screen.EraseLineFrom(Input.Signed() * 2, Input.Signed()); break;
      case 6: Screen.EraseScreenFrom(Input.Signed() * 2, Input.Signed()); break;
      case 7: Screen.SetAttributes(Input.Params()); break;
      case 8: Screen.SetMode(Input.Params(), Input.Byte() % 2 == 0); break;
      case 9: Screen.SaveCaret(); Screen.SaveAttr(); break;
      case 10: Screen.RestoreCaret(); Screen.RestoreAttr(); break;
      case 11: Screen.FillScreen(static_cast<char>(Input.Byte())); break;
      case 12: Screen.Buffer().SetTab(Input.Signed() * 2, Input.Byte() % 2 == 0); break;
      case 13: Screen.Buffer().ClearTabs(); break;
    }
    const TTermPoint Caret = Screen.CaretPos();
    if (Caret.X < 1 || Caret.X > Screen.Columns() || Caret.Y < 1 || Caret.Y > Screen.Rows() ||
        Screen.Buffer().Columns() != Screen.Columns() || Screen.Buffer().Rows() != Screen.Rows()) {
      std::abort();
    }
  }
  return 0;
}
