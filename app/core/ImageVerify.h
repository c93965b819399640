#pragma once
// Verifying a write: the image sent against the image read back, both as the
// indicator holds them (byte 246 a power of two).
#include <cstdint>
#include <string>
#include <vector>

#include "DeviceImage.h"

namespace varo {

extern const char* const VerifiedText;  // "Doğrulandı"

struct TImageDifference {
  int Position;
  uint8_t Sent;
  uint8_t Read;
};

std::vector<TImageDifference> CompareImages(const DeviceImage& sent, const DeviceImage& readBack);

// What the position holds in this image, e.g. "frame 3 bayt 1 (kat 2)", "Frame sayısı".
std::string PositionMeaning(int position, const DeviceImage& sent);

// VerifiedText, or a first line with the count and one line per differing position.
std::string VerifyReport(const DeviceImage& sent, const std::vector<TImageDifference>& differences);

}  // namespace varo
