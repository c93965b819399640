// The label box, copy and paste, undo and redo in the shown window.
#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include "features/overview/AllFloors.h"
#include "features/labels/LabelBox.h"
#include "features/sheet/ProjectSheet.h"
#include "features/labels/SeveralFloors.h"
#include "features/undo/Undo.h"
#include "features/labels/LabelValidator.h"
#include "features/overview/Overview.h"
#include "ProjectSnapshot.h"
#include "features/labels/SeveralFloorsDialog.h"
#include "WindowFixture.h"
#include "core/LabelFont.h"
#include "core/ProjectFile.h"

namespace {

class EditorPlusTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    // Floors -3 to 15, editing mode.
    Choose(Window->ilkkat, 5);
    Window->BitBtn1Click();
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
    Window->Modified = false;
  }
  void Type(const QString& text) {
    Extra<TLabelBox>().LabelEdit->setFocus();
    Extra<TLabelBox>().LabelEdit->selectAll();
    QTest::keyClicks(Extra<TLabelBox>().LabelEdit, text);
    QTest::keyClick(Extra<TLabelBox>().LabelEdit, Qt::Key_Return);
  }
  void Keys(Qt::Key key, Qt::KeyboardModifiers m = Qt::ControlModifier) {
    Window->Image1->setFocus();
    QTest::keyClick(Window.get(), key, m);
  }
  varo::SegmentPattern Frame(int i) { return Window->FrameTable.at(i); }
  // Clicks the several-floors button; `fill` answers the dialog once it is open.
  void LabelSeveralFloors(const std::function<void(TSeveralFloorsDialog&)>& fill) {
    bool answered = false;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<TSeveralFloorsDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      answered = true;
      fill(*dialog);
    });
    QTest::mouseClick(Extra<TSeveralFloors>().SeveralFloorsButton, Qt::LeftButton);
    EXPECT_TRUE(answered);
    Window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(Window.get()));
  }
};

}  // namespace

// A preview text as written, with the spaces inside each entry the unbreaking ones the dialog uses.
QString Entries(const char* text) {
  return QString::fromUtf8(text).replace(QStringLiteral(" → "), QStringLiteral("\u00A0→\u00A0"));
}

TEST_F(EditorPlusTest, TypingALabelSetsTheCurrentFrame) {
  QTest::keyClick(Window.get(), Qt::Key_PageUp);  // frame 1, floor -2
  Type("b2");
  EXPECT_EQ(Extra<TLabelBox>().LabelEdit->text(), "B2");
  EXPECT_EQ(Frame(1).Bytes, (std::array<uint8_t, 4>{0xFC, 0x52, 0xEE, 0x18}));
  EXPECT_EQ(Shown(), Frame(1));
  EXPECT_TRUE(Window->Modified);
  EXPECT_EQ(Frame(0), varo::FloorPattern(-3));
  // Page Up still steps while the box has the focus; Enter labels the new frame.
  QTest::keyClick(Extra<TLabelBox>().LabelEdit, Qt::Key_PageUp);
  EXPECT_EQ(Window->CurrentFrame, 2);
  Type("i");
  EXPECT_EQ(Extra<TLabelBox>().LabelEdit->text(), "İ");
  EXPECT_EQ(Frame(2), varo::LabelPattern(U"İ"));
  // Characters the font lacks never reach the box, and a hint beside it names them; at most two
  // characters.
  Extra<TLabelBox>().LabelEdit->clear();
  QToolTip::hideText();
  Extra<TLabelBox>().LabelEdit->insert("ä");
  EXPECT_EQ(Extra<TLabelBox>().LabelEdit->text(), "");
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_EQ(QToolTip::text(), TLabelValidator::RefusedHint(QString::fromUtf8("ä")));
  QTest::keyClicks(Extra<TLabelBox>().LabelEdit, "?#zp9");
  EXPECT_EQ(Extra<TLabelBox>().LabelEdit->text(), "ZP");
  EXPECT_TRUE(QToolTip::text().startsWith(QString::fromUtf8("Etiket bunu çizemez: #")));
}

