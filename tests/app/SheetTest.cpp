// The project sheet from the window: the PDF rendered back by poppler, the
// PNG and the printer's output all show every floor's pattern; bad paths and
// paper are refused with a message and change nothing.

#include <QDir>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "features/sheet/ProjectSheet.h"
#include "features/labels/SeveralFloors.h"
#include "FileSizeLimit.h"
#include "features/sheet/SheetFile.h"
#include "SpecialFiles.h"
#include "WindowFixture.h"
#include "core/ErrorText.h"
#include "core/LabelFont.h"
#include "core/Thumbnail.h"

namespace {

class SheetTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    ASSERT_TRUE(Dir.isValid());
    // Floors -3 to 15 with B3 B2 B1 Z, every segment lit on floor 1 and none on floor 2.
    Choose(Window->ilkkat, 5);
    Window->BitBtn1Click();
    Extra<TSeveralFloors>().LabelSeveralFloors({U"B", U"Z"});
    for (int frame : {4, 5}) {
      Window->CurrentFrame = static_cast<uint8_t>(frame);
      frame == 4 ? Window->SpeedButton4Click() : Window->SpeedButton5Click();
    }
    Window->CheckBox1->setChecked(true);
    Window->Modified = false;
    Window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Window.get()));
  }

  // The layout the window's sheet has: the same floors and detail lines, whatever the date.
  varo::SheetLayout Layout(const QSizeF& pageMm = {varo::A4WidthMm, varo::A4HeightMm}) const {
    TSheet sheet;
    sheet.Frames = Window->FrameTable;
    sheet.Facts = {-3, 19, 1, true, "01.01.2025", ""};
    return SheetLayoutFor(pageMm, sheet);
  }

  // Each floor's drawing shows its pattern: dark where lit, light grey where not, at every
  // seed scaled into the drawing; and every detail line has text.
  void ExpectSheetShowsTheProject(const QImage& page) {
    ASSERT_FALSE(page.isNull());
    const varo::SheetLayout layout = Layout();
    const double k = page.width() / varo::A4WidthMm;
    ASSERT_EQ(layout.Drawings.size(), Window->FrameTable.size());
    for (size_t i = 0; i < layout.Drawings.size(); ++i) {
      const varo::RectMm& d = layout.Drawings[i];
      const varo::SegmentPattern& pattern = Window->FrameTable[i];
      for (int s = 0; s < varo::SegmentCount; ++s) {
        // The drawing is the half-size thumbnail, stretched over the drawing's rectangle.
        const varo::Point seed = varo::SeedOf(s);
        const double x = d.X + (seed.X / 2 + 0.5) * d.Width / (varo::DisplayWidth / 2);
        const double y = d.Y + (seed.Y / 2 + 0.5) * d.Height / (varo::DisplayHeight / 2);
        const int grey = qGray(page.pixel(static_cast<int>(x * k), static_cast<int>(y * k)));
        if (pattern.Segment(s))
          EXPECT_LT(grey, 60) << "floor " << i - 3 << " segment " << s << " should be lit";
        else
          EXPECT_GT(grey, 200) << "floor " << i - 3 << " segment " << s << " should be dark";
      }
    }
    for (const varo::RectMm& line : layout.DetailLines) {
      int ink = 0;
      for (int y = static_cast<int>(line.Y * k); y < static_cast<int>(line.Bottom() * k); ++y)
        for (int x = static_cast<int>(line.X * k); x < static_cast<int>(line.Right() * k); ++x)
          ink += qGray(page.pixel(x, y)) < 128;
      EXPECT_GT(ink, 50) << "a detail line at " << line.Y << " mm is blank";
    }
  }

  // The only page of a PDF at 300 dpi, after checking with poppler that it is one A4 page.
  QImage RenderPdf(const QString& pdf) {
    QProcess info;
    info.start(VARO_PDFINFO, {pdf});
    EXPECT_TRUE(info.waitForFinished(30000));
    const QString facts = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(facts.contains(QRegularExpression("Pages:\\s+1\\n"))) << facts.toStdString();
    EXPECT_TRUE(facts.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)")))
        << facts.toStdString();
    QProcess render;
    render.start(VARO_PDFTOPPM, {"-r", "300", "-png", "-singlefile", pdf, Dir.filePath("page")});
    EXPECT_TRUE(render.waitForFinished(60000));
    EXPECT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
    const QImage page(Dir.filePath("page.png"));
    EXPECT_NEAR(page.width(), 210 / 25.4 * 300, 1.5);
    EXPECT_NEAR(page.height(), 297 / 25.4 * 300, 1.5);
    return page;
  }

  // A path whose folder is a file: no one may write there, not even root.
  QString Unwritable(const QString& name) {
    QFile blocker(Dir.filePath("not-a-folder"));
    EXPECT_TRUE(blocker.open(QIODevice::WriteOnly));
    return Dir.filePath("not-a-folder/" + name);
  }

  void ExpectRefusedAndUnchanged(const std::vector<varo::SegmentPattern>& table, const QString& path,
                                 const char* words) {
    ASSERT_EQ(Dialogs->Kinds().back(), "Error");
    EXPECT_TRUE(Dialogs->Calls.back().Text.contains(QString::fromUtf8(words))) << Dialogs->Calls.back().Text.toStdString();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(Window->FrameTable, table);
    EXPECT_FALSE(Window->Modified);
  }

  QTemporaryDir Dir;
};

}  // namespace

