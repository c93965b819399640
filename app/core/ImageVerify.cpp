#include "ImageVerify.h"

#include <algorithm>
#include <cstdio>

namespace varo {

const char* const VerifiedText = "Doğrulandı";

std::vector<TImageDifference> CompareImages(const DeviceImage& sent, const DeviceImage& readBack) {
  std::vector<TImageDifference> differences;
  for (int i = 0; i < DeviceImageSize; ++i)
    if (sent[i] != readBack[i]) differences.push_back({i, sent[i], readBack[i]});
  return differences;
}

std::string PositionMeaning(int position, const DeviceImage& sent) {
  const int frames = std::min<int>(sent[ImageOffset::FrameCount], FrameSlots);
  const int slot = position / 4;
  const std::string byte = " bayt " + std::to_string(position % 4);
  if (slot < frames)
    return "frame " + std::to_string(slot) + byte + " (kat " +
           std::to_string(sent[ImageOffset::FirstFloorIndex] - 8 + slot) + ")";
  if (slot < FrameSlots) return "boş frame yeri " + std::to_string(slot) + byte;
  switch (position) {
    case ImageOffset::FirstFloorIndex: return "İlk Kat sırası";
    case ImageOffset::FrameCount: return "Frame sayısı";
    case ImageOffset::CodeSystem: return "Kod sistemi";
    case ImageOffset::LastFloorIndex: return "Son Kat sırası";
    case ImageOffset::Buzzer: return "Buzzer";
    default: return "dolgu";
  }
}

std::string VerifyReport(const DeviceImage& sent, const std::vector<TImageDifference>& differences) {
  if (differences.empty()) return VerifiedText;
  std::string report = "Doğrulanmadı, " + std::to_string(differences.size()) + " bayt farklı:";
  for (const TImageDifference& d : differences) {
    char values[64];
    std::snprintf(values, sizeof values, ": gönderilen 0x%02X, okunan 0x%02X", d.Sent, d.Read);
    report += "\nbayt " + std::to_string(d.Position) + ": " + PositionMeaning(d.Position, sent) + values;
  }
  return report;
}

}  // namespace varo
