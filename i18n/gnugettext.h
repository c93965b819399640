// Message translation from GNU gettext MO catalogs. Texts are UTF-8 throughout.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <shared_mutex>
#include <string>
#include <string_view>
#include <vector>

// ---- text helpers -------------------------------------------------------------------------

bool SameTextAscii(std::string_view a, std::string_view b);

struct TTextLessAscii {
  bool operator()(const std::string& a, const std::string& b) const;
};

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view s);
std::string RemoveCarriageReturns(std::string_view s);
// Puts a carriage return before every line feed that does not already follow one.
std::string InsertCarriageReturns(std::string_view s);

// ---- language -----------------------------------------------------------------------------

// The variables that choose the language of messages, as the environment holds them.
struct TLocaleEnvironment {
  std::string Language;  // GNU's LANGUAGE: languages separated by ":", best first
  std::string LcAll;
  std::string LcMessages;
  std::string Lang;
};
TLocaleEnvironment ReadLocaleEnvironment();
// The messages locale is the first set of LC_ALL, LC_MESSAGES and LANG; unless it is C or POSIX
// (or none is set: {"C"}), LANGUAGE's entries come in its place. Every name loses its codeset
// (from ".") and modifier (from "@"); names unfit for a path are left out.
std::vector<std::string> ChooseLanguages(const TLocaleEnvironment& environment);
// ChooseLanguages for this process's environment, joined by ":", e.g. "de:tr" or "tr_TR".
std::string DetectLanguage();
// The entries of a language list such as "de:tr_TR", best first; unsafe entries are left out,
// and a list left empty is {"C"}.
std::vector<std::string> LanguageList(std::string_view code);
// The same list joined by ":" again.
std::string SafeLanguage(std::string_view code);
bool IsSafeLanguage(std::string_view code);

// ---- one MO catalog held in memory --------------------------------------------------------

class TMoCatalog {
 public:
  static constexpr uint32_t kMagic = 0x950412de;
  static constexpr uint32_t kSwappedMagic = 0xde120495;
  static constexpr uint64_t kHeaderSize = 28;

  // Takes the bytes only if the header, the magic and both string tables lie inside them;
  // otherwise the catalog stays without entries. A catalog whose source strings all lie inside
  // it, sorted and each once, as msgfmt writes them, also gets an index by hash: a search then
  // finds exactly what the binary search would, in fewer steps. The bytes must outlive the catalog.
  bool Attach(const unsigned char* base, uint64_t size);
  void Detach() { *this = TMoCatalog(); }

  uint32_t Count() const { return count_; }
  bool Swapped() const { return swapped_; }
  // Binary search over the sorted source strings; an entry pointing outside the bytes is
  // never read and ends the search without a result.
  std::optional<std::string_view> Find(std::string_view text) const;

 private:
  template <bool Swap>
  std::optional<std::string_view> FindIn(std::string_view text) const;
  template <bool Swap>
  std::optional<std::string_view> FindHashed(std::string_view text) const;
  template <bool Swap>
  std::optional<std::string_view> StringAt(uint32_t table, uint32_t index) const;
  template <bool Swap>
  void BuildIndex();

  // Open addressing, a power of two long: the upper half of the text's hash beside its index + 1,
  // 0 for a free slot. Empty when the catalog is searched by halves only.
  std::vector<uint64_t> slots_;
  const unsigned char* base_ = nullptr;
  uint64_t size_ = 0;
  uint32_t count_ = 0;
  uint32_t sourceTable_ = 0;
  uint32_t translationTable_ = 0;
  bool swapped_ = false;
};

// ---- catalogs embedded in the executable --------------------------------------------------

struct TAssemblyFileInfo {
  uint64_t Offset = 0;
  uint64_t Size = 0;
};

// The offset written after the 36-character marker by a packaging step; 0 when none.
uint64_t EmbeddedCatalogTableOffset();

class TCatalogFile;

class TAssemblyAnalyzer {
 public:
  TAssemblyAnalyzer() = default;
  // Reads the chain of records starting at tableOffset (0: none) from the executable. Any
  // failure ends the reading silently; the entries read before it stay.
  TAssemblyAnalyzer(std::string executablePath, uint64_t tableOffset);

  const std::string& ExecutablePath() const { return executablePath_; }
  // With a trailing separator.
  const std::string& ExecutableDirectory() const { return executableDirectory_; }
  size_t Count() const { return files_.size(); }
  // Only paths inside the executable's directory can be embedded.
  std::optional<TAssemblyFileInfo> FindByPath(const std::string& path) const;

 private:
  void ReadChain(const TCatalogFile& file, uint64_t fileSize, uint64_t offset);

  std::string executablePath_;
  std::string executableDirectory_;
  std::map<std::string, TAssemblyFileInfo, TTextLessAscii> files_;
};