TEST_F(EditorPlusTest, UndoAndRedoEveryKindOfChange) {
  QTest::keyClick(Window.get(), Qt::Key_PageUp);
  Type("B2");
  QTest::mouseClick(Window->SpeedButton4, Qt::LeftButton);  // all white
  const QPoint seed(varo::SeedOf(0).X, varo::SeedOf(0).Y);
  QTest::mouseClick(Window->Image1, Qt::LeftButton, Qt::NoModifier, seed);
  varo::SegmentPattern clicked{{0x7F, 0xFF, 0xFF, 0xFF}};
  EXPECT_EQ(Frame(1), clicked);

  Window->Modified = false;
  Keys(Qt::Key_Z);
  EXPECT_EQ(Frame(1).Bytes, (std::array<uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_TRUE(Window->Modified);
  Keys(Qt::Key_Z);
  EXPECT_EQ(Frame(1), varo::LabelPattern(U"B2"));
  Keys(Qt::Key_Z);
  EXPECT_EQ(Frame(1), varo::FloorPattern(-2)) << "back to the old pattern";
  EXPECT_EQ(Window->CurrentFrame, 1);
  EXPECT_EQ(Shown(), Frame(1));
  Keys(Qt::Key_Y);
  EXPECT_EQ(Frame(1), varo::LabelPattern(U"B2"));
  Keys(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Frame(1).Bytes, (std::array<uint8_t, 4>{0xFF, 0xFF, 0xFF, 0xFF}));

  // A new project from the panel is a step too: undo brings back range and frames.
  const auto before = Window->FrameTable;
  Window->SpeedButton1Click();
  Choose(Window->ilkkat, 8);
  Window->BitBtn1Click();
  EXPECT_EQ(Window->FrameTable.size(), 16u);
  Keys(Qt::Key_Z);
  EXPECT_EQ(Window->FrameTable, before);
  EXPECT_EQ(Window->ilkkat->currentText(), "-3");
  EXPECT_EQ(Window->FrameCount, 19);
}

// An undo step is the whole project the image is built from, and the title; Modified follows, so
// that an undo back to what the file holds is unmodified again.
TEST_F(EditorPlusTest, UndoBringsBackTheWholeProjectAndTheTitle) {
  QTemporaryDir dir;
  const QString saved = dir.filePath("saved.vrd");
  Window->N7SEGMENT1Click();
  Window->CheckBox1->click();
  Dialogs->Files = {saved};
  QTest::mouseClick(Window->SpeedButton3, Qt::LeftButton);
  const Snapshot atSave = TakeSnapshot(*Window);
  ASSERT_FALSE(atSave.Modified);

  // A new project: other range, code system and title, buzzer off.
  Window->SpeedButton1Click();
  Choose(Window->ilkkat, 8);
  Window->ComboBox1->setCurrentIndex(0);
  Window->BitBtn1Click();
  Window->BINARY1Click();  // captioned " GRAY"
  QTest::mouseClick(Window->SpeedButton4, Qt::LeftButton);
  const Snapshot edited = TakeSnapshot(*Window);

  Keys(Qt::Key_Z);  // the fill
  Keys(Qt::Key_Z);  // the menu's code system: nothing else changed
  Keys(Qt::Key_Z);  // the new project
  Snapshot now = TakeSnapshot(*Window);
  EXPECT_EQ(now.Title, "VARO PROGRAMLAYICI - " + saved);
  EXPECT_EQ(now.CodeSystem, 4);
  EXPECT_EQ(now.Status, " 7 Segment");
  EXPECT_TRUE(now.Buzzer);
  EXPECT_FALSE(now.Modified) << "back at what the file holds";
  now.CurrentFrame = atSave.CurrentFrame;
  now.Counter = atSave.Counter;
  EXPECT_EQ(now, atSave);
  // What a save or a write would send is that project again, byte for byte.
  EXPECT_EQ(Window->BuildDeviceImage(varo::CodeSystemForm::File), varo::ReadProjectFile(saved.toStdString()));

  for (int i = 0; i < 3; ++i) Keys(Qt::Key_Y);
  now = TakeSnapshot(*Window);
  EXPECT_TRUE(now.Modified);
  now.CurrentFrame = edited.CurrentFrame;
  now.Counter = edited.Counter;
  EXPECT_EQ(now, edited);

  // The buzzer's tick is a step of its own.
  Window->CheckBox1->click();
  EXPECT_TRUE(Window->CheckBox1->isChecked());
  Keys(Qt::Key_Z);
  EXPECT_FALSE(Window->CheckBox1->isChecked());
  EXPECT_EQ(Window->FrameTable, edited.Table);
  Keys(Qt::Key_Y);
  EXPECT_TRUE(Window->CheckBox1->isChecked());
}

// While the panel is shown, its lists and its cancel stand for the range of the table: undo and
// redo wait for editing mode, and the header of the image stays that of the drawings.
TEST_F(EditorPlusTest, UndoWaitsWhileThePanelIsShown) {
  // 0 .. 4, then 1 .. 5; the panel opened again, undo asked for, cancel.
  for (const char* first : {"0", "1"}) {
    Window->SpeedButton1Click();
    Choose(Window->ilkkat, Window->ilkkat->findText(first));
    Choose(Window->sonkat, Window->sonkat->findText(first == std::string("0") ? "4" : "5"));
    Window->BitBtn1Click();
  }
  Window->SpeedButton1Click();
  Keys(Qt::Key_Z);
  Keys(Qt::Key_Y);
  Window->BitBtn2Click();
  EXPECT_EQ(Window->ilkkat->currentText(), "1");
  EXPECT_EQ(Window->sonkat->currentText(), "5");
  const varo::DeviceImage image = Window->BuildDeviceImage(varo::CodeSystemForm::Device);
  EXPECT_EQ(image[244], 9);
  EXPECT_EQ(image[245], 5);
  EXPECT_EQ(image[247], 3);
  for (int i = 0; i < 5; ++i)
    EXPECT_TRUE(std::equal(image.begin() + 4 * i, image.begin() + 4 * i + 4, varo::FloorPattern(1 + i).Bytes.begin()))
        << "frame " << i;
  // In editing mode undo takes the 1 .. 5 project back to 0 .. 4, lists and header alike.
  Keys(Qt::Key_Z);
  EXPECT_EQ(Window->ilkkat->currentText(), "0");
  EXPECT_EQ(Window->BuildDeviceImage(varo::CodeSystemForm::Device)[244], 8);
}

// After typing a label, or a port name, a click on the picture gives the keys to the frame: Ctrl+Z
// undoes the click there, Ctrl+V pastes a pattern, rather than acting on the text of the box.
TEST_F(EditorPlusTest, AClickOnThePictureTakesTheKeysFromTheBoxes) {
  const QPoint seed(varo::SeedOf(0).X, varo::SeedOf(0).Y);
  for (QWidget* box : {static_cast<QWidget*>(Extra<TLabelBox>().LabelEdit), static_cast<QWidget*>(Window->comport)}) {
    SCOPED_TRACE(box->objectName().toStdString());
    const varo::SegmentPattern before = Frame(0);
    box->setFocus();
    QTest::keyClicks(QApplication::focusWidget(), "A");
    QTest::mouseClick(Window->Image1, Qt::LeftButton, Qt::NoModifier, seed);
    ASSERT_NE(Frame(0), before);
    EXPECT_EQ(QApplication::focusWidget(), Window->Image1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Frame(0), before) << "the click on the picture is undone";
    QGuiApplication::clipboard()->setText("fc 52 ee 18");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Frame(0), varo::LabelPattern(U"B2"));
    Extra<TUndo>().UndoProject();
  }
}

// Enter, or a paste, in the port box uses the text as a port name without adding it to the list,
// so that later typing is not completed to it.
TEST_F(EditorPlusTest, ThePortBoxListsOnlyThePortsFound) {
  const int listed = Window->comport->count();
  Window->comport->setFocus();
  QGuiApplication::clipboard()->setText("anything at all");
  QTest::keyClick(Window->comport, Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(Window->comport, Qt::Key_Return);
  Window->comport->lineEdit()->clear();
  QTest::keyClicks(Window->comport, "/tmp/x");
  QTest::keyClick(Window->comport, Qt::Key_Return);
  EXPECT_EQ(Window->comport->count(), listed);
  EXPECT_EQ(Window->comport->currentText(), "/tmp/x");
  Window->comport->lineEdit()->clear();
  QTest::keyClicks(Window->comport, "an");
  EXPECT_EQ(Window->comport->currentText(), "an") << "not completed to the pasted text";
}

TEST_F(EditorPlusTest, CopyAndPasteThroughTheClipboard) {
  Type("P");
  Keys(Qt::Key_C);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "00 00 E3 18");
  QTest::keyClick(Window.get(), Qt::Key_PageUp);
  Keys(Qt::Key_V);
  EXPECT_EQ(Frame(1), varo::LabelPattern(U"P"));
  EXPECT_EQ(Shown(), Frame(1));
  QGuiApplication::clipboard()->setText("fc 52 ee 18");
  Keys(Qt::Key_V);
  EXPECT_EQ(Frame(1), varo::LabelPattern(U"B2"));

  // Text that is no pattern: a clear message and nothing changes.
  const auto table = Window->FrameTable;
  Window->Modified = false;
  QGuiApplication::clipboard()->setText("Kat 3");
  Keys(Qt::Key_V);
  EXPECT_EQ(Window->FrameTable, table);
  EXPECT_FALSE(Window->Modified);
  ASSERT_EQ(Dialogs->Kinds(), std::vector<QString>{"Error"});
  EXPECT_TRUE(Dialogs->Calls[0].Text.contains("00 00 FF 00"));
  Keys(Qt::Key_Z);
  EXPECT_EQ(Frame(1), varo::LabelPattern(U"P")) << "the refused paste is no step";
}

TEST_F(EditorPlusTest, OverviewShowsEveryFrameAndAClickChoosesOne) {
  Keys(Qt::Key_F2, Qt::NoModifier);
  TOverview* overview = Extra<TAllFloors>().Overview;
  ASSERT_NE(overview, nullptr);
  EXPECT_TRUE(overview->isVisible());
  QTest::mouseClick(overview, Qt::LeftButton, Qt::NoModifier, overview->CellRect(5).center());
  EXPECT_EQ(Window->CurrentFrame, 5);
  EXPECT_EQ(Window->StaticText1->text(), "FRAME : 5");
  EXPECT_EQ(Shown(), varo::FloorPattern(2));
  // It follows a change at once: segment 16 of frame 5 lights in its drawing.
  Window->SpeedButton4Click();
  const QImage picture = overview->grab().toImage();
  const QRect cell = overview->CellRect(5);
  const varo::Point seed = varo::SeedOf(16);
  EXPECT_EQ(picture.pixelColor(cell.left() + seed.X / 6, cell.top() + seed.Y / 6), QColor(255, 255, 255));
  const QRect other = overview->CellRect(4);
  EXPECT_EQ(picture.pixelColor(other.left() + seed.X / 6, other.top() + seed.Y / 6), QColor(0, 80, 170));
  // A click beside every drawing changes nothing.
  QTest::mouseClick(overview, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1));
  EXPECT_EQ(Window->CurrentFrame, 5);
}

