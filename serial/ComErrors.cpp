// EComPort, the table of error texts and the translation hook.
#include <array>
#include <cstdio>

#include "CPort.h"

namespace {

// Marks a text for the message catalogs; it is translated where it is used.
constexpr const char* gettext_noop(const char* text) { return text; }

const std::array<const char*, PortErrorCount> SourceTexts = {
    gettext_noop("Unable to open com port"),
    gettext_noop("WriteFile function failed"),
    gettext_noop("ReadFile function failed"),
    gettext_noop("Invalid Async parameter"),
    gettext_noop("PurgeComm function failed"),
    gettext_noop("Unable to get async status"),
    gettext_noop("SetCommState function failed"),
    gettext_noop("SetCommTimeouts failed"),
    gettext_noop("SetupComm function failed"),
    gettext_noop("ClearCommError function failed"),
    gettext_noop("GetCommModemStatus function failed"),
    gettext_noop("EscapeCommFunction function failed"),
    gettext_noop("TransmitCommChar function failed"),
    gettext_noop("Cannot set property while connected"),
    gettext_noop("EnumPorts function failed"),
    gettext_noop("Failed to store settings"),
    gettext_noop("Failed to load settings"),
    gettext_noop("Link (un)registration failed"),
    gettext_noop("Cannot change led state if ComPort is selected"),
    gettext_noop("Cannot wait for event if event thread is created"),
    gettext_noop("WaitForEvent method failed"),
    gettext_noop("A component is linked to OnRxBuf event"),
    gettext_noop("Registry error"),
};

const char* const SystemCodeSuffix = gettext_noop(" (win error code: %d)");

TPortTextTranslator Translator;
std::vector<std::string> Texts;  // built at start-up, indexed by code

}  // namespace

void SetPortTextTranslator(TPortTextTranslator ATranslator) { Translator = std::move(ATranslator); }

std::string TranslatePortText(const std::string& Text) { return Translator ? Translator(Text) : Text; }

const char* PortErrorSourceText(int Code) {
  if (Code < 1 || Code > PortErrorCount) return "";
  return SourceTexts[Code - 1];
}

void InitPortErrorTexts() {
  Texts.assign(1, std::string());
  for (int Code = 1; Code <= PortErrorCount; ++Code) Texts.push_back(TranslatePortText(SourceTexts[Code - 1]));
}

void FreePortErrorTexts() { std::vector<std::string>().swap(Texts); }

const std::vector<std::string>& PortErrorTexts() { return Texts; }

std::string PortErrorText(int Code) {
  if (Code < 1 || Code > PortErrorCount) return "";
  if (Texts.size() == static_cast<size_t>(PortErrorCount) + 1) return Texts[Code];
  return SourceTexts[Code - 1];
}

std::string FormatPortErrorMessage(const std::string& Pattern, int32_t SystemErrorCode) {
  std::string Result;
  Result.reserve(Pattern.size() + 12);
  bool CodeUsed = false;
  for (size_t I = 0; I < Pattern.size(); ++I) {
    if (Pattern[I] == '%' && I + 1 < Pattern.size()) {
      if (Pattern[I + 1] == '%') {
        Result += '%';
        ++I;
        continue;
      }
      if (Pattern[I + 1] == 'd' && !CodeUsed) {
        Result += std::to_string(SystemErrorCode);
        CodeUsed = true;
        ++I;
        continue;
      }
    }
    Result += Pattern[I];
  }
  return Result;
}

EComPort::EComPort(int AComErrorCode, int32_t ASystemErrorCode)
    : FSystemErrorCode(ASystemErrorCode), FComErrorCode(AComErrorCode) {
  FMessage = FormatPortErrorMessage(PortErrorText(AComErrorCode) + TranslatePortText(SystemCodeSuffix),
                                    ASystemErrorCode);
}

EComPort::EComPort(int AComErrorCode)
    : FSystemErrorCode(-1), FComErrorCode(AComErrorCode), FMessage(PortErrorText(AComErrorCode)) {}

namespace {
TComErrorDisplay ErrorDisplay;
}

void SetComErrorDisplay(TComErrorDisplay Display) { ErrorDisplay = std::move(Display); }

void ShowComError(const std::exception& Error) {
  if (ErrorDisplay)
    ErrorDisplay(Error);
  else
    std::fprintf(stderr, "%s\n", Error.what());
}
