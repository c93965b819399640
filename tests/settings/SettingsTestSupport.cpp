#include "SettingsTestSupport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

TTempDir::TTempDir() {
  static std::atomic<unsigned> Counter{0};
  const auto Stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int Try = 0; FPath.empty(); ++Try) {
    const fs::path Candidate =
        fs::temp_directory_path() / ("varo-settings-" + std::to_string(Stamp) + "-" + std::to_string(Counter++));
    if (fs::create_directory(Candidate)) FPath = Candidate.generic_string();
    if (Try == 100) throw std::runtime_error("no temporary folder");
  }
}

TTempDir::~TTempDir() {
  std::error_code Ignored;
  fs::remove_all(FPath, Ignored);
}

std::string ReadFile(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  std::ostringstream S;
  S << In.rdbuf();
  return S.str();
}

void WriteFile(const std::string& Path, const std::string& Content) {
  std::ofstream(Path, std::ios::binary) << Content;
}

std::string ListDir(const std::string& Path) {
  std::vector<std::string> Names;
  std::error_code Ignored;
  for (const fs::directory_entry& E : fs::directory_iterator(fs::u8path(Path), Ignored)) Names.push_back(E.path().filename().u8string());
  std::sort(Names.begin(), Names.end());
  std::string All;
  for (const std::string& N : Names) All += (All.empty() ? "" : " ") + N;
  return All;
}