TEST_F(EditorPlusTest, ExtraControlsLieInTheFreeSpaceOfTheTopRow) {
  const QWidget* extras[] = {Extra<TLabelBox>().LabelEdit, Extra<TAllFloors>().OverviewButton, Extra<TSeveralFloors>().SeveralFloorsButton,
                             Extra<TProjectSheet>().SheetButton};
  for (size_t i = 0; i < std::size(extras); ++i) {
    const QRect r = extras[i]->geometry();
    SCOPED_TRACE(extras[i]->objectName().toStdString());
    EXPECT_TRUE(extras[i]->isVisible());
    EXPECT_GE(r.left(), 456);
    EXPECT_LE(r.right(), 586);
    EXPECT_GE(r.top(), 0);
    EXPECT_LE(r.bottom(), 31);
    EXPECT_FALSE(extras[i]->toolTip().isEmpty());
    for (size_t j = 0; j < i; ++j) EXPECT_FALSE(r.intersects(extras[j]->geometry())) << "overlaps " << j;
  }
}

TEST_F(EditorPlusTest, SeveralFloorsGetTheirLabelsInOneUndoStep) {
  const auto before = Window->FrameTable;
  LabelSeveralFloors([](TSeveralFloorsDialog& d) {
    EXPECT_TRUE(d.BasementBox->isChecked() && d.GroundBox->isChecked());
    d.PrefixEdit->setText("k");
    d.GroundEdit->setText("g");
    EXPECT_EQ(d.Preview->text(), Entries("-3 → K3   -2 → K2   -1 → K1   0 → G"));
    d.OkButton->click();
  });
  const char32_t* labels[] = {U"K3", U"K2", U"K1", U"G"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Frame(i), varo::LabelPattern(labels[i])) << i;
  for (size_t i = 4; i < before.size(); ++i) EXPECT_EQ(Frame(i), before[i]) << i;
  EXPECT_TRUE(Window->Modified);
  EXPECT_EQ(Shown(), Frame(Window->CurrentFrame));

  Keys(Qt::Key_Z);
  EXPECT_EQ(Window->FrameTable, before) << "one step takes all four back";

  // Without the ground floor, and cancelled: only what was ticked, or nothing.
  LabelSeveralFloors([](TSeveralFloorsDialog& d) {
    d.GroundBox->setChecked(false);
    EXPECT_FALSE(d.GroundEdit->isEnabled());
    d.reject();
  });
  EXPECT_EQ(Window->FrameTable, before);
  LabelSeveralFloors([](TSeveralFloorsDialog& d) {
    d.GroundBox->setChecked(false);
    d.accept();
  });
  EXPECT_EQ(Frame(2), varo::LabelPattern(U"B1"));
  EXPECT_EQ(Frame(3), before[3]);
}

