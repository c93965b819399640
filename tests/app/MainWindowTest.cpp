// Start, floor lists, frame stepping and keys of the shown window.
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include "WindowFixture.h"

namespace {

// Counts the key presses a control receives.
class KeyCounter : public QObject {
 public:
  int Presses = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    Presses += e->type() == QEvent::KeyPress;
    return false;
  }
};

}  // namespace

TEST_F(WindowTest, StartsInSetupModeWithTheDefaultProject) {
  TFmMain& w = *Window;
  EXPECT_EQ(w.windowTitle(), "VARO PROGRAMLAYICI");
  EXPECT_EQ(w.StaticText1->text(), "FRAME : 0");
  EXPECT_EQ(w.StatusBar1->PanelText(0), " Gray");
  EXPECT_TRUE(w.InSetupMode());
  EXPECT_TRUE(w.Panel2->isVisible());
  for (QWidget* c : std::initializer_list<QWidget*>{w.Panel13, w.Panel1, w.Panel4, w.StatusBar1, w.CheckBox1})
    EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
  for (QWidget* c : std::initializer_list<QWidget*>{w.SpeedButton1, w.SpeedButton2, w.SpeedButton3, w.SpeedButton4,
                                                    w.SpeedButton5, w.SpeedButton18, w.Panel8})
    EXPECT_TRUE(c->isEnabled()) << c->objectName().toStdString();

  EXPECT_EQ(w.FirstFloor, 0);
  EXPECT_EQ(w.LastFloor, 15);
  EXPECT_EQ(w.FrameCount, 16);
  EXPECT_EQ(w.CodeSystem, 1);
  EXPECT_FALSE(w.Modified);
  EXPECT_FALSE(w.CheckBox1->isChecked());
  EXPECT_EQ(w.SavedFirstFloorIndex, 8);
  EXPECT_EQ(w.SavedLastFloorIndex, 14);
  EXPECT_EQ(w.RxImage.size(), 256u);
  EXPECT_EQ(w.RxCount, 0);
  EXPECT_EQ(w.sonkat->count(), 60);
  EXPECT_EQ(w.sonkat->currentText(), "15");
  ASSERT_EQ(w.FrameTable.size(), 16u);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(w.FrameTable[i], varo::FloorPattern(i)) << i;
  EXPECT_EQ(w.CurrentFrame, 0);
  EXPECT_EQ(Shown(), varo::FloorPattern(0));
}

TEST_F(WindowTest, ShowingAgainDoesNotRebuildTheProject) {
  Window->FrameTable[0] = varo::SegmentPattern{{1, 2, 3, 4}};
  Window->hide();
  Window->show();
  EXPECT_EQ(Window->FrameTable[0], (varo::SegmentPattern{{1, 2, 3, 4}}));
}

struct ListCase {
  int FirstIndex;       // item of ilkkat chosen
  int LastBefore;       // last floor selected before
  int Items;            // items of the rebuilt sonkat
  const char* Selected;
  int FrameCount;
};

class FloorListSelection : public WindowTest, public testing::WithParamInterface<ListCase> {};

TEST_P(FloorListSelection, FollowsTheFirstFloor) {
  const ListCase c = GetParam();
  Window->sonkat->setCurrentIndex(Window->sonkat->findText(QString::number(c.LastBefore)));
  Choose(Window->ilkkat, c.FirstIndex);
  EXPECT_EQ(Window->FirstFloor, c.FirstIndex - 8);
  EXPECT_EQ(Window->LastFloor, c.LastBefore);
  EXPECT_EQ(Window->sonkat->count(), c.Items);
  EXPECT_EQ(Window->sonkat->currentText(), c.Selected);
  EXPECT_EQ(Window->FrameCount, c.FrameCount);
  EXPECT_EQ(Window->FrameTable.size(), 16u) << "the table waits for OK";
}

INSTANTIATE_TEST_SUITE_P(EdgeCases, FloorListSelection,
                         testing::Values(ListCase{67, 15, 1, "60", 2}, ListCase{8, 15, 60, "15", 16},
                                         ListCase{28, 15, 40, "60", 41}, ListCase{0, 60, 59, "51", 60},
                                         ListCase{7, 15, 59, "15", 17}, ListCase{8, 60, 60, "60", 61}));

TEST_F(WindowTest, ChoosingALastFloorRecountsOnly) {
  Choose(Window->sonkat, Window->sonkat->findText("40"));
  EXPECT_EQ(Window->FrameCount, 41);
  EXPECT_EQ(Window->LastFloor, 15);
  Choose(Window->ilkkat, 0);  // -8: "40" stays in "-7".."51"
  EXPECT_EQ(Window->sonkat->currentText(), "40");
  EXPECT_EQ(Window->FrameCount, 49);
}

