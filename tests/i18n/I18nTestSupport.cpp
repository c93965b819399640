#include "I18nTestSupport.h"

#include <stdlib.h>

#include <algorithm>
#include <chrono>
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
  static unsigned counter = 0;
  fs::create_directories(I18N_TEST_SCRATCH);
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; path_.empty(); ++attempt) {
    const fs::path candidate =
        fs::path(I18N_TEST_SCRATCH) / (std::to_string(stamp) + "-" + std::to_string(counter++));
    if (fs::create_directory(candidate)) path_ = candidate.generic_string();
    if (attempt == 100) throw std::runtime_error("no scratch folder");
  }
}

TScratchDir::~TScratchDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TScratchDir::Put(const std::string& relative, const std::string& bytes) const {
  const fs::path full = fs::u8path(path_) / fs::u8path(relative);
  fs::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), std::streamsize(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + full.generic_u8string());
  return full.generic_u8string();
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

namespace {

void Assign(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
  // An empty value removes the variable there, as unsetenv does.
  _putenv_s(name.c_str(), value ? value->c_str() : "");
#else
  if (value)
    setenv(name.c_str(), value->c_str(), 1);
  else
    unsetenv(name.c_str());
#endif
}

}  // namespace

TEnvironment::~TEnvironment() {
  for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) Assign(it->first, it->second);
}

void TEnvironment::Set(const std::string& name, const std::optional<std::string>& value) {
  const char* old = getenv(name.c_str());
  saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
  Assign(name, value);
}