TEST_F(SheetTest, PdfIsOneA4PageShowingEveryFloor) {
  const QString pdf = Dir.filePath("sheet.pdf");
  Dialogs->Files.push_back(pdf);
  Extra<TProjectSheet>().SaveSheetPdf();
  ASSERT_EQ(Dialogs->Kinds(), std::vector<QString>{"Save"});
  EXPECT_EQ(Dialogs->FileDialogs[0].DefaultSuffix, "pdf");
  ExpectSheetShowsTheProject(RenderPdf(pdf));
  EXPECT_FALSE(Window->Modified) << "exporting is no change of the project";
}

TEST_F(SheetTest, PngIsTheSamePageAt150Dpi) {
  const QString png = Dir.filePath("sheet.png");
  Dialogs->Files.push_back(png);
  Extra<TProjectSheet>().SaveSheetPng();
  const QImage page(png);
  EXPECT_EQ(page.size(), QSize(1240, 1754));
  EXPECT_NEAR(page.dotsPerMeterX() * 0.0254, SheetPngDpi, 0.5);
  ExpectSheetShowsTheProject(page);
}

TEST_F(SheetTest, PrintingGoesThroughThePrintDialogOntoA4) {
  const QString pdf = Dir.filePath("printed.pdf");
  int asked = 0;
  Extra<TProjectSheet>().SetPrintDialog([&](QPrinter& printer) {
    ++asked;
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    return true;
  });
  Window->Image1->setFocus();
  QTest::keyClick(Window.get(), Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(Dialogs->Calls.empty());
  ExpectSheetShowsTheProject(RenderPdf(pdf));
}

TEST_F(SheetTest, BadPathsAndPaperAreRefusedAndChangeNothing) {
  const auto table = Window->FrameTable;
  const QString pdf = Unwritable("sheet.pdf"), png = Unwritable("sheet.png");
  Dialogs->Files.push_back(pdf);
  Extra<TProjectSheet>().SaveSheetPdf();
  ExpectRefusedAndUnchanged(table, pdf, "Kat sayfası kaydedilemedi");
  EXPECT_TRUE(Dialogs->Calls.back().Text.contains(pdf));
  Dialogs->Files.push_back(png);
  Extra<TProjectSheet>().SaveSheetPng();
  ExpectRefusedAndUnchanged(table, png, "Kat sayfası kaydedilemedi");

  // A device, FIFO, socket or folder under the name is refused and left as it was.
  SpecialFiles special(Dir.path().toStdString());
  ASSERT_GE(special.Files.size(), 4u);
  for (const SpecialFile& f : special.Files) {
    SCOPED_TRACE(f.Name);
    const FileIdentity before = IdentityOf(f.Path);
    Dialogs->Files.push_back(QString::fromStdString(f.Path));
    Extra<TProjectSheet>().SaveSheetPdf();
    ASSERT_EQ(Dialogs->Kinds().back(), "Error");
    EXPECT_TRUE(Dialogs->Calls.back().Text.contains(QString::fromStdString(f.Kind)));
    EXPECT_EQ(IdentityOf(f.Path), before);
  }

  // Paper too small for 19 floors: nothing is printed.
  const QString printed = Dir.filePath("small.pdf");
  Extra<TProjectSheet>().SetPrintDialog([&](QPrinter& printer) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(printed);
    printer.setPageSize(QPageSize(QPageSize::A7));
    return true;
  });
  Extra<TProjectSheet>().PrintSheet();
  ExpectRefusedAndUnchanged(table, printed, "sığmıyor");

  // A cancelled dialog, whether file or printer, does nothing at all.
  const size_t calls = Dialogs->Calls.size();
  Extra<TProjectSheet>().SetPrintDialog([](QPrinter&) { return false; });
  Extra<TProjectSheet>().PrintSheet();
  Dialogs->Files.push_back(std::nullopt);
  Extra<TProjectSheet>().SaveSheetPdf();
  EXPECT_EQ(Dialogs->Calls.size(), calls + 1) << "only the cancelled file dialog";
}