TEST_F(WindowTest, PageKeysStepWithinTheTable) {
  TFmMain& w = *Window;
  w.BitBtn2Click();
  for (int i = 1; i <= 20; ++i) {
    QTest::keyClick(&w, Qt::Key_PageUp);
    const int expected = std::min(i, 15);
    ASSERT_EQ(w.CurrentFrame, expected);
    ASSERT_EQ(w.StaticText1->text(), QString("FRAME : %1").arg(expected));
    ASSERT_EQ(Shown(), varo::FloorPattern(expected));
  }
  QTest::keyClick(&w, Qt::Key_PageDown, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_EQ(w.CurrentFrame, 14);
  for (int i = 0; i < 20; ++i) QTest::keyClick(&w, Qt::Key_PageDown);
  EXPECT_EQ(w.CurrentFrame, 0);
  EXPECT_EQ(w.StaticText1->text(), "FRAME : 0");
  QTest::keyClick(&w, Qt::Key_PageUp, Qt::ShiftModifier);
  EXPECT_EQ(w.CurrentFrame, 1);
  QTest::keyClick(&w, Qt::Key_PageUp, Qt::AltModifier);
  EXPECT_EQ(w.CurrentFrame, 2);
  EXPECT_EQ(Shown(), varo::FloorPattern(2));
}

TEST_F(WindowTest, ButtonsStepLikeTheKeys) {
  TFmMain& w = *Window;
  w.CurrentFrame = 15;
  w.UpBtnClick();
  EXPECT_EQ(w.CurrentFrame, 15);
  EXPECT_EQ(w.StaticText1->text(), "FRAME : 0") << "a step that does nothing leaves the counter";
  w.DownBtnClick();
  EXPECT_EQ(w.StaticText1->text(), "FRAME : 14");
  Window->Panel13->setEnabled(true);
  QTest::mouseClick(w.UpBtn, Qt::LeftButton);
  EXPECT_EQ(w.CurrentFrame, 15);
  QTest::mouseClick(w.DownBtn, Qt::LeftButton);
  QTest::mouseClick(w.DownBtn, Qt::LeftButton);
  EXPECT_EQ(w.CurrentFrame, 13);
}

// The keys stand for buttons the panel disables; the lists may already say another range.
TEST_F(WindowTest, PageKeysDoNothingWhileThePanelIsShown) {
  Choose(Window->ilkkat, 0);  // the lists now say -8 .. 15; the table holds 0 .. 15
  ASSERT_EQ(Window->FrameCount, 24);
  for (Qt::Key key : {Qt::Key_PageUp, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_F9})
    QTest::keyClick(Window.get(), key);
  EXPECT_EQ(Window->CurrentFrame, 0);
  EXPECT_EQ(Shown(), varo::FloorPattern(0));
  EXPECT_TRUE(Dialogs->Calls.empty()) << "no write started";
}

TEST_F(WindowTest, NoFramesShowAnAllDarkPicture) {
  Window->FrameTable.clear();
  Window->FrameCount = 0;
  Window->CurrentFrame = 0;
  Window->PaintFrame(0);
  EXPECT_EQ(Shown(), varo::SegmentPattern{});
  QTest::keyClick(Window.get(), Qt::Key_PageUp);
  QTest::keyClick(Window.get(), Qt::Key_PageDown);
  EXPECT_EQ(Window->CurrentFrame, 0);
  EXPECT_EQ(Window->StaticText1->text(), "FRAME : 0");
  Window->PaintFrame(200);
  EXPECT_EQ(Shown(), varo::SegmentPattern{});
}

TEST_F(WindowTest, KeyPreviewActsOnceAndLeavesTheKeyToTheFocusedControl) {
  Window->BitBtn2Click();
  auto* edit = new QLineEdit(Window.get());
  KeyCounter counter;
  edit->installEventFilter(&counter);
  QTest::keyClick(edit, Qt::Key_PageUp);
  EXPECT_EQ(counter.Presses, 1);
  EXPECT_EQ(Window->CurrentFrame, 1);

  // A control that ignores the key hands it on to its parents: still one step.
  auto* plain = new QWidget(Window->Panel1);
  QTest::keyClick(plain, Qt::Key_PageUp);
  EXPECT_EQ(Window->CurrentFrame, 2);
  QTest::keyClick(plain, Qt::Key_PageUp);
  EXPECT_EQ(Window->CurrentFrame, 3);
}

TEST_F(WindowTest, KeysOfOtherWindowsAreNotPreviewed) {
  QWidget other;
  other.show();
  QTest::keyClick(&other, Qt::Key_PageUp);
  EXPECT_EQ(Window->CurrentFrame, 0);
}
