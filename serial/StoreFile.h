// What the settings stores share (internal): whole files read and replaced atomically, names
// matched as the registry and ini files match them.
#pragma once

#include <functional>
#include <string>

namespace cport_store {

// 0 and the file's bytes, or the errno of the failed call (ENOENT for a missing file).
int ReadWholeFile(const std::string& Path, std::string& Content);
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
