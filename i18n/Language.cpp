#include <cstdlib>

#include "gnugettext.h"

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool TwoLetters(std::string_view s) {
  auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
  return s.size() == 2 && letter(s[0]) && letter(s[1]);
}

// The user's locale as the C library would take it for messages, e.g. "tr_TR.UTF-8@euro".
std::string UserLocaleLanguage() {
  std::string locale = Environment("LC_ALL");
  if (locale.empty()) locale = Environment("LC_MESSAGES");
  const std::string_view name = std::string_view(locale).substr(0, locale.find_first_of(".@"));
  const size_t underscore = name.find('_');
  const std::string_view language = name.substr(0, underscore);
  if (!TwoLetters(language)) return "C";
  if (underscore == std::string_view::npos) return std::string(language);
  const std::string_view country = name.substr(underscore + 1);
  if (!TwoLetters(country)) return "C";
  return std::string(language) + "_" + std::string(country);
}

}  // namespace

std::string DetectLanguage() {
  std::string code = Environment("LANG");
  if (code.empty()) code = UserLocaleLanguage();
  const size_t dot = code.find('.');
  if (dot != std::string::npos) code.erase(dot);
  return code;
}

bool IsSafeLanguage(std::string_view code) {
  if (code.empty() || code.front() == '.') return false;
  for (unsigned char c : code)
    if (c == '/' || c < 0x20 || c == 0x7f) return false;
  return true;
}
