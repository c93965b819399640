#include "shell/ResourceTextTranslator.h"

#include <exception>

#include "gnugettext.h"

namespace {

// The catalog layer gives CR LF line ends; Qt's texts use LF alone.
std::string WithoutCarriageReturnsBeforeLineFeeds(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i)
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) result += text[i];
  return result;
}

}  // namespace

QString TResourceTextTranslator::translate(const char*, const char* sourceText, const char*, int) const {
  if (!sourceText) return {};
  try {
    const std::string text(sourceText);
    const std::string result = TranslateResourceText(text);
    if (result == text) return {};
    return QString::fromStdString(WithoutCarriageReturnsBeforeLineFeeds(result));
  } catch (const std::exception& e) {
    Report(e.what());
  } catch (...) {
    Report("Unknown error while translating \"" + std::string(sourceText) + "\"");
  }
  return {};
}

void TResourceTextTranslator::Report(const std::string& problem) const {
  {
    const std::lock_guard<std::mutex> held(ReportedLock_);
    if (!Reported_.insert(problem).second) return;
  }
  qWarning("%s", problem.c_str());
}
