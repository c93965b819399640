// The floor-range panel and the code-system menu.
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

#include "WindowFixture.h"

namespace {

class PanelTest : public WindowTest {
 protected:
  // From setup mode at start to editing mode with the default project.
  void SetUp() override {
    WindowTest::SetUp();
    QTest::mouseClick(Window->BitBtn1, Qt::LeftButton);
  }
  bool MenuOpen() { return Window->PopupMenu1->isVisible(); }
  void RightClickStatusBar() {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 10), Window->StatusBar1->mapToGlobal(QPoint(20, 10)));
    QCoreApplication::sendEvent(Window->StatusBar1, &event);
  }
  QAction* Checked() { return Window->CodeSystemGroup->checkedAction(); }
};

}  // namespace

TEST_F(PanelTest, OkBuildsTheProjectOfThePanelsRange) {
  TFmMain& w = *Window;
  EXPECT_FALSE(w.InSetupMode());
  for (QWidget* c : std::initializer_list<QWidget*>{w.Panel13, w.Panel1, w.Panel4, w.StatusBar1, w.CheckBox1})
    EXPECT_TRUE(c->isEnabled()) << c->objectName().toStdString();

  QTest::mouseClick(w.SpeedButton1, Qt::LeftButton);
  EXPECT_TRUE(w.InSetupMode());
  Choose(w.ilkkat, 0);                           // -8
  Choose(w.sonkat, w.sonkat->findText("10"));    // -8 .. 10
  w.ComboBox1->setCurrentIndex(3);
  QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
  ASSERT_EQ(w.FrameTable.size(), 19u);
  for (int i = 0; i < 19; ++i) EXPECT_EQ(w.FrameTable[i], varo::FloorPattern(i - 8));
  EXPECT_EQ(w.CodeSystem, 3);
  EXPECT_EQ(w.StatusBar1->PanelText(0), " Sayıcı 2");
  EXPECT_EQ(Shown(), varo::FloorPattern(-8));
  EXPECT_EQ(w.StaticText1->text(), "FRAME : 0");
}

TEST_F(PanelTest, OkAfterEditingStartsAfreshButKeepsModified) {
  TFmMain& w = *Window;
  QTest::keyClick(&w, Qt::Key_PageUp);
  w.FrameTable[1] = varo::SegmentPattern{{1, 2, 3, 4}};
  w.CheckBox1->setChecked(true);
  w.Modified = true;
  w.setWindowTitle("VARO PROGRAMLAYICI - /tmp/x.vrd");
  w.SpeedButton1Click();
  w.BitBtn1Click();
  EXPECT_EQ(w.FrameTable[1], varo::FloorPattern(1));
  EXPECT_EQ(w.CurrentFrame, 0);
  EXPECT_FALSE(w.CheckBox1->isChecked());
  EXPECT_EQ(w.windowTitle(), "VARO PROGRAMLAYICI");
  EXPECT_TRUE(w.Modified);
}

TEST_F(PanelTest, NewProjectButtonLeavesTheProjectAlone) {
  TFmMain& w = *Window;
  w.FrameTable[0] = varo::SegmentPattern{{9, 9, 9, 9}};
  w.PaintFrame(0);
  w.setWindowTitle("VARO PROGRAMLAYICI - /tmp/x.vrd");
  Choose(w.ilkkat, 10);  // editing mode: floors 2 .. 15
  w.BitBtn1Click();
  w.FrameTable[0] = varo::SegmentPattern{{9, 9, 9, 9}};
  w.PaintFrame(0);
  w.SpeedButton1Click();
  EXPECT_TRUE(w.InSetupMode());
  EXPECT_EQ(w.SavedFirstFloorIndex, 10);
  EXPECT_EQ(w.SavedLastFloorIndex, w.sonkat->findText("15"));
  EXPECT_EQ(w.FrameTable.size(), 14u);
  EXPECT_EQ(w.FrameTable[0], (varo::SegmentPattern{{9, 9, 9, 9}}));
  EXPECT_EQ(Shown(), (varo::SegmentPattern{{9, 9, 9, 9}}));
  EXPECT_EQ(w.windowTitle(), "VARO PROGRAMLAYICI");
}

