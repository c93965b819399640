#include "SettingsTestSupport.h"

#include <dirent.h>
#include <ftw.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

TTempDir::TTempDir() {
  const char* Base = std::getenv("TMPDIR");
  std::string Template = std::string(Base && *Base ? Base : "/tmp") + "/varo-settings-XXXXXX";
  if (!::mkdtemp(Template.data())) throw std::runtime_error("mkdtemp failed");
  FPath = Template;
}

TTempDir::~TTempDir() {
  auto Remove = [](const char* Path, const struct stat*, int, FTW*) { return ::remove(Path); };
  ::nftw(FPath.c_str(), Remove, 16, FTW_DEPTH | FTW_PHYS);
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
  if (DIR* D = ::opendir(Path.c_str())) {
    while (dirent* E = ::readdir(D))
      if (std::string(E->d_name) != "." && std::string(E->d_name) != "..") Names.push_back(E->d_name);
    ::closedir(D);
  }
  std::sort(Names.begin(), Names.end());
  std::string All;
  for (const std::string& N : Names) All += (All.empty() ? "" : " ") + N;
  return All;
}