TEST(SeveralFloorsDialog, OffersOnlyWhatTheRangeHas) {
  struct Case {
    int FirstFloor, FrameCount;
    bool Basement, Ground;
    const char* Preview;
  };
  const Case cases[] = {
      {-2, 5, true, true, "-2 → B2   -1 → B1   0 → Z"},
      {-8, 5, true, false, "-8 → B8   -7 → B7   -6 → B6   -5 → B5   -4 → B4"},
      {0, 16, false, true, "0 → Z"},
      {1, 16, false, false, "Hiçbir kat değişmez."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.FirstFloor);
    TSeveralFloorsDialog d(c.FirstFloor, c.FrameCount, nullptr);
    EXPECT_EQ(d.BasementBox->isEnabled(), c.Basement);
    EXPECT_EQ(d.GroundBox->isEnabled(), c.Ground);
    EXPECT_EQ(d.Preview->text(), Entries(c.Preview));
    EXPECT_EQ(d.OkButton->isEnabled(), c.Basement || c.Ground);
    EXPECT_EQ(d.Labels().BasementPrefix.has_value(), c.Basement);
    EXPECT_EQ(d.Labels().GroundLabel.has_value(), c.Ground);
  }
  // An emptied ground label leaves floor 0 alone; nothing left to do disables OK.
  TSeveralFloorsDialog d(0, 16, nullptr);
  d.GroundEdit->setText("");
  EXPECT_FALSE(d.Labels().GroundLabel);
  EXPECT_FALSE(d.OkButton->isEnabled());
  // Typing goes through the label font: upper-cased, one character for the prefix.
  TSeveralFloorsDialog typed(-1, 5, nullptr);
  typed.PrefixEdit->clear();
  typed.PrefixEdit->insert(QString::fromUtf8("ı"));
  QTest::keyClicks(typed.PrefixEdit, "x?");
  EXPECT_EQ(typed.PrefixEdit->text(), "I");
}