TEST_F(PanelTest, CancelRestoresTheRangeAndCodeSystem) {
  TFmMain& w = *Window;
  w.FrameTable[0] = varo::SegmentPattern{{5, 5, 5, 5}};
  w.PaintFrame(0);
  const auto table = w.FrameTable;
  QTest::mouseClick(w.SpeedButton1, Qt::LeftButton);
  Choose(w.ilkkat, 30);
  Choose(w.sonkat, 5);
  w.ComboBox1->setCurrentIndex(4);
  ASSERT_NE(w.FrameCount, 16);
  QTest::mouseClick(w.BitBtn2, Qt::LeftButton);
  EXPECT_FALSE(w.InSetupMode());
  EXPECT_EQ(w.ilkkat->currentText(), "0");
  EXPECT_EQ(w.sonkat->currentText(), "15");
  EXPECT_EQ(w.sonkat->count(), 60);
  EXPECT_EQ(w.FirstFloor, 0);
  EXPECT_EQ(w.FrameCount, 16);
  EXPECT_EQ(w.ComboBox1->currentIndex(), 1);
  EXPECT_EQ(w.CodeSystem, 1);
  EXPECT_EQ(w.FrameTable, table);
  EXPECT_EQ(Shown(), (varo::SegmentPattern{{5, 5, 5, 5}}));
}

TEST_F(PanelTest, CancelAtStartKeepsTheDefaultProject) {
  WindowTest::TearDown();
  WindowTest::SetUp();
  Choose(Window->ilkkat, 40);
  QTest::mouseClick(Window->BitBtn2, Qt::LeftButton);
  EXPECT_EQ(Window->FrameCount, 16);
  EXPECT_EQ(Window->ilkkat->currentText(), "0");
  EXPECT_EQ(Window->FrameTable.size(), 16u);
}

struct MenuCase {
  const char* Action;
  int CodeSystem;
  const char* Combo;
  const char* Status;
};

class CodeSystemMenu : public PanelTest, public testing::WithParamInterface<MenuCase> {};

TEST_P(CodeSystemMenu, ItemsSelectByTheirCaptions) {
  const MenuCase c = GetParam();
  RightClickStatusBar();
  ASSERT_TRUE(MenuOpen());
  Window->findChild<QAction*>(c.Action)->trigger();
  Window->PopupMenu1->close();
  EXPECT_EQ(Window->CodeSystem, c.CodeSystem);
  EXPECT_EQ(Window->ComboBox1->currentText(), c.Combo);
  EXPECT_EQ(Window->StatusBar1->PanelText(0), c.Status);
  EXPECT_FALSE(Window->Modified);
  Window->CodeSystemGroup->actions().at(c.CodeSystem == 0 ? 1 : 0)->setChecked(true);
  RightClickStatusBar();
  EXPECT_EQ(Checked()->text(), Window->PopupMenu1->actions().at(c.CodeSystem)->text());
  Window->PopupMenu1->close();
}

INSTANTIATE_TEST_SUITE_P(CrossedNames, CodeSystemMenu,
                         testing::Values(MenuCase{"GRAY1", 0, "Binary Decoding", " Binary"},
                                         MenuCase{"BINARY1", 1, "Gray Decoding", " Gray"},
                                         MenuCase{"SAYICI111", 2, "Sayıcı (Tek Tüp)", " Sayıcı 1"},
                                         MenuCase{"SAYICI21", 3, "Sayıcı 2", " Sayıcı 2"},
                                         MenuCase{"N7SEGMENT1", 4, "7 Segment", " 7 Segment"}));

TEST_F(PanelTest, SevenSegmentThenReopenShowsItsCheckMark) {
  RightClickStatusBar();
  EXPECT_EQ(Checked()->objectName(), "BINARY1");  // Gray at start
  Window->N7SEGMENT1->trigger();
  Window->PopupMenu1->close();
  RightClickStatusBar();
  EXPECT_EQ(Checked()->text(), " 7 SEGMENT");
  Window->PopupMenu1->close();
  // The panel's OK takes the code system from the list, which the menu set.
  Window->SpeedButton1Click();
  Window->BitBtn1Click();
  EXPECT_EQ(Window->CodeSystem, 4);
}

TEST_F(PanelTest, NoCodeSystemMenuInSetupMode) {
  Window->SpeedButton1Click();
  RightClickStatusBar();
  EXPECT_FALSE(MenuOpen());
}
