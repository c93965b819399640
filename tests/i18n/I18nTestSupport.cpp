#include "I18nTestSupport.h"

#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

std::string CatalogFile(const std::string& name) { return std::string(I18N_TEST_CATALOGS) + "/" + name; }

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "(no error)";
}

TScratchDir::TScratchDir() {
  fs::create_directories(I18N_TEST_SCRATCH);
  std::string pattern = std::string(I18N_TEST_SCRATCH) + "/XXXXXX";
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TScratchDir::~TScratchDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TScratchDir::Put(const std::string& relative, const std::string& bytes) const {
  const fs::path full = fs::path(path_) / relative;
  fs::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + full.string());
  return full.string();
}

std::string TScratchDir::PutCatalog(const std::string& language, const std::string& domain,
                                    const std::string& catalog) const {
  return Put(language + "/LC_MESSAGES/" + domain + ".mo", ReadFile(CatalogFile(catalog)));
}

namespace {

void PutWord(std::string& out, size_t at, uint32_t value, bool bigEndian) {
  for (int i = 0; i < 4; ++i) {
    const int shift = bigEndian ? 24 - 8 * i : 8 * i;
    out[at + size_t(i)] = char((value >> shift) & 0xff);
  }
}

}  // namespace

std::string MakeMo(TEntries entries, bool bigEndian) {
  std::sort(entries.begin(), entries.end());
  const uint32_t n = uint32_t(entries.size());
  const uint32_t sources = 28, translations = sources + 8 * n;
  std::string out(translations + 8 * n, '\0');
  PutWord(out, 0, 0x950412de, bigEndian);
  PutWord(out, 8, n, bigEndian);
  PutWord(out, 12, sources, bigEndian);
  PutWord(out, 16, translations, bigEndian);
  PutWord(out, 24, uint32_t(out.size()), bigEndian);
  auto place = [&](uint32_t table, uint32_t index, const std::string& s) {
    PutWord(out, table + 8 * index, uint32_t(s.size()), bigEndian);
    PutWord(out, table + 8 * index + 4, uint32_t(out.size()), bigEndian);
    out += s;
    out.push_back('\0');
  };
  for (uint32_t i = 0; i < n; ++i) place(sources, i, entries[i].first);
  for (uint32_t i = 0; i < n; ++i) place(translations, i, entries[i].second);
  return out;
}

TEnvironment::~TEnvironment() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
    if (it->second)
      setenv(it->first.c_str(), it->second->c_str(), 1);
    else
      unsetenv(it->first.c_str());
  }
}

void TEnvironment::Set(const std::string& name, const std::optional<std::string>& value) {
  const char* old = getenv(name.c_str());
  saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
  if (value)
    setenv(name.c_str(), value->c_str(), 1);
  else
    unsetenv(name.c_str());
}
