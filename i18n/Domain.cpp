#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "CatalogFile.h"
#include "gnugettext.h"

namespace {

std::string WithTrailingSeparator(std::string directory) {
  if (directory.empty() || !std::strchr(kPathSeparators, directory.back())) directory.push_back('/');
  return directory;
}

}  // namespace

TDomain::TDomain(std::string name, std::string directory, std::string language,
                 const TAssemblyAnalyzer* embedded)
    : name_(std::move(name)),
      directory_(WithTrailingSeparator(std::move(directory))),
      language_(std::move(language)),
      embedded_(embedded) {}

TDomain::~TDomain() { Close(); }

void TDomain::SetDirectory(const std::string& directory) {
  std::unique_lock<std::shared_mutex> held(lock_);
  directory_ = WithTrailingSeparator(directory);
  Close();
  searchNeeded_ = true;
}

void TDomain::SetLanguage(const std::string& language) {
  std::unique_lock<std::shared_mutex> held(lock_);
  language_ = language;
  Close();
  searchNeeded_ = true;
}

std::string TDomain::CatalogPath() const {
  std::shared_lock<std::shared_mutex> held(lock_);
  return open_ ? path_ : std::string();
}

// A language change between the two locks leaves the catalog closed; the lookup then finds
// nothing this once.
std::shared_lock<std::shared_mutex> TDomain::LockReady() {
  std::shared_lock<std::shared_mutex> held(lock_);
  if (open_ || !searchNeeded_) return held;
  held.unlock();
  {
    std::unique_lock<std::shared_mutex> writing(lock_);
    OpenIfNeeded();
  }
  held.lock();
  return held;
}

bool TDomain::CandidatePresent(const std::string& path,
                               std::optional<TAssemblyFileInfo>* embedded) const {
  *embedded = embedded_ ? embedded_->FindByPath(path) : std::nullopt;
  return embedded->has_value() || CatalogFileExists(path);
}

std::optional<std::string> TDomain::FindCatalog(std::optional<TAssemblyFileInfo>* embedded) const {
  const std::string tail = "/LC_MESSAGES/" + name_ + ".mo";
  for (const std::string& language : LanguageList(language_)) {
    for (const std::string& folder : {language, language.substr(0, 2)}) {
      std::string candidate = directory_ + folder + tail;
      if (CandidatePresent(candidate, embedded)) return candidate;
    }
  }
  return std::nullopt;
}

void TDomain::OpenIfNeeded() {
  if (open_ || !searchNeeded_) return;
  std::optional<TAssemblyFileInfo> embedded;
  const std::optional<std::string> candidate = FindCatalog(&embedded);
  if (!candidate) {
    searchNeeded_ = false;
    return;
  }
  const std::string path = embedded ? embedded_->ExecutablePath() : *candidate;

  const TCatalogFile file(path);
  if (!file.IsOpen()) throw std::runtime_error("Cannot open file " + path);
  const uint64_t fileSize = file.Size();
  uint64_t offset = 0, size = fileSize;
  if (embedded) {
    offset = embedded->Offset;
    size = embedded->Size;
  }
  const bool inside = offset <= fileSize && size <= fileSize - offset;
  if (inside && size > kMaxCatalogSize)
    throw std::runtime_error("The catalog file " + path + " is larger than " +
                             std::to_string(kMaxCatalogSize / (1024 * 1024)) + " MiB; it is not read");

  std::vector<unsigned char> bytes(inside ? size : 0);
  for (uint64_t done = 0; done < bytes.size();) {
    std::string error;
    const int64_t n = file.ReadAt(bytes.data() + done, size_t(bytes.size() - done), offset + done, error);
    if (n <= 0) {
      const std::string reason = n < 0 ? error : "the file became shorter";
      throw std::runtime_error("Cannot read file " + path + ". Reason: " + reason.substr(0, 2000));
    }
    done += uint64_t(n);
  }
  bytes_ = std::move(bytes);
  path_ = path;
  open_ = true;
  if (!inside || !catalog_.Attach(bytes_.data(), bytes_.size()))
    throw std::runtime_error("This file is not a valid GNU gettext mo file: " + path);
}

void TDomain::Close() {
  catalog_.Detach();
  std::vector<unsigned char>().swap(bytes_);
  path_.clear();
  open_ = false;
}
