// What unit gnugettext asks of the system (internal): reading files by their UTF-8 paths, where
// folders end, and the user's language when no variable names one. One file per platform.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The characters that end a folder in a path.
extern const char* const kPathSeparators;

// There, and not a folder.
bool CatalogFileExists(const std::string& path);

// The user's language as the system holds it ("tr_TR"), "" where only the variables tell.
std::string SystemLanguage();

// A regular file opened for reading.
class TCatalogFile {
 public:
  // IsOpen() is false when the path cannot be opened or is no regular file.
  explicit TCatalogFile(const std::string& path);
  ~TCatalogFile();
  TCatalogFile(const TCatalogFile&) = delete;
  TCatalogFile& operator=(const TCatalogFile&) = delete;
  bool IsOpen() const { return open_; }
  uint64_t Size() const { return size_; }
  // Bytes read at offset: 0 at the end, -1 with the system's reason in error.
  int64_t ReadAt(void* buffer, size_t length, uint64_t offset, std::string& error) const;

 private:
  intptr_t handle_ = -1;
  bool open_ = false;
  uint64_t size_ = 0;
};
