#include <stdexcept>

#include "gnugettext.h"

TGnuGettextInstance::TGnuGettextInstance(std::string baseDirectory,
                                         const TAssemblyAnalyzer* embedded)
    : baseDirectory_(std::move(baseDirectory)), embedded_(embedded) {
  SelectLanguage("");
  SetDomainDirectory("default", baseDirectory_);
  SetCurrentDomain("default");
}

void TGnuGettextInstance::SelectLanguage(const std::string& code) {
  const std::string language = SafeLanguage(code.empty() ? DetectLanguage() : code);
  std::unique_lock<std::shared_mutex> held(tableLock_);
  language_ = language;
  for (auto& domain : domains_) domain->SetLanguage(language_);
}

void TGnuGettextInstance::SetDomainDirectory(const std::string& domain,
                                             const std::string& directory) {
  FindDomain(domain).SetDirectory(directory);
}

void TGnuGettextInstance::SetCurrentDomain(const std::string& domain) {
  std::unique_lock<std::shared_mutex> held(tableLock_);
  currentDomain_ = domain;
}

std::string TGnuGettextInstance::CurrentLanguage() const {
  std::shared_lock<std::shared_mutex> held(tableLock_);
  return language_;
}

std::string TGnuGettextInstance::CurrentDomain() const {
  std::shared_lock<std::shared_mutex> held(tableLock_);
  return currentDomain_;
}

// Domains are only added before shut-down, so a reference stays valid without the lock.
TDomain& TGnuGettextInstance::FindDomain(const std::string& name) {
  {
    std::shared_lock<std::shared_mutex> held(tableLock_);
    for (auto& domain : domains_)
      if (SameTextAscii(domain->Name(), name)) return *domain;
  }
  std::unique_lock<std::shared_mutex> held(tableLock_);
  for (auto& domain : domains_)
    if (SameTextAscii(domain->Name(), name)) return *domain;
  domains_.push_back(std::make_unique<TDomain>(name, baseDirectory_, language_, embedded_));
  return *domains_.back();
}

std::string TGnuGettextInstance::TranslateInDomain(const std::string& domain,
                                                   const std::string& text) {
  TDomain& found = FindDomain(domain);
  const std::string key = RemoveCarriageReturns(text);
  // The empty text would find the catalog's header entry.
  if (key.empty()) return key;
  std::string result;
  bool valid = true;
  const bool translated = found.Lookup(key, [&](std::string_view translation) {
    valid = IsValidUtf8(translation) && !translation.empty();
    if (valid) result = InsertCarriageReturns(translation);
  });
  if (!translated) return InsertCarriageReturns(key);
  if (!valid)
    throw std::runtime_error("Error: Could not translate " + text +
                             ". Probably because the mo file doesn't contain utf-8 encoded "
                             "translations.");
  return result;
}

std::string TGnuGettextInstance::TranslateText(const std::string& text) {
  return TranslateInDomain(CurrentDomain(), text);
}

void TGnuGettextInstance::AddResourceDomain(const std::string& domain) {
  std::unique_lock<std::shared_mutex> held(resourceLock_);
  resourceDomains_.push_back(domain);
}

// A domain without a translation still changes line ends, so a result counts as translated
// only when it differs from that.
std::string TGnuGettextInstance::TranslateResourceText(const std::string& text) {
  const std::string untranslated = InsertCarriageReturns(RemoveCarriageReturns(text));
  std::shared_lock<std::shared_mutex> held(resourceLock_);
  for (const std::string& domain : resourceDomains_) {
    std::string result = TranslateInDomain(domain, text);
    if (result != untranslated) return result;
  }
  return text;
}