// No prefix would make floor -8 read as 8: refused with a word why, until a prefix is typed.
TEST(SeveralFloorsDialog, AnEmptyPrefixIsRefused) {
  TSeveralFloorsDialog d(-8, 12, nullptr);
  d.PrefixEdit->clear();
  EXPECT_FALSE(d.OkButton->isEnabled());
  EXPECT_TRUE(d.Preview->text().startsWith(QString::fromUtf8("Önek boş"))) << d.Preview->text().toStdString();
  d.BasementBox->setChecked(false);
  EXPECT_TRUE(d.OkButton->isEnabled()) << "floor 0 alone is still labelled";
  d.BasementBox->setChecked(true);
  QTest::keyClicks(d.PrefixEdit, "b");
  EXPECT_TRUE(d.OkButton->isEnabled());
  EXPECT_TRUE(d.Preview->text().startsWith(Entries("-8 → B8")));
}

// However narrow the dialog, an entry of the preview is never broken across lines.
TEST(SeveralFloorsDialog, PreviewEntriesNeverWrapInside) {
  TSeveralFloorsDialog d(-8, 12, nullptr);
  d.Preview->setFixedWidth(120);
  const QString text = d.Preview->text();
  const QFontMetrics metrics(d.Preview->font());
  const QRect wrapped = metrics.boundingRect(QRect(0, 0, 120, 1000), Qt::TextWordWrap, text);
  for (const QString& entry : text.split("   ")) {
    EXPECT_FALSE(entry.contains(' ')) << entry.toStdString();
    EXPECT_LE(metrics.horizontalAdvance(entry), wrapped.width() + 1);
  }
}
