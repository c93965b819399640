#include "DeviceImage.h"

#include <algorithm>
#include <string>

#include "CodeSystems.h"
#include "FloorLists.h"

namespace varo {

DeviceImage EncodeDeviceImage(const ProjectImage& project, CodeSystemForm form) {
  if (!project.CodeSystem || *project.CodeSystem >= CodeSystemCount)
    throw std::invalid_argument("the project has no code system 0..4");
  DeviceImage image;
  image.fill(0xFF);
  const size_t stored = std::min<size_t>({project.FrameCount, project.Frames.size(), FrameSlots});
  for (size_t i = 0; i < stored; ++i)
    std::copy(project.Frames[i].Bytes.begin(), project.Frames[i].Bytes.end(), image.begin() + 4 * i);

  image[ImageOffset::FirstFloorIndex] = project.FirstFloorIndex;
  image[ImageOffset::FrameCount] = project.FrameCount;
  image[ImageOffset::LastFloorIndex] = project.LastFloorIndex;
  if (stored != project.FrameCount) {
    image[ImageOffset::FrameCount] = static_cast<uint8_t>(stored);
    if (stored >= 2) image[ImageOffset::LastFloorIndex] = static_cast<uint8_t>(stored - 2);
  }
  image[ImageOffset::CodeSystem] =
      form == CodeSystemForm::File ? *project.CodeSystem : CodeSystemToDevice(*project.CodeSystem);
  image[ImageOffset::Buzzer] = project.Buzzer ? 1 : 0;
  return image;
}

static const char* FieldName(ImageField f) {
  switch (f) {
    case ImageField::FirstFloorIndex: return "first-floor index (byte 244)";
    case ImageField::FrameCount: return "frame count (byte 245)";
    case ImageField::LastFloorIndex: return "last-floor index (byte 247)";
  }
  return "";
}

EImageRefused::EImageRefused(ImageField field, int value, int lowest, int highest)
    : std::runtime_error(std::string(FieldName(field)) + " is " + std::to_string(value) + ", not within " +
                         std::to_string(lowest) + ".." + std::to_string(highest)),
      Field(field),
      Value(value),
      Lowest(lowest),
      Highest(highest) {}

ProjectImage DecodeDeviceImage(const DeviceImage& image, CodeSystemForm form) {
  const int first = image[ImageOffset::FirstFloorIndex];
  if (first >= FirstFloorItemCount) throw EImageRefused(ImageField::FirstFloorIndex, first, 0, FirstFloorItemCount - 1);
  const int lastItems = static_cast<int>(LastFloorList(first - 8).size());
  const int last = image[ImageOffset::LastFloorIndex];
  if (last >= lastItems) throw EImageRefused(ImageField::LastFloorIndex, last, 0, lastItems - 1);
  const int count = image[ImageOffset::FrameCount];
  if (count < 1 || count > FrameSlots) throw EImageRefused(ImageField::FrameCount, count, 1, FrameSlots);

  ProjectImage p;
  p.FirstFloorIndex = static_cast<uint8_t>(first);
  p.LastFloorIndex = static_cast<uint8_t>(last);
  p.FrameCount = static_cast<uint8_t>(count);
  const uint8_t code = image[ImageOffset::CodeSystem];
  if (form == CodeSystemForm::File)
    p.CodeSystem = code < CodeSystemCount ? std::optional<uint8_t>(code) : std::nullopt;
  else
    p.CodeSystem = CodeSystemFromDevice(code);
  const uint8_t buzzer = image[ImageOffset::Buzzer];
  p.Buzzer = form == CodeSystemForm::File ? buzzer == 1 : buzzer != 0;
  p.Frames.resize(count);
  for (int i = 0; i < count; ++i)
    std::copy(image.begin() + 4 * i, image.begin() + 4 * i + 4, p.Frames[i].Bytes.begin());
  return p;
}

}  // namespace varo
