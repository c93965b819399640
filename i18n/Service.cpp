#include <atomic>

#include "gnugettext.h"

namespace {

std::shared_mutex gServiceLock;
std::unique_ptr<TAssemblyAnalyzer> gEmbedded;
std::unique_ptr<TGnuGettextInstance> gTranslator;
std::atomic<bool> gShuttingDown{false};

}  // namespace

void StartGnuGettext(const std::string& baseDirectory) {
  std::unique_lock<std::shared_mutex> held(gServiceLock);
  if (gTranslator) return;
  gShuttingDown = false;
  gEmbedded = std::make_unique<TAssemblyAnalyzer>(ExecutablePath(), EmbeddedCatalogTableOffset());
  gTranslator = std::make_unique<TGnuGettextInstance>(
      baseDirectory.empty() ? gEmbedded->ExecutableDirectory() + "locale" : baseDirectory, gEmbedded.get());
}

void StopGnuGettext() {
  gShuttingDown = true;
  std::unique_lock<std::shared_mutex> held(gServiceLock);
  gTranslator.reset();
  gEmbedded.reset();
}

TGnuGettextInstance* GnuGettext() {
  std::shared_lock<std::shared_mutex> held(gServiceLock);
  return gTranslator.get();
}

std::string TranslateText(const std::string& text) {
  std::shared_lock<std::shared_mutex> held(gServiceLock);
  return gTranslator ? gTranslator->TranslateText(text) : text;
}

void AddResourceDomain(const std::string& domain) {
  std::shared_lock<std::shared_mutex> held(gServiceLock);
  if (gTranslator) gTranslator->AddResourceDomain(domain);
}

std::string TranslateResourceText(const std::string& text) {
  if (gShuttingDown) return text;
  std::shared_lock<std::shared_mutex> held(gServiceLock);
  return gTranslator ? gTranslator->TranslateResourceText(text) : text;
}
