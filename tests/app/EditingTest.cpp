// Toggling segments on the picture and the two fill buttons.
#include <QTest>

#include "WindowFixture.h"

namespace {

class EditingTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Window->BitBtn2Click();  // editing mode, frame 0 = floor 0
  }
  void Press(Qt::MouseButton button, QPoint at) {
    QTest::mousePress(Window->Image1, button, Qt::NoModifier, at);
    QTest::mouseRelease(Window->Image1, button, Qt::NoModifier, at);
  }
  QPoint Seed(int s) { return {varo::SeedOf(s).X, varo::SeedOf(s).Y}; }
  varo::Rgb At(QPoint p) { return Window->Image1->View().At(p.x(), p.y()); }
};

}  // namespace

TEST_F(EditingTest, AnyButtonTogglesTheSegmentUnderThePointer) {
  struct Case {
    Qt::MouseButton Button;
    int Segment;
  };
  varo::SegmentPattern expected = varo::FloorPattern(0);
  for (Case c : {Case{Qt::LeftButton, 0}, Case{Qt::RightButton, 16}, Case{Qt::MiddleButton, 9},
                 Case{Qt::RightButton, 0}, Case{Qt::LeftButton, 31}}) {
    Window->Modified = false;
    Press(c.Button, Seed(c.Segment));
    expected.SetSegment(c.Segment, !expected.Segment(c.Segment));
    EXPECT_TRUE(Window->Modified);
    EXPECT_EQ(Window->FrameTable[0], expected) << "segment " << c.Segment;
    EXPECT_EQ(Shown(), expected);
  }
  // Other frames are untouched.
  EXPECT_EQ(Window->FrameTable[1], varo::FloorPattern(1));
}

TEST_F(EditingTest, APressAnywhereInARegionTogglesAllOfIt) {
  // A point of segment 12 far from its seed: the left end of the middle bar.
  QPoint inside;
  const varo::RgbView view = Window->Image1->View();
  for (int x = 0; x < 216 && inside.isNull(); ++x)
    if (view.At(x, varo::SeedOf(12).Y) == varo::SegmentColor && x < varo::SeedOf(12).X - 20 &&
        view.At(x - 1, varo::SeedOf(12).Y) == varo::Black && x > 40)
      inside = QPoint(x + 1, varo::SeedOf(12).Y);
  ASSERT_FALSE(inside.isNull());
  Press(Qt::LeftButton, inside);
  EXPECT_EQ(At(Seed(12)), varo::White);
  EXPECT_TRUE(Window->FrameTable[0].Segment(12));
  Press(Qt::LeftButton, inside);
  EXPECT_EQ(At(Seed(12)), varo::SegmentColor);
  EXPECT_EQ(Window->FrameTable[0], varo::FloorPattern(0));
}

TEST_F(EditingTest, BackgroundAndOutlineChangeNothingButSetModified) {
  const QPoint background(214, 170), outline = [&] {
    const varo::RgbView view = Window->Image1->View();
    for (int x = varo::SeedOf(7).X; x >= 0; --x)
      if (view.At(x, varo::SeedOf(7).Y) == varo::Black) return QPoint(x, varo::SeedOf(7).Y);
    return QPoint();
  }();
  ASSERT_EQ(At(background), varo::BackgroundColor);
  ASSERT_EQ(At(outline), varo::Black);
  const QImage before = Window->Image1->Picture().copy();
  for (QPoint p : {background, outline}) {
    Window->Modified = false;
    Window->FrameTable[0] = varo::FloorPattern(0);
    Press(Qt::LeftButton, p);
    EXPECT_TRUE(Window->Modified);
    EXPECT_EQ(Window->FrameTable[0], varo::FloorPattern(0));
    EXPECT_EQ(Window->Image1->Picture(), before);
  }
}

TEST_F(EditingTest, ReleaseStoresThePictureIntoTheCurrentFrame) {
  QTest::keyClick(Window.get(), Qt::Key_PageUp);
  QTest::mousePress(Window->Image1, Qt::LeftButton, Qt::NoModifier, Seed(8));
  EXPECT_EQ(Window->FrameTable[1], varo::FloorPattern(1)) << "the table waits for the release";
  QTest::mouseRelease(Window->Image1, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  varo::SegmentPattern expected = varo::FloorPattern(1);
  expected.SetSegment(8, true);
  EXPECT_EQ(Window->FrameTable[1], expected);
  EXPECT_EQ(Window->FrameTable[0], varo::FloorPattern(0));
  // Stepping away and back shows the stored edit.
  QTest::keyClick(Window.get(), Qt::Key_PageDown);
  QTest::keyClick(Window.get(), Qt::Key_PageUp);
  EXPECT_EQ(Shown(), expected);
}

TEST_F(EditingTest, FillButtons) {
  QTest::mouseClick(Window->SpeedButton5, Qt::LeftButton);
  EXPECT_EQ(Window->FrameTable[0], varo::SegmentPattern{});
  EXPECT_TRUE(Window->Modified);
  Window->Modified = false;
  QTest::mouseClick(Window->SpeedButton4, Qt::LeftButton);
  EXPECT_EQ(Window->FrameTable[0].Bytes, (std::array<uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(Shown(), Window->FrameTable[0]);
  EXPECT_TRUE(Window->Modified);
}

TEST_F(EditingTest, FillButtonsWorkBehindTheOpenPanel) {
  QTest::keyClick(Window.get(), Qt::Key_PageUp);
  Window->SpeedButton1Click();
  QTest::mouseClick(Window->SpeedButton4, Qt::LeftButton);
  EXPECT_EQ(Window->FrameTable[1].Bytes, (std::array<uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_TRUE(Window->Modified);
  // The picture itself cannot be clicked in setup mode.
  Window->FrameTable[1] = varo::FloorPattern(1);
  Window->PaintFrame(1);
  Press(Qt::LeftButton, Seed(0));
  EXPECT_EQ(Window->FrameTable[1], varo::FloorPattern(1));
}

TEST_F(EditingTest, EditingWithNoFramesStoresNothing) {
  Window->FrameTable.clear();
  Window->FrameCount = 0;
  Window->PaintFrame(0);
  Press(Qt::LeftButton, Seed(0));
  QTest::mouseClick(Window->SpeedButton4, Qt::LeftButton);
  EXPECT_TRUE(Window->FrameTable.empty());
}
