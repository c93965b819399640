#include <unistd.h>

#include <atomic>

#include "gnugettext.h"

namespace {

std::shared_mutex gServiceLock;
std::unique_ptr<TAssemblyAnalyzer> gEmbedded;
std::unique_ptr<TGnuGettextInstance> gTranslator;
std::atomic<bool> gShuttingDown{false};

std::string ExecutablePath() {
  std::string path(4096, '\0');
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || size_t(length) >= path.size()) return "";
  path.resize(size_t(length));
  return path;
}

}  // namespace

void StartGnuGettext() {
  std::unique_lock<std::shared_mutex> held(gServiceLock);
  if (gTranslator) return;
  gShuttingDown = false;
  gEmbedded = std::make_unique<TAssemblyAnalyzer>(ExecutablePath(), EmbeddedCatalogTableOffset());
  gTranslator = std::make_unique<TGnuGettextInstance>(gEmbedded->ExecutableDirectory() + "locale",
                                                      gEmbedded.get());
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
