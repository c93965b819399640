#include "CatalogFile.h"
#include "gnugettext.h"

namespace {

// A packaging step that appends catalogs to the executable writes their table's file offset
// into the 8 bytes after the text (least significant first). Read through volatile so the
// compiler cannot fold the zeros of the build.
__attribute__((used)) volatile const unsigned char kEmbeddedCatalogMarker[44] =
    "6637DB2E-62E1-4A60-AC19-C23867046A89";
constexpr size_t kMarkerTextLength = 36;

constexpr uint64_t kRecordHeaderSize = 24;
constexpr uint64_t kMaxNameLength = 4096;

bool ReadExact(const TCatalogFile& file, void* buffer, size_t length, uint64_t offset) {
  auto* at = static_cast<unsigned char*>(buffer);
  std::string error;
  while (length > 0) {
    const int64_t got = file.ReadAt(at, length, offset, error);
    if (got <= 0) return false;
    at += got;
    offset += uint64_t(got);
    length -= size_t(got);
  }
  return true;
}

uint64_t LittleEndian64(const unsigned char* bytes) {
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

std::string TrimBlanksAndControls(const std::string& s) {
  size_t first = 0, last = s.size();
  while (first < last && static_cast<unsigned char>(s[first]) <= ' ') ++first;
  while (last > first && static_cast<unsigned char>(s[last - 1]) <= ' ') --last;
  return s.substr(first, last - first);
}

}  // namespace

uint64_t EmbeddedCatalogTableOffset() {
  unsigned char bytes[8];
  for (size_t i = 0; i < 8; ++i) bytes[i] = kEmbeddedCatalogMarker[kMarkerTextLength + i];
  return LittleEndian64(bytes);
}

TAssemblyAnalyzer::TAssemblyAnalyzer(std::string executablePath, uint64_t tableOffset)
    : executablePath_(std::move(executablePath)) {
  const size_t slash = executablePath_.find_last_of(kPathSeparators);
  if (slash != std::string::npos) executableDirectory_ = executablePath_.substr(0, slash + 1);
  if (tableOffset == 0) return;
  const TCatalogFile file(executablePath_);
  if (file.IsOpen()) ReadChain(file, file.Size(), tableOffset);
}

// Records only move forward through the file, so the chain always ends.
void TAssemblyAnalyzer::ReadChain(const TCatalogFile& file, uint64_t fileSize, uint64_t offset) {
  unsigned char header[kRecordHeaderSize];
  for (;;) {
    if (offset > fileSize || fileSize - offset < 8) return;
    if (!ReadExact(file, header, 8, offset)) return;
    const uint64_t next = LittleEndian64(header);
    if (next == 0) return;
    if (fileSize - offset < kRecordHeaderSize) return;
    if (!ReadExact(file, header + 8, kRecordHeaderSize - 8, offset + 8)) return;
    if (next > fileSize || next < offset || next - offset < kRecordHeaderSize) return;
    const uint64_t nameLength = next - offset - kRecordHeaderSize;
    if (nameLength > kMaxNameLength) return;
    TAssemblyFileInfo info;
    info.Offset = LittleEndian64(header + 8);
    info.Size = LittleEndian64(header + 16);
    if (info.Offset > fileSize || info.Size > fileSize - info.Offset) return;
    std::string name(size_t(nameLength), '\0');
    if (nameLength > 0 && !ReadExact(file, name.data(), name.size(), offset + kRecordHeaderSize))
      return;
    name = TrimBlanksAndControls(name);
    if (name.empty() || !files_.emplace(std::move(name), info).second) return;
    offset = next;
  }
}

std::optional<TAssemblyFileInfo> TAssemblyAnalyzer::FindByPath(const std::string& path) const {
  if (executableDirectory_.empty() || path.compare(0, executableDirectory_.size(),
                                                   executableDirectory_) != 0)
    return std::nullopt;
  const auto found = files_.find(path.substr(executableDirectory_.size()));
  if (found == files_.end()) return std::nullopt;
  return found->second;
}
