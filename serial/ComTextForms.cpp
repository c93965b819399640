// Text forms of the port settings, as settings storage writes and reads them.
#include <cstddef>

#include "CPort.h"

namespace {

const char* const BaudRateTexts[] = {"Custom", "110",   "300",   "600",    "1200",   "2400",
                                     "4800",   "9600",  "14400", "19200",  "38400",  "56000",
                                     "57600",  "115200", "128000", "256000"};
const char* const StopBitsTexts[] = {"1", "1.5", "2"};
const char* const DataBitsTexts[] = {"5", "6", "7", "8"};
const char* const ParityTexts[] = {"None", "Odd", "Even", "Mark", "Space"};
const char* const FlowControlTexts[] = {"Hardware", "Software", "None", "Custom"};
const char* const DTRTexts[] = {"Disable", "Enable", "Handshake"};
const char* const RTSTexts[] = {"Disable", "Enable", "Handshake", "Toggle"};

// Locale-free on purpose: a Turkish locale would otherwise turn a dotless i into "I".
std::string AsciiUpper(const std::string& Text) {
  std::string Upper = Text;
  for (char& C : Upper)
    if (C >= 'a' && C <= 'z') C = static_cast<char>(C - 'a' + 'A');
  return Upper;
}

template <typename E, size_t N>
std::string TextOf(const char* const (&Texts)[N], E Value) {
  const size_t Index = static_cast<size_t>(Value);
  return Index < N ? Texts[Index] : std::string();
}

template <typename E, size_t N>
E ValueOf(const char* const (&Texts)[N], const std::string& Text, E Fallback) {
  const std::string Upper = AsciiUpper(Text);
  for (size_t I = 0; I < N; ++I)
    if (AsciiUpper(Texts[I]) == Upper) return static_cast<E>(I);
  return Fallback;
}

int HexDigit(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

}  // namespace

std::string BaudRateText(TBaudRate Value) { return TextOf(BaudRateTexts, Value); }
TBaudRate BaudRateFromText(const std::string& Text) { return ValueOf(BaudRateTexts, Text, br9600); }
std::string StopBitsText(TStopBits Value) { return TextOf(StopBitsTexts, Value); }
TStopBits StopBitsFromText(const std::string& Text) { return ValueOf(StopBitsTexts, Text, sbOneStopBit); }
std::string DataBitsText(TDataBits Value) { return TextOf(DataBitsTexts, Value); }
TDataBits DataBitsFromText(const std::string& Text) { return ValueOf(DataBitsTexts, Text, dbEight); }
std::string ParityText(TParityBits Value) { return TextOf(ParityTexts, Value); }
TParityBits ParityFromText(const std::string& Text) { return ValueOf(ParityTexts, Text, prNone); }
std::string FlowControlText(TFlowControl Value) { return TextOf(FlowControlTexts, Value); }
TFlowControl FlowControlFromText(const std::string& Text) { return ValueOf(FlowControlTexts, Text, fcCustom); }
std::string DTRText(TDTRFlowControl Value) { return TextOf(DTRTexts, Value); }
TDTRFlowControl DTRFromText(const std::string& Text) { return ValueOf(DTRTexts, Text, dtrDisable); }
std::string RTSText(TRTSFlowControl Value) { return TextOf(RTSTexts, Value); }
TRTSFlowControl RTSFromText(const std::string& Text) { return ValueOf(RTSTexts, Text, rtsDisable); }
std::string BoolText(bool Value) { return Value ? "Yes" : "No"; }
bool BoolFromText(const std::string& Text) { return AsciiUpper(Text) == "YES"; }

std::string CharText(char Value) {
  const unsigned Code = static_cast<unsigned char>(Value);
  if (Code >= 33 && Code <= 127) return std::string(1, Value);
  return "#" + std::to_string(Code);
}

char CharFromText(const std::string& Text) {
  if (Text.empty()) return 0;
  if (Text[0] == '#' && Text.size() > 1) {
    int32_t Code = 0;
    if (!TryStrToInt(Text.substr(1), Code)) return 0;
    return static_cast<char>(static_cast<uint32_t>(Code) & 0xFF);
  }
  return Text[0];
}

bool TryStrToInt(const std::string& Text, int32_t& Value) {
  size_t I = 0;
  while (I < Text.size() && (Text[I] == ' ' || Text[I] == '\t')) ++I;
  bool Negative = false;
  if (I < Text.size() && (Text[I] == '+' || Text[I] == '-')) Negative = Text[I++] == '-';
  bool Hex = false;
  if (I < Text.size() && Text[I] == '$') {
    Hex = true;
    ++I;
  } else if (I + 1 < Text.size() && Text[I] == '0' && (Text[I + 1] == 'x' || Text[I + 1] == 'X')) {
    Hex = true;
    I += 2;
  }
  if (I == Text.size()) return false;
  // Hexadecimal may use all 32 bits; decimal must fit the signed range.
  const uint64_t Limit = Hex ? 0xFFFFFFFFull : (Negative ? 0x80000000ull : 0x7FFFFFFFull);
  uint64_t Magnitude = 0;
  for (; I < Text.size(); ++I) {
    const int Digit = Hex ? HexDigit(Text[I]) : (Text[I] >= '0' && Text[I] <= '9' ? Text[I] - '0' : -1);
    if (Digit < 0) return false;
    Magnitude = Magnitude * (Hex ? 16 : 10) + static_cast<uint64_t>(Digit);
    if (Magnitude > Limit) return false;
  }
  const uint32_t Bits = static_cast<uint32_t>(Negative ? 0 - Magnitude : Magnitude);
  Value = static_cast<int32_t>(Bits);
  return true;
}