// A long file name is shortened with "…" in the middle, keeping its start and its end, rather than
// cut off where the line ends.
TEST_F(SheetTest, ALongFileNameIsShortenedInTheMiddle) {
  const QString name = "Bodrum " + QString(150, 'k') + " sonu.vrd";
  Window->setWindowTitle("VARO PROGRAMLAYICI - " + Dir.filePath(name));
  const QString pdf = Dir.filePath("long.pdf");
  Dialogs->Files.push_back(pdf);
  Extra<TProjectSheet>().SaveSheetPdf();
  QProcess text;
  text.start(VARO_PDFTOTEXT, {pdf, "-"});
  ASSERT_TRUE(text.waitForFinished(30000));
  const QString words = QString::fromUtf8(text.readAllStandardOutput());
  const QRegularExpressionMatch line = QRegularExpression("Dosya: ([^\n]*)").match(words);
  ASSERT_TRUE(line.hasMatch()) << words.toStdString();
  EXPECT_TRUE(line.captured(1).startsWith("Bodrum k")) << line.captured(1).toStdString();
  EXPECT_TRUE(line.captured(1).contains(QString::fromUtf8("…")));
  EXPECT_TRUE(line.captured(1).endsWith("k sonu.vrd")) << line.captured(1).toStdString();
}

// Into a folder that is not there: said as a project file's save says it, with no word of a file
// left untouched where there was none.
TEST_F(SheetTest, ASaveIntoAMissingFolderSaysSoAndClaimsNoOldFile) {
  const QString pdf = Dir.filePath("no/such/sheet.pdf");
  Dialogs->Files.push_back(pdf);
  Extra<TProjectSheet>().SaveSheetPdf();
  ASSERT_EQ(Dialogs->Kinds(), (std::vector<QString>{"Save", "Error"}));
  EXPECT_EQ(Dialogs->Calls[1].Text, "Kat sayfası kaydedilemedi: " + pdf + " (File not found)\n" +
                                        QString::fromStdString(varo::FileErrorAdvice(ENOENT)));
}

TEST_F(SheetTest, AWriteThatFailsHalfwayKeepsTheEarlierSheet) {
  const QString pdf = Dir.filePath("sheet.pdf"), png = Dir.filePath("sheet.png");
  for (const QString& path : {pdf, png}) {
    QFile earlier(path);
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("earlier sheet");
  }
  {
    const FileSizeLimit limit(1000);
    ASSERT_TRUE(limit.Applied());
    Dialogs->Files = {pdf, png};
    Extra<TProjectSheet>().SaveSheetPdf();
    Extra<TProjectSheet>().SaveSheetPng();
  }

  ASSERT_EQ(Dialogs->Kinds(), (std::vector<QString>{"Save", "Error", "Save", "Error"}));
  EXPECT_EQ(Dialogs->Calls[1].Text, "Kat sayfası kaydedilemedi: " + pdf + " (Disk full)\n" +
                                        QString::fromStdString(varo::FileErrorAdvice(ENOSPC)) +
                                        QString::fromUtf8("\nVar olan dosyaya dokunulmadı."));
  for (const QString& path : {pdf, png}) {
    QFile kept(path);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "earlier sheet") << path.toStdString();
  }
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2) << "no temporary file left";
}
