// Helpers of the settings tests: a temporary folder, whole files, the error an action raises.
#pragma once

#include <functional>
#include <optional>
#include <string>

// A temporary folder, removed with everything in it.
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

// The error of type E that Action raises, if any.
template <typename E>
std::optional<E> ErrorOf(const std::function<void()>& Action) {
  try {
    Action();
  } catch (const E& Error) {
    return Error;
  }
  return std::nullopt;
}

template <typename E>
std::string MessageOf(const std::function<void()>& Action) {
  const std::optional<E> Error = ErrorOf<E>(Action);
  return Error ? Error->what() : "no error";
}