// ---- one domain's catalog in one language -------------------------------------------------

class TDomain {
 public:
  TDomain(std::string name, std::string directory, std::string language,
          const TAssemblyAnalyzer* embedded);
  ~TDomain();
  TDomain(const TDomain&) = delete;
  TDomain& operator=(const TDomain&) = delete;

  const std::string& Name() const { return name_; }
  void SetDirectory(const std::string& directory);
  void SetLanguage(const std::string& language);
  // The file the open catalog was read from ("" when none is open).
  std::string CatalogPath() const;

  // The largest catalog read; a larger one fails to open with an error that says so.
  static constexpr uint64_t kMaxCatalogSize = 16 * 1024 * 1024;

  // Opens the catalog at the first lookup (throwing std::runtime_error on failure) and calls
  // use(translation) while the catalog is held; false when there is no translation.
  // The catalog is read into memory whole when it opens: whatever later happens to its file
  // (cut short, rewritten in place) cannot reach the texts in use.
  template <class F>
  bool Lookup(std::string_view text, F&& use) {
    std::shared_lock<std::shared_mutex> held = LockReady();
    std::optional<std::string_view> found = catalog_.Find(text);
    if (!found) return false;
    use(*found);
    return true;
  }

 private:
  std::shared_lock<std::shared_mutex> LockReady();
  void OpenIfNeeded();
  void Close();
  bool CandidatePresent(const std::string& path, std::optional<TAssemblyFileInfo>* embedded) const;
  // Each language of the list, then its first two letters: the first catalog present.
  std::optional<std::string> FindCatalog(std::optional<TAssemblyFileInfo>* embedded) const;

  mutable std::shared_mutex lock_;
  std::string name_;
  std::string directory_;
  std::string language_;
  const TAssemblyAnalyzer* embedded_;
  bool open_ = false;
  bool searchNeeded_ = true;
  std::vector<unsigned char> bytes_;
  std::string path_;
  TMoCatalog catalog_;
};

// ---- the translator -----------------------------------------------------------------------

class TGnuGettextInstance {
 public:
  // baseDirectory is where catalogs are looked for (<dir>/<lang>/LC_MESSAGES/<domain>.mo).
  // Detects the language, binds "default" there and makes it the current domain.
  explicit TGnuGettextInstance(std::string baseDirectory,
                               const TAssemblyAnalyzer* embedded = nullptr);
  TGnuGettextInstance(const TGnuGettextInstance&) = delete;
  TGnuGettextInstance& operator=(const TGnuGettextInstance&) = delete;

  // Empty: detect it. A list ("de:tr") is searched in its order; a name unfit for a path is
  // left out of it, and a list left empty selects "C".
  void SelectLanguage(const std::string& code);
  void SetDomainDirectory(const std::string& domain, const std::string& directory);
  void SetCurrentDomain(const std::string& domain);
  std::string CurrentLanguage() const;
  std::string CurrentDomain() const;
  const std::string& BaseDirectory() const { return baseDirectory_; }

  // Line ends come back as CR LF. Throws std::runtime_error when a catalog cannot be opened,
  // is not an MO catalog, or holds a translation that is not UTF-8.
  std::string TranslateInDomain(const std::string& domain, const std::string& text);
  std::string TranslateText(const std::string& text);

  // Built-in texts of the runtime go through these domains, "default" first.
  void AddResourceDomain(const std::string& domain);
  std::string TranslateResourceText(const std::string& text);

 private:
  TDomain& FindDomain(const std::string& name);

  const std::string baseDirectory_;
  const TAssemblyAnalyzer* const embedded_;

  mutable std::shared_mutex tableLock_;  // guards the three below
  std::string language_;
  std::string currentDomain_ = "default";
  std::vector<std::unique_ptr<TDomain>> domains_;

  mutable std::shared_mutex resourceLock_;
  std::vector<std::string> resourceDomains_{"default"};
};

// ---- the process-wide service -------------------------------------------------------------

// The running program's file (empty when the system cannot tell).
std::string ExecutablePath();

// Start-up: remembers the executable, reads its embedded catalogs and creates the translator
// with catalogs under baseDirectory, or <executable's directory>/locale when it is empty. Does
// nothing when already started.
void StartGnuGettext(const std::string& baseDirectory = {});
// Shut-down: from its first step on TranslateResourceText passes texts unchanged; then frees
// the translator (closing every catalog) and the embedded-catalog table.
void StopGnuGettext();
// The translator between start-up and shut-down, else nullptr.
TGnuGettextInstance* GnuGettext();

// Outside start-up..shut-down these return the text unchanged.
std::string TranslateText(const std::string& text);
void AddResourceDomain(const std::string& domain);
std::string TranslateResourceText(const std::string& text);
