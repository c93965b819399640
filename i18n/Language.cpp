#include <cstdlib>

#include "CatalogFile.h"
#include "gnugettext.h"

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

// "tr_TR.UTF-8@euro" and "sr_RS@latin" name the languages tr_TR and sr_RS.
std::string WithoutCodesetAndModifier(std::string_view locale) {
  return std::string(locale.substr(0, locale.find_first_of(".@")));
}

std::vector<std::string> Split(std::string_view list) {
  std::vector<std::string> parts;
  for (size_t start = 0;;) {
    const size_t colon = list.find(':', start);
    parts.emplace_back(list.substr(start, colon == std::string_view::npos ? colon : colon - start));
    if (colon == std::string_view::npos) return parts;
    start = colon + 1;
  }
}

std::string Joined(const std::vector<std::string>& languages) {
  std::string list;
  for (const std::string& language : languages) list += (list.empty() ? "" : ":") + language;
  return list;
}

}  // namespace

TLocaleEnvironment ReadLocaleEnvironment() {
  TLocaleEnvironment environment{Environment("LANGUAGE"), Environment("LC_ALL"), Environment("LC_MESSAGES"),
                                 Environment("LANG")};
  // Where no variable names a locale, the system's own setting does (Windows' display language).
  if (environment.LcAll.empty() && environment.LcMessages.empty() && environment.Lang.empty())
    environment.Lang = SystemLanguage();
  return environment;
}

std::vector<std::string> ChooseLanguages(const TLocaleEnvironment& environment) {
  std::string locale = environment.LcAll;
  if (locale.empty()) locale = environment.LcMessages;
  if (locale.empty()) locale = environment.Lang;
  const std::string language = WithoutCodesetAndModifier(locale);
  // Programs in the C locale must speak as POSIX says, so LANGUAGE is not asked then.
  if (language == "C" || language == "POSIX" || !IsSafeLanguage(language)) return {"C"};
  std::vector<std::string> chosen;
  for (const std::string& entry : Split(environment.Language)) {
    const std::string wanted = WithoutCodesetAndModifier(entry);
    if (IsSafeLanguage(wanted)) chosen.push_back(wanted);
  }
  if (chosen.empty()) chosen.push_back(language);
  return chosen;
}

std::string DetectLanguage() { return Joined(ChooseLanguages(ReadLocaleEnvironment())); }

std::vector<std::string> LanguageList(std::string_view code) {
  std::vector<std::string> languages;
  for (std::string& language : Split(code))
    if (IsSafeLanguage(language)) languages.push_back(std::move(language));
  if (languages.empty()) languages.push_back("C");
  return languages;
}

std::string SafeLanguage(std::string_view code) { return Joined(LanguageList(code)); }

bool IsSafeLanguage(std::string_view code) {
  if (code.empty() || code.front() == '.') return false;
  for (unsigned char c : code)
    if (c == '/' || c == ':' || c < 0x20 || c == 0x7f) return false;
  return true;
}
