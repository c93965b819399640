// Feeds arbitrary received batches through the terminal's receive path, switching emulation and
// flags between batches and from inside its events; the caret must stay inside the screen and
// every byte that is not an escape byte must reach OnChar under teNone.
#include "terminal/TermSession.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  TTermSession Session;
  std::size_t Chars = 0;
  std::size_t Pos = 0;
  auto Next = [&] { return Pos < Size ? Data[Pos++] : 0; };
  Session.OnChar = [&](TObject*, char Ch) {
    ++Chars;
    // Now and then a handler changes the emulation in the middle of a batch.
    if (Ch == '\x7f') Session.SetEmulation(static_cast<TTermEmulation>(Chars % 3));
  };
  Session.OnUnhandledCode = [&](TObject*, TEscapeCode, const std::string& Data) {
    if (!Data.empty() && Data.back() == '~') Session.SetEmulation(teVT52);
  };
  while (Pos < Size) {
    const int Flags = Next();
    Session.SetEmulation(static_cast<TTermEmulation>(Flags % 3));
    Session.SetAppendLF((Flags & 4) != 0);
    Session.SetForce7Bit((Flags & 8) != 0);
    const std::size_t Length = std::min<std::size_t>(Next(), Size - Pos);
    // Without a parser every byte is a character, unless a handler switched the emulation.
    bool Whole = Session.EscapeCodes() == nullptr && (Flags & 4) == 0;
    for (std::size_t Index = Pos; Index < Pos + Length; ++Index) {
      Whole = Whole && (Data[Index] & ((Flags & 8) ? 0x7F : 0xFF)) != 0x7F;
    }
    const std::size_t Before = Chars;
    Session.ReceiveBlock(nullptr, Data + Pos, static_cast<int32_t>(Length));
    if (Whole && Chars - Before != Length) {
      std::abort();
    }
    Pos += Length;
    const TTermPoint Caret = Session.CaretPos();
    if (Caret.X < 1 || Caret.X > Session.Columns() || Caret.Y < 1 || Caret.Y > Session.Rows()) {
      std::abort();
    }
  }
  return 0;
}
