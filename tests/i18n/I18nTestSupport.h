#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

std::string CatalogFile(const std::string& name);
std::string ReadFile(const std::string& path);
// The message of the std::runtime_error that action throws, else "(no error)".
std::string ErrorOf(const std::function<void()>& action);

// A fresh folder under the build tree, removed with its contents at the end.
class TScratchDir {
 public:
  TScratchDir();
  ~TScratchDir();
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;

  const std::string& Path() const { return path_; }
  // Writes bytes to <folder>/<relative>, creating folders; returns the full path.
  std::string Put(const std::string& relative, const std::string& bytes) const;
  // Copies a catalog made at build time to <folder>/<language>/LC_MESSAGES/<domain>.mo.
  std::string PutCatalog(const std::string& language, const std::string& domain,
                         const std::string& catalog) const;

 private:
  std::string path_;
};

using TEntries = std::vector<std::pair<std::string, std::string>>;
// An MO catalog laid out as msgfmt does (no hash table), sorted by source bytes.
std::string MakeMo(TEntries entries, bool bigEndian = false);

// Environment variables changed for one scope.
class TEnvironment {
 public:
  TEnvironment() = default;
  ~TEnvironment();
  TEnvironment(const TEnvironment&) = delete;
  TEnvironment& operator=(const TEnvironment&) = delete;
  void Set(const std::string& name, const std::optional<std::string>& value);

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};
