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
    case ImageField::CodeSystem: return "code system (byte 246)";
    case ImageField::LastFloorIndex: return "last-floor index (byte 247)";
  }
  return "";
}

static std::string Listed(const std::vector<int>& values) {
  std::string text;
  for (int v : values) text += (text.empty() ? "" : ", ") + std::to_string(v);
  return text;
}

EImageRefused::EImageRefused(ImageField field, int value, int lowest, int highest)
    : std::runtime_error(std::string(FieldName(field)) + " is " + std::to_string(value) + ", not within " +
                         std::to_string(lowest) + ".." + std::to_string(highest)),
      Field(field),
      Value(value),
      Lowest(lowest),
      Highest(highest) {}

EImageRefused::EImageRefused(ImageField field, int value, std::vector<int> allowed)
    : std::runtime_error(std::string(FieldName(field)) + " is " + std::to_string(value) + ", not one of " +
                         Listed(allowed)),
      Field(field),
      Value(value),
      Lowest(allowed.front()),
      Highest(allowed.back()),
      Allowed(std::move(allowed)) {}

EImageRefused EImageRefused::CountOfRange(int value, int firstFloor, int lastFloor) {
  const int needed = lastFloor - firstFloor + 1;
  EImageRefused e(ImageField::FrameCount, value, needed, needed);
  static_cast<std::runtime_error&>(e) =
      std::runtime_error("frame count (byte 245) is " + std::to_string(value) + ", but floors " +
                         std::to_string(firstFloor) + " to " + std::to_string(lastFloor) + " need " +
                         std::to_string(needed));
  e.OfRange = true;
  e.RangeFirst = firstFloor;
  e.RangeLast = lastFloor;
  return e;
}

ProjectImage DecodeDeviceImage(const DeviceImage& image, CodeSystemForm form) {
  const int first = image[ImageOffset::FirstFloorIndex];
  if (first >= FirstFloorItemCount) throw EImageRefused(ImageField::FirstFloorIndex, first, 0, FirstFloorItemCount - 1);
  const std::vector<int> lastFloors = LastFloorList(first + MinFloor);
  const int lastItems = static_cast<int>(lastFloors.size());
  const int last = image[ImageOffset::LastFloorIndex];
  if (last >= lastItems) throw EImageRefused(ImageField::LastFloorIndex, last, 0, lastItems - 1);
  const int count = image[ImageOffset::FrameCount];
  if (count < 1 || count > FrameSlots) throw EImageRefused(ImageField::FrameCount, count, 1, FrameSlots);
  if (count != FrameCountOf(first + MinFloor, lastFloors[last]))
    throw EImageRefused::CountOfRange(count, first + MinFloor, lastFloors[last]);
  const uint8_t code = image[ImageOffset::CodeSystem];
  const std::optional<uint8_t> codeSystem =
      form == CodeSystemForm::File ? (code < CodeSystemCount ? std::optional<uint8_t>(code) : std::nullopt)
                                   : CodeSystemFromDevice(code);
  if (!codeSystem) {
    if (form == CodeSystemForm::File) throw EImageRefused(ImageField::CodeSystem, code, 0, CodeSystemCount - 1);
    std::vector<int> allowed;
    for (uint8_t k = 0; k < CodeSystemCount; ++k) allowed.push_back(CodeSystemToDevice(k));
    throw EImageRefused(ImageField::CodeSystem, code, std::move(allowed));
  }

  ProjectImage p;
  p.FirstFloorIndex = static_cast<uint8_t>(first);
  p.LastFloorIndex = static_cast<uint8_t>(last);
  p.FrameCount = static_cast<uint8_t>(count);
  p.CodeSystem = codeSystem;
  const uint8_t buzzer = image[ImageOffset::Buzzer];
  p.Buzzer = form == CodeSystemForm::File ? buzzer == 1 : buzzer != 0;
  p.Frames.resize(count);
  for (int i = 0; i < count; ++i)
    std::copy(image.begin() + 4 * i, image.begin() + 4 * i + 4, p.Frames[i].Bytes.begin());
  return p;
}

}  // namespace varo
