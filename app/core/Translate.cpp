#include "Translate.h"

#include "gnugettext.h"

namespace varo {

namespace {

std::string Put(std::string text, const char* mark, const std::string& value) {
  for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + value.size()))
    text.replace(at, 2, value);
  return text;
}

std::string Translated(const char* source) {
  try {
    return TranslateText(source);
  } catch (...) {
    // A broken catalog never keeps a message from being shown.
    return source;
  }
}

}  // namespace

std::string Tr(const char* source) { return Translated(source); }

std::string Tr(const char* source, const std::string& first) { return Put(Translated(source), "%1", first); }

std::string Tr(const char* source, const std::string& first, const std::string& second) {
  return Put(Put(Translated(source), "%1", first), "%2", second);
}

}  // namespace varo
