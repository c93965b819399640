// A temporary folder for the store tests, removed with everything in it.
#pragma once

#include <string>

class TTempDir {
 public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;
  std::string operator/(const std::string& Name) const { return FPath + "/" + Name; }
  const std::string& Path() const { return FPath; }

 private:
  std::string FPath;
};

std::string ReadFile(const std::string& Path);
void WriteFile(const std::string& Path, const std::string& Content);
// Names in a folder, sorted.
std::string ListDir(const std::string& Path);
