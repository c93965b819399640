// Any 256 bytes either decode into a project that encodes back within the
// image, or are refused; both forms, and nothing read beyond the bytes.
#include <cstdint>
#include <cstring>

#include "core/DeviceImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < varo::DeviceImageSize) return 0;
  varo::DeviceImage image;
  std::memcpy(image.data(), data, image.size());
  for (varo::CodeSystemForm form : {varo::CodeSystemForm::File, varo::CodeSystemForm::Device}) {
    try {
      varo::ProjectImage p = varo::DecodeDeviceImage(image, form);
      if (p.Frames.size() != p.FrameCount || p.FrameCount == 0 || p.FrameCount > varo::FrameSlots) __builtin_trap();
      if (!p.CodeSystem) p.CodeSystem = 1;
      const varo::DeviceImage again = varo::EncodeDeviceImage(p, form);
      if (std::memcmp(again.data(), image.data(), 4 * p.FrameCount) != 0) __builtin_trap();
    } catch (const varo::EImageRefused&) {
    }
  }
  return 0;
}
