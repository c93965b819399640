// What the settings stores share (internal): whole files read and replaced atomically, names
// matched as the registry and ini files match them.
#pragma once

#include <cerrno>
#include <cstddef>
#include <functional>
#include <string>

namespace cport_store {

// A settings file holds a few dozen short values; anything near this size is no settings file.
constexpr size_t MaxStoreFileSize = 1024 * 1024;

// 0 and the file's bytes, or the errno of the failed call (ENOENT for a missing file). Only a
// regular file is read (EISDIR for a folder, EINVAL for a FIFO or a device: reading them could
// block or never end), and none larger than MaxStoreFileSize (EFBIG).
int ReadWholeFile(const std::string& Path, std::string& Content);
// An errno of ReadWholeFile that says the file is no settings file at all (see above): the
// stores refuse it as a failed load, EComPort code 17.
inline bool NoSettingsFile(int Errno) { return Errno == EINVAL || Errno == EFBIG; }
// Writes Content to a new file beside Path, flushes it to the disk and renames it over Path
// (over a symbolic link's target, keeping the link). Keeps an existing file's permissions.
// 0, or the errno of the failed step with no temporary file left behind.
int ReplaceFile(const std::string& Path, const std::string& Content);
std::string ErrorText(int Errno);

// Calls Each with every line of Text from Start on, without its end: "\n" and any "\r" before it
// (stray ones too, or a rewrite would differ), and with its number counted from 1.
void ForEachLine(const std::string& Text, size_t Start, const std::function<void(std::string Line, size_t Number)>& Each);

// Equal after upper-casing ASCII letters only.
bool SameText(const std::string& A, const std::string& B);

}  // namespace cport_store
