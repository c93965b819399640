// What the settings stores share (internal): whole files read and replaced atomically, names
// matched as the registry and ini files match them.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace cport_store {

// A settings file holds a few dozen short values; anything near this size is no settings file.
constexpr size_t MaxStoreFileSize = 1024 * 1024;

// The functions below give 0, or the system's error code of the failed call (errno on POSIX,
// GetLastError on Windows). One file per system: serial/posix, serial/win32.

// 0 and the file's bytes. Only a regular file is read (not a folder; not a FIFO or a device:
// reading them could block or never end), and none larger than MaxStoreFileSize.
int ReadWholeFile(const std::string& Path, std::string& Content);
// A code of ReadWholeFile that says the file is no settings file at all (see above): the
// stores refuse it as a failed load, EComPort code 17.
bool NoSettingsFile(int Code);
// A code that says there is no such file.
bool MissingFile(int Code);
// Writes Content to a new file beside Path, flushes it to the disk and puts it in Path's place
// in one step (on POSIX over a symbolic link's target, keeping the link, and keeping an existing
// file's permissions), with no temporary file left behind on failure.
int ReplaceWholeFile(const std::string& Path, const std::string& Content);
std::string ErrorText(int Code);

// Calls Each with every line of Text from Start on, without its end: "\n" and any "\r" before it
// (stray ones too, or a rewrite would differ), and with its number counted from 1.
void ForEachLine(const std::string& Text, size_t Start, const std::function<void(std::string Line, size_t Number)>& Each);

// Equal after upper-casing ASCII letters only.
bool SameText(const std::string& A, const std::string& B);

}  // namespace cport_store
