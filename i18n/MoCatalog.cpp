#include <cstring>
#include <functional>

#include "gnugettext.h"

namespace {

template <bool Swap>
uint32_t Word(const unsigned char* at) {
  uint32_t value;
  std::memcpy(&value, at, sizeof value);
  return Swap ? __builtin_bswap32(value) : value;
}

// Bytes compare as unsigned values; a proper prefix is the smaller.
int CompareBytes(std::string_view a, std::string_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  if (common != 0) {
    const int c = std::memcmp(a.data(), b.data(), common);
    if (c != 0) return c;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

uint64_t Hash(std::string_view text) { return std::hash<std::string_view>{}(text); }

}  // namespace

bool TMoCatalog::Attach(const unsigned char* base, uint64_t size) {
  Detach();
  if (base == nullptr || size < kHeaderSize) return false;
  const uint32_t magic = Word<false>(base);
  if (magic != kMagic && magic != kSwappedMagic) return false;
  const bool swapped = magic == kSwappedMagic;
  auto word = [&](uint64_t at) { return swapped ? Word<true>(base + at) : Word<false>(base + at); };
  const uint32_t count = word(8), sources = word(12), translations = word(16);
  const uint64_t tableBytes = 8 * uint64_t(count);
  if (sources > size || tableBytes > size - sources) return false;
  if (translations > size || tableBytes > size - translations) return false;
  base_ = base;
  size_ = size;
  count_ = count;
  sourceTable_ = sources;
  translationTable_ = translations;
  swapped_ = swapped;
  if (swapped)
    BuildIndex<true>();
  else
    BuildIndex<false>();
  return true;
}

template <bool Swap>
void TMoCatalog::BuildIndex() {
  std::optional<std::string_view> previous;
  for (uint32_t i = 0; i < count_; ++i) {
    const std::optional<std::string_view> source = StringAt<Swap>(sourceTable_, i);
    if (!source || (previous && CompareBytes(*previous, *source) >= 0)) return;
    previous = source;
  }
  size_t size = 16;
  while (size < 2 * size_t(count_)) size *= 2;
  slots_.assign(size, 0);
  const size_t mask = size - 1;
  for (uint32_t i = 0; i < count_; ++i) {
    const uint64_t hash = Hash(*StringAt<Swap>(sourceTable_, i));
    size_t slot = hash & mask;
    while (slots_[slot] != 0) slot = (slot + 1) & mask;
    slots_[slot] = (hash & 0xFFFFFFFF00000000ull) | (uint64_t(i) + 1);
  }
}

std::optional<std::string_view> TMoCatalog::Find(std::string_view text) const {
  if (!slots_.empty()) return swapped_ ? FindHashed<true>(text) : FindHashed<false>(text);
  return swapped_ ? FindIn<true>(text) : FindIn<false>(text);
}

template <bool Swap>
std::optional<std::string_view> TMoCatalog::FindHashed(std::string_view text) const {
  const uint64_t hash = Hash(text);
  const uint64_t tag = hash & 0xFFFFFFFF00000000ull;
  const size_t mask = slots_.size() - 1;
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const uint64_t entry = slots_[slot];
    if (entry == 0) return std::nullopt;
    if ((entry & 0xFFFFFFFF00000000ull) != tag) continue;
    const uint32_t index = uint32_t(entry) - 1;
    if (*StringAt<Swap>(sourceTable_, index) == text) return StringAt<Swap>(translationTable_, index);
  }
}

template <bool Swap>
std::optional<std::string_view> TMoCatalog::StringAt(uint32_t table, uint32_t index) const {
  const unsigned char* entry = base_ + table + 8 * uint64_t(index);
  const uint32_t length = Word<Swap>(entry), offset = Word<Swap>(entry + 4);
  if (offset > size_ || length > size_ - offset) return std::nullopt;
  return std::string_view(reinterpret_cast<const char*>(base_ + offset), length);
}

// Positions count from 1; p starts at the largest power of two not above the count and moves
// by halving steps, clamped to [1, count].
template <bool Swap>
std::optional<std::string_view> TMoCatalog::FindIn(std::string_view text) const {
  const uint32_t count = count_;
  if (count == 0) return std::nullopt;
  uint32_t p = uint32_t(1) << (31 - __builtin_clz(count));
  uint32_t step = p / 2;
  for (;;) {
    const std::optional<std::string_view> source = StringAt<Swap>(sourceTable_, p - 1);
    if (!source) return std::nullopt;
    const int c = CompareBytes(text, *source);
    if (c == 0) return StringAt<Swap>(translationTable_, p - 1);
    if (step == 0) return std::nullopt;
    if (c < 0)
      p = p < step + 1 ? 1 : p - step;
    else
      p = uint64_t(p) + step > count ? count : p + step;
    step /= 2;
  }
}
