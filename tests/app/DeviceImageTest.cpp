#include <gtest/gtest.h>

#include "core/CodeSystems.h"
#include "core/DeviceImage.h"

using varo::CodeSystemForm;
using varo::DeviceImage;
using varo::ProjectImage;

namespace {

ProjectImage Project(int firstFloor, int frames, uint8_t codeSystem = 1, bool buzzer = false) {
  ProjectImage p;
  for (int i = 0; i < frames; ++i) p.Frames.push_back(varo::FloorPattern(firstFloor + i));
  p.FirstFloorIndex = static_cast<uint8_t>(firstFloor + 8);
  p.FrameCount = static_cast<uint8_t>(frames);
  p.LastFloorIndex = static_cast<uint8_t>(frames - 2);
  p.CodeSystem = codeSystem;
  p.Buzzer = buzzer;
  return p;
}

std::vector<uint8_t> Bytes(const DeviceImage& image, int from, int to) {
  return {image.begin() + from, image.begin() + to + 1};
}

}  // namespace

TEST(DeviceImage, DefaultProjectFile) {
  const DeviceImage file = varo::EncodeDeviceImage(Project(0, 16), CodeSystemForm::File);
  EXPECT_EQ(Bytes(file, 0, 3), (std::vector<uint8_t>{0x00, 0x00, 0xFF, 0x00}));
  EXPECT_EQ(Bytes(file, 60, 63), (std::vector<uint8_t>{0x30, 0x00, 0xDD, 0x18}));
  EXPECT_EQ(Bytes(file, 64, 243), std::vector<uint8_t>(180, 0xFF));
  EXPECT_EQ(Bytes(file, 244, 255),
            (std::vector<uint8_t>{0x08, 0x10, 0x01, 0x0E, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(DeviceImage, DeviceFormDiffersOnlyInTheCodeSystemByte) {
  const DeviceImage file = varo::EncodeDeviceImage(Project(0, 16), CodeSystemForm::File);
  const DeviceImage device = varo::EncodeDeviceImage(Project(0, 16), CodeSystemForm::Device);
  for (int i = 0; i < 256; ++i)
    if (i != 246) EXPECT_EQ(file[i], device[i]) << i;
  EXPECT_EQ(device[246], 0x02);
}

TEST(DeviceImage, SixtyOneFramesFillEveryFrameSlot) {
  const DeviceImage file = varo::EncodeDeviceImage(Project(0, 61), CodeSystemForm::File);
  EXPECT_EQ(Bytes(file, 240, 243), (std::vector<uint8_t>{0xDF, 0x18, 0xFF, 0x00}));  // floor 60
  EXPECT_EQ(file[245], 0x3D);
  EXPECT_EQ(file[247], 0x3B);
}

TEST(DeviceImage, FirstFloorMinus8IsItemZero) {
  const DeviceImage file = varo::EncodeDeviceImage(Project(-8, 60, 0, true), CodeSystemForm::File);
  EXPECT_EQ(file[244], 0);
  EXPECT_EQ(file[248], 1);
  EXPECT_EQ(Bytes(file, 0, 3), (std::vector<uint8_t>{0x00, 0x18, 0xFF, 0x18}));
}

TEST(DeviceImage, CodeSystemIndexAndPowerOfTwo) {
  for (uint8_t k = 0; k < 5; ++k) {
    const DeviceImage file = varo::EncodeDeviceImage(Project(0, 16, k), CodeSystemForm::File);
    const DeviceImage device = varo::EncodeDeviceImage(Project(0, 16, k), CodeSystemForm::Device);
    EXPECT_EQ(file[246], k);
    EXPECT_EQ(device[246], 1 << k);
    EXPECT_EQ(varo::DecodeDeviceImage(file, CodeSystemForm::File).CodeSystem, k);
    EXPECT_EQ(varo::DecodeDeviceImage(device, CodeSystemForm::Device).CodeSystem, k);
  }
  DeviceImage device = varo::EncodeDeviceImage(Project(0, 16, 4), CodeSystemForm::Device);
  EXPECT_EQ(device[246], 16);
  const ProjectImage read = varo::DecodeDeviceImage(device, CodeSystemForm::Device);
  EXPECT_EQ(varo::EncodeDeviceImage(read, CodeSystemForm::File)[246], 4);
  EXPECT_EQ(varo::EncodeDeviceImage(read, CodeSystemForm::Device)[246], 16);
}

TEST(DeviceImage, UnknownCodeSystemsAreRefused) {
  DeviceImage image = varo::EncodeDeviceImage(Project(0, 16), CodeSystemForm::File);
  const struct {
    CodeSystemForm Form;
    std::vector<uint8_t> Values;
    std::vector<int> Allowed;  // empty: the range 0..4
  } cases[] = {{CodeSystemForm::File, {5, 16, 255}, {}}, {CodeSystemForm::Device, {0, 3, 5, 32, 255}, {1, 2, 4, 8, 16}}};
  for (const auto& c : cases)
    for (uint8_t v : c.Values) {
      image[246] = v;
      try {
        varo::DecodeDeviceImage(image, c.Form);
        ADD_FAILURE() << "code " << int(v) << " taken";
      } catch (const varo::EImageRefused& e) {
        EXPECT_EQ(e.Field, varo::ImageField::CodeSystem);
        EXPECT_EQ(e.Value, v);
        EXPECT_EQ(e.Allowed, c.Allowed);
        if (c.Allowed.empty()) {
          EXPECT_EQ(e.Lowest, 0);
          EXPECT_EQ(e.Highest, 4);
        }
      }
    }
  ProjectImage p = Project(0, 16);
  p.CodeSystem.reset();
  EXPECT_THROW(varo::EncodeDeviceImage(p, CodeSystemForm::File), std::invalid_argument);
  p.CodeSystem = 5;
  EXPECT_THROW(varo::EncodeDeviceImage(p, CodeSystemForm::Device), std::invalid_argument);
}

TEST(DeviceImage, BuzzerIsExactlyOneInAFileAndNonZeroFromTheDevice) {
  DeviceImage image = varo::EncodeDeviceImage(Project(0, 16), CodeSystemForm::File);
  image[248] = 2;
  EXPECT_FALSE(varo::DecodeDeviceImage(image, CodeSystemForm::File).Buzzer);
  EXPECT_TRUE(varo::DecodeDeviceImage(image, CodeSystemForm::Device).Buzzer);
  image[248] = 1;
  EXPECT_TRUE(varo::DecodeDeviceImage(image, CodeSystemForm::File).Buzzer);
}

TEST(DeviceImage, DecodeTakesFramesAndFieldsAsTheyStand) {
  DeviceImage image;
  for (int i = 0; i < 256; ++i) image[i] = static_cast<uint8_t>(i);
  image[244] = 8, image[245] = 10, image[246] = 2, image[247] = 8, image[248] = 0;  // floors 0 to 9
  const ProjectImage p = varo::DecodeDeviceImage(image, CodeSystemForm::File);
  ASSERT_EQ(p.Frames.size(), 10u);
  EXPECT_EQ(p.Frames[9].Bytes, (std::array<uint8_t, 4>{36, 37, 38, 39}));
  EXPECT_EQ(p.FirstFloorIndex, 8);
  EXPECT_EQ(p.LastFloorIndex, 8);
  const DeviceImage again = varo::EncodeDeviceImage(p, CodeSystemForm::File);
  EXPECT_EQ(Bytes(again, 0, 39), Bytes(image, 0, 39));
  EXPECT_EQ(Bytes(again, 244, 248), Bytes(image, 244, 248));
}

struct Refusal {
  int Offset;
  uint8_t Value;
  uint8_t FirstIndex;
  varo::ImageField Field;
};

class RefusedImages : public testing::TestWithParam<Refusal> {};

TEST_P(RefusedImages, NameTheBadField) {
  const Refusal r = GetParam();
  DeviceImage image = varo::EncodeDeviceImage(Project(0, 16), CodeSystemForm::File);
  image[244] = r.FirstIndex;  // floors f to f + 1: a header that agrees with itself
  image[247] = 0;
  image[245] = 2;
  image[r.Offset] = r.Value;
  try {
    varo::DecodeDeviceImage(image, CodeSystemForm::File);
    FAIL() << "accepted";
  } catch (const varo::EImageRefused& e) {
    EXPECT_EQ(e.Field, r.Field);
    EXPECT_EQ(e.Value, r.Value);
  }
}

INSTANTIATE_TEST_SUITE_P(
    BadFields, RefusedImages,
    testing::Values(Refusal{244, 68, 8, varo::ImageField::FirstFloorIndex},
                    Refusal{244, 255, 8, varo::ImageField::FirstFloorIndex},
                    Refusal{247, 60, 8, varo::ImageField::LastFloorIndex},   // list "1".."60" has 60 items
                    Refusal{247, 1, 67, varo::ImageField::LastFloorIndex},   // first floor 59: only "60"
                    Refusal{247, 59, 0, varo::ImageField::LastFloorIndex},   // first floor -8: 59 items "-7".."51"
                    Refusal{245, 0, 8, varo::ImageField::FrameCount},
                    Refusal{245, 62, 8, varo::ImageField::FrameCount},
                    Refusal{245, 255, 8, varo::ImageField::FrameCount},
                    Refusal{245, 61, 8, varo::ImageField::FrameCount},  // floors 0 to 1 are 2
                    Refusal{245, 1, 8, varo::ImageField::FrameCount},
                    Refusal{246, 7, 8, varo::ImageField::CodeSystem}));

TEST(DeviceImage, AFrameCountThatDoesNotFitTheRangeNamesTheRange) {
  DeviceImage image = varo::EncodeDeviceImage(Project(-2, 13), CodeSystemForm::File);
  image[245] = 17;
  try {
    varo::DecodeDeviceImage(image, CodeSystemForm::File);
    FAIL() << "accepted";
  } catch (const varo::EImageRefused& e) {
    EXPECT_TRUE(e.OfRange);
    EXPECT_EQ(e.RangeFirst, -2);
    EXPECT_EQ(e.RangeLast, 10);
    EXPECT_EQ(e.Lowest, 13);
    EXPECT_STREQ(e.what(), "frame count (byte 245) is 17, but floors -2 to 10 need 13");
  }
}

TEST(DeviceImage, AcceptsTheEdgesOfEachField) {
  const struct {
    uint8_t First, Last, Count;
  } edges[] = {{67, 0, 2}, {8, 59, 61}, {0, 58, 60}, {7, 57, 59}};  // 59..60, 0..60, -8..51, -1..58
  for (const auto& e : edges) {
    DeviceImage image = varo::EncodeDeviceImage(Project(0, 16), CodeSystemForm::File);
    image[244] = e.First, image[247] = e.Last, image[245] = e.Count;
    EXPECT_EQ(varo::DecodeDeviceImage(image, CodeSystemForm::File).Frames.size(), e.Count) << int(e.First);
  }
}

TEST(DeviceImage, EncodingNeverReadsBeyondTheFrameTable) {
  ProjectImage p = Project(0, 16);
  p.FirstFloorIndex = 0;
  p.FrameCount = 60;  // the lists already say -8 .. 51, the table still holds 16 frames
  p.LastFloorIndex = 58;
  const DeviceImage image = varo::EncodeDeviceImage(p, CodeSystemForm::File);
  EXPECT_EQ(Bytes(image, 60, 63), (std::vector<uint8_t>{0x30, 0x00, 0xDD, 0x18}));
  EXPECT_EQ(Bytes(image, 64, 243), std::vector<uint8_t>(180, 0xFF));
  EXPECT_EQ(image[245], 16);
  EXPECT_EQ(image[247], 14);

  p.Frames.resize(70, varo::FloorPattern(1));
  p.FrameCount = 70;
  const DeviceImage capped = varo::EncodeDeviceImage(p, CodeSystemForm::File);
  EXPECT_EQ(capped[245], 61);
  EXPECT_EQ(capped[247], 59);
}

TEST(CodeSystems, TextsAndDeviceValues) {
  EXPECT_STREQ(varo::CodeSystems[2].ComboText, "Sayıcı (Tek Tüp)");
  EXPECT_STREQ(varo::CodeSystems[4].StatusText, " 7 Segment");
  EXPECT_STREQ(varo::CodeSystems[0].MenuText, " BINARY");
  for (uint8_t k = 0; k < 5; ++k) EXPECT_EQ(varo::CodeSystemToDevice(k), 1 << k);
  EXPECT_THROW(varo::CodeSystemToDevice(5), std::out_of_range);
}
