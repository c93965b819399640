// Save, open and the question when the window closes.

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "FileSizeLimit.h"
#include "ProjectSnapshot.h"
#include "SpecialFiles.h"
#include "WindowFixture.h"
#include "core/ErrorText.h"

namespace {

using Answer = TDialogs::TAnswer;

QByteArray Read(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

QString Advice(int error) { return QString::fromStdString(varo::FileErrorAdvice(error)); }

// The first line of a failed open or save: a Turkish heading, the path, the system's own words.
QString Opening(const QString& path, const char* text) { return "Ayar dosyası açılamadı: " + path + " (" + text + ")"; }
QString Saving(const QString& path, const char* text) { return "Ayar dosyası kaydedilemedi: " + path + " (" + text + ")"; }

QByteArray DefaultFile() {
  QByteArray b;
  for (int i = 0; i < 16; ++i)
    for (uint8_t v : varo::FloorPattern(i).Bytes) b.append(static_cast<char>(v));
  b.append(QByteArray(180, '\xFF'));
  b.append(QByteArray::fromHex("0810010E00FFFFFFFFFFFFFF"));
  return b;
}

class FileTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Window->BitBtn2Click();  // editing mode with the default project
  }
  QString Path(const QString& name) { return QDir(Dir.path()).filePath(name); }
  Snapshot Take() { return TakeSnapshot(*Window); }
  // Opens a file through the open button; the error display reports into Dialogs.
  void Open(const QString& path) {
    Dialogs->Files.push_back(path);
    QTest::mouseClick(Window->SpeedButton2, Qt::LeftButton);
  }
  void Save(const QString& path) {
    Dialogs->Files.push_back(path);
    QTest::mouseClick(Window->SpeedButton3, Qt::LeftButton);
  }
  QString LastError() {
    for (auto it = Dialogs->Calls.rbegin(); it != Dialogs->Calls.rend(); ++it)
      if (it->Kind == "Error") {
        EXPECT_EQ(it->Caption, "VARO PROGRAMMER");
        return it->Text;
      }
    return {};
  }
  // A project unlike the default one: floors -8 .. 10, 7 Segment, buzzer on, one edit.
  void MakeOtherProject() {
    Window->SpeedButton1Click();
    Choose(Window->ilkkat, 0);
    Choose(Window->sonkat, Window->sonkat->findText("10"));
    Window->ComboBox1->setCurrentIndex(4);
    Window->BitBtn1Click();
    Window->CheckBox1->setChecked(true);
    Window->FrameTable[2] = varo::SegmentPattern{{0x12, 0x34, 0x56, 0x78}};
  }
  QTemporaryDir Dir;
};

}  // namespace

TEST_F(FileTest, SavingTheDefaultProject) {
  Window->Modified = true;
  Save(Path("default.vrd"));
  EXPECT_EQ(Read(Path("default.vrd")), DefaultFile());
  EXPECT_EQ(Window->windowTitle(), "VARO PROGRAMLAYICI - " + Path("default.vrd"));
  EXPECT_FALSE(Window->Modified);
  ASSERT_EQ(Dialogs->FileDialogs.size(), 1u);
  EXPECT_EQ(Dialogs->FileDialogs[0].Title, "Ayar Kaydet");
  EXPECT_EQ(Dialogs->FileDialogs[0].Filter, "VARO Dosyası (*.vrd)");
  EXPECT_EQ(Dialogs->FileDialogs[0].DefaultSuffix, "vrd");
}

TEST_F(FileTest, TheDeviceFormDiffersOnlyInTheCodeSystemByte) {
  const varo::DeviceImage file = Window->BuildDeviceImage(varo::CodeSystemForm::File);
  const varo::DeviceImage device = Window->BuildDeviceImage(varo::CodeSystemForm::Device);
  EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(file.data()), 256), DefaultFile());
  for (int i = 0; i < 256; ++i)
    if (i != 246) EXPECT_EQ(file[i], device[i]) << i;
  EXPECT_EQ(device[246], 2);
}

TEST_F(FileTest, CancellingTheSaveDialogChangesNothing) {
  Window->Modified = true;
  const Snapshot before = Take();
  Dialogs->Files.push_back(std::nullopt);
  QTest::mouseClick(Window->SpeedButton3, Qt::LeftButton);
  EXPECT_EQ(Take(), before);
  EXPECT_TRUE(QDir(Dir.path()).isEmpty());
}

TEST_F(FileTest, SavingWhileThePanelHoldsAnotherRangeWritesTheTable) {
  Window->SpeedButton1Click();
  Choose(Window->ilkkat, 0);  // the lists say -8 .., the table holds floors 0 .. 15
  Save(Path("setup.vrd"));
  EXPECT_EQ(Read(Path("setup.vrd")), DefaultFile());
  EXPECT_TRUE(Window->InSetupMode());
}

TEST_F(FileTest, SaveAndOpenRoundTrip) {
  MakeOtherProject();
  Save(Path("other.vrd"));
  const QByteArray bytes = Read(Path("other.vrd"));
  ASSERT_EQ(bytes.size(), 256);
  EXPECT_EQ(static_cast<uint8_t>(bytes[244]), 0);
  EXPECT_EQ(static_cast<uint8_t>(bytes[245]), 19);
  EXPECT_EQ(static_cast<uint8_t>(bytes[246]), 4);
  EXPECT_EQ(static_cast<uint8_t>(bytes[247]), 17);
  EXPECT_EQ(static_cast<uint8_t>(bytes[248]), 1);
  const Snapshot saved = Take();

  WindowTest::TearDown();
  WindowTest::SetUp();
  Window->BitBtn2Click();
  QTest::keyClick(Window.get(), Qt::Key_PageUp);
  Open(Path("other.vrd"));
  EXPECT_EQ(Take(), saved);
  EXPECT_EQ(Window->CurrentFrame, 0);
  EXPECT_EQ(Shown(), varo::FloorPattern(-8));
  ASSERT_EQ(Dialogs->FileDialogs.size(), 1u);
  EXPECT_EQ(Dialogs->FileDialogs[0].Title, "Ayar Aç");
  // Written back unchanged.
  Save(Path("again.vrd"));
  EXPECT_EQ(Read(Path("again.vrd")), bytes);
}

TEST_F(FileTest, OpenAskFirstWhenModified) {
  Write(Path("p.vrd"), DefaultFile());
  struct Case {
    Answer Reply;
    std::vector<std::optional<QString>> Files;
    std::vector<QString> Kinds;
    bool Opened;
    bool ModifiedAfter;
  };
  const Case cases[] = {
      {Answer::Cancel, {}, {"YesNoCancel"}, false, true},
      {Answer::No, {Path("p.vrd")}, {"YesNoCancel", "Open"}, true, false},
      {Answer::No, {std::nullopt}, {"YesNoCancel", "Open"}, false, true},
      // "Evet" and then no file: the open does not go on, the changes are still there.
      {Answer::Yes, {std::nullopt}, {"YesNoCancel", "Save"}, false, true},
      {Answer::Yes, {Path("saved.vrd"), std::nullopt}, {"YesNoCancel", "Save", "Open"}, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Kinds.size());
    Window->FrameTable[0] = varo::SegmentPattern{{7, 7, 7, 7}};
    Window->Modified = true;
    Dialogs->Calls.clear();
    Dialogs->Answers = {c.Reply};
    Dialogs->Files.assign(c.Files.begin(), c.Files.end());
    Window->SpeedButton2Click();
    EXPECT_EQ(Dialogs->Kinds(), c.Kinds);
    EXPECT_EQ(Dialogs->Calls[0].Caption, "VARO");
    EXPECT_EQ(Dialogs->Calls[0].Text, "Ayarlarınız Kaydedilsin mi?");
    EXPECT_EQ(Window->FrameTable[0] == varo::FloorPattern(0), c.Opened);
    EXPECT_EQ(Window->Modified, c.ModifiedAfter);
    EXPECT_TRUE(Dialogs->Files.empty());
  }
  EXPECT_EQ(static_cast<uint8_t>(Read(Path("saved.vrd"))[0]), 7);
}

TEST_F(FileTest, OpeningReadsTheFirst256BytesOfALongerFile) {
  Write(Path("long.vrd"), DefaultFile() + QByteArray(44, '\x01'));
  Window->FrameTable[0] = varo::SegmentPattern{};
  Open(Path("long.vrd"));
  EXPECT_EQ(Window->FrameTable[0], varo::FloorPattern(0));
  EXPECT_EQ(Window->windowTitle(), "VARO PROGRAMLAYICI - " + Path("long.vrd"));
  EXPECT_TRUE(LastError().isEmpty());
}

TEST_F(FileTest, FilesThatCannotBeReadChangeNothing) {
  Write(Path("short.vrd"), DefaultFile().left(255));
  const struct {
    QString File;
    QString Message;
  } cases[] = {{Path("short.vrd"), Opening(Path("short.vrd"), "Read beyond end of file") +
                                        "\nDosya 256 bayttan kısa; bir VARO ayar dosyası değil."},
               {Path("missing.vrd"), Opening(Path("missing.vrd"), "File not found") + "\n" + Advice(ENOENT)},
               {Path("short.vrd/x.vrd"), Opening(Path("short.vrd/x.vrd"), "Invalid filename") + "\n" + Advice(ENOTDIR)},
               {Dir.path(), Opening(Dir.path(), "I/O error 21") + "\n" + Advice(EISDIR)}};
  Window->FrameTable[3] = varo::SegmentPattern{{3, 3, 3, 3}};
  Window->setWindowTitle("VARO PROGRAMLAYICI - " + Path("old.vrd"));
  for (bool modified : {false, true}) {
    for (const auto& c : cases) {
      Window->Modified = modified;
      if (modified) Dialogs->Answers = {Answer::No};
      const Snapshot before = Take();
      Open(c.File);
      EXPECT_EQ(LastError(), c.Message);
      EXPECT_EQ(Take(), before) << c.File.toStdString();
    }
  }
}

struct BadFile {
  int Offset;
  uint8_t Value;
  const char* Field;
};

class RefusedFiles : public FileTest, public testing::WithParamInterface<BadFile> {};

TEST_P(RefusedFiles, AreRefusedBeforeAnythingChanges) {
  const BadFile c = GetParam();
  QByteArray bytes = DefaultFile();
  bytes[c.Offset] = static_cast<char>(c.Value);
  Write(Path("bad.vrd"), bytes);
  Window->Modified = true;
  Dialogs->Answers = {Answer::No};
  const Snapshot before = Take();
  Open(Path("bad.vrd"));
  const QString message = LastError();
  EXPECT_TRUE(message.contains(Path("bad.vrd"))) << message.toStdString();
  EXPECT_TRUE(message.contains(QString::fromUtf8(c.Field))) << message.toStdString();
  EXPECT_TRUE(message.contains(QString::number(c.Value))) << message.toStdString();
  EXPECT_TRUE(message.endsWith('.'));
  EXPECT_EQ(Take(), before);
}

INSTANTIATE_TEST_SUITE_P(BadFields, RefusedFiles,
                         testing::Values(BadFile{244, 68, "İlk Kat"}, BadFile{244, 200, "İlk Kat"},
                                         BadFile{247, 60, "Son Kat"}, BadFile{245, 0, "Frame sayısı"},
                                         BadFile{245, 62, "Frame sayısı"}, BadFile{245, 255, "Frame sayısı"},
                                         BadFile{245, 10, "0 ile 15 arası katlar için 16 olmalı"},
                                         BadFile{246, 7, "Kod sistemi (bayt 246) 7; 0 ile 4 arasında olmalı"}));

TEST_F(FileTest, OnlyAOneInAFileTicksTheBuzzer) {
  QByteArray bytes = DefaultFile();
  bytes[248] = 2;
  Write(Path("buzzer.vrd"), bytes);
  Window->CheckBox1->setChecked(true);
  Open(Path("buzzer.vrd"));
  EXPECT_FALSE(Window->CheckBox1->isChecked());
}

TEST_F(FileTest, OpeningWithThePanelShownKeepsSetupMode) {
  MakeOtherProject();
  Save(Path("other.vrd"));
  WindowTest::TearDown();
  WindowTest::SetUp();  // setup mode at start, range 0 .. 15 remembered
  Open(Path("other.vrd"));
  EXPECT_TRUE(Window->InSetupMode());
  EXPECT_EQ(Window->FrameTable.size(), 19u);
  EXPECT_EQ(Window->ilkkat->currentText(), "-8");
  // Saving now writes the opened project, as the table holds it.
  Save(Path("copy.vrd"));
  EXPECT_EQ(Read(Path("copy.vrd")), Read(Path("other.vrd")));

  Window->BitBtn1Click();  // OK: the defaults of the panel's range -8 .. 10
  ASSERT_EQ(Window->FrameTable.size(), 19u);
  EXPECT_EQ(Window->FrameTable[2], varo::FloorPattern(-6));

  Open(Path("other.vrd"));
  Window->SpeedButton1Click();
  Window->BitBtn2Click();  // cancel: the range remembered at "YENİ"
  EXPECT_EQ(Window->ilkkat->currentText(), "-8");
  EXPECT_EQ(Window->FrameTable[2], (varo::SegmentPattern{{0x12, 0x34, 0x56, 0x78}}));
}

// The panel's cancel goes back to the range of the table the window holds, which an open made
// while the panel was shown replaced: what is saved then is the opened project, header and all.
TEST_F(FileTest, CancelAfterAnOpenInSetupModeKeepsTheOpenedRange) {
  MakeOtherProject();  // -8 .. 10, 7 Segment
  Save(Path("other.vrd"));
  Window->SpeedButton1Click();
  Choose(Window->ilkkat, Window->ilkkat->findText("0"));
  Choose(Window->sonkat, Window->sonkat->findText("12"));
  Window->BitBtn1Click();  // a project of floors 0 .. 12
  Window->SpeedButton1Click();
  Open(Path("other.vrd"));
  Window->BitBtn2Click();
  EXPECT_EQ(Window->ilkkat->currentText(), "-8");
  EXPECT_EQ(Window->sonkat->currentText(), "10");
  EXPECT_EQ(Window->FrameCount, 19);
  EXPECT_EQ(Window->ComboBox1->currentIndex(), 4);
  for (int i = 0; i < 30; ++i) QTest::keyClick(Window.get(), Qt::Key_PageUp);
  EXPECT_EQ(Window->CurrentFrame, 18);
  Save(Path("again.vrd"));
  EXPECT_EQ(Read(Path("again.vrd")), Read(Path("other.vrd")));
}

TEST_F(FileTest, AFailedSaveKeepsTheOldFileTitleAndModified) {
  Save(Path("p.vrd"));
  const QByteArray old = Read(Path("p.vrd"));
  MakeOtherProject();
  Window->Modified = true;
  Window->setWindowTitle("VARO PROGRAMLAYICI - before");

  {
    const FileSizeLimit limit(100);
    ASSERT_TRUE(limit.Applied());
    Save(Path("p.vrd"));
  }

  EXPECT_EQ(LastError(), Saving(Path("p.vrd"), "Disk full") + "\n" + Advice(ENOSPC));
  EXPECT_EQ(Read(Path("p.vrd")), old);
  EXPECT_EQ(QDir(Dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).size(), 1);
  EXPECT_EQ(Window->windowTitle(), "VARO PROGRAMLAYICI - before");
  EXPECT_TRUE(Window->Modified);
}

TEST_F(FileTest, SaveIntoAMissingFolder) {
  Window->Modified = true;
  Save(Path("no/such/p.vrd"));
  EXPECT_EQ(LastError(), Saving(Path("no/such/p.vrd"), "File not found") + "\n" +
                             QString::fromStdString(varo::FileErrorAdvice(ENOENT)));
  EXPECT_TRUE(Window->Modified);
}

TEST_F(FileTest, ClosingWithoutChangesAsksNothing) {
  EXPECT_TRUE(Window->close());
  EXPECT_TRUE(Dialogs->Calls.empty());
}

TEST_F(FileTest, ClosingWithChanges) {
  struct Case {
    Answer Reply;
    std::optional<QString> File;
    bool Closes;
    std::vector<QString> Kinds;
  };
  const Case cases[] = {{Answer::Cancel, {}, false, {"YesNoCancel"}},
                        {Answer::No, {}, true, {"YesNoCancel"}},
                        // "Evet" and then no file: the work would be lost, so the window stays.
                        {Answer::Yes, std::nullopt, false, {"YesNoCancel", "Save"}},
                        {Answer::Yes, Path("closing.vrd"), true, {"YesNoCancel", "Save"}},
                        // A save that fails keeps the window open.
                        {Answer::Yes, Path("no/such/closing.vrd"), false, {"YesNoCancel", "Save", "Error"}}};
  for (const Case& c : cases) {
    Window->show();
    QTest::mouseClick(Window->Image1, Qt::LeftButton, Qt::NoModifier, QPoint(214, 170));  // background
    ASSERT_TRUE(Window->Modified);
    Dialogs->Calls.clear();
    Dialogs->Answers = {c.Reply};
    if (c.Reply == Answer::Yes) Dialogs->Files = {c.File};
    EXPECT_EQ(Window->close(), c.Closes);
    EXPECT_EQ(Window->isVisible(), !c.Closes);
    EXPECT_EQ(Dialogs->Kinds(), c.Kinds);
    EXPECT_EQ(Dialogs->Calls[0].Caption, "VARO");
    EXPECT_EQ(Dialogs->Calls[0].Text, "Ayarlarınız Kaydedilsin mi?");
  }
  EXPECT_EQ(Read(Path("closing.vrd")).size(), 256);
}

// Every way into a save: the button, the question when closing, the question before an open.
TEST_F(FileTest, ASaveOverADeviceFifoSocketOrFolderIsRefusedOnEveryPath) {
  SpecialFiles special(Dir.path().toStdString());
  ASSERT_GE(special.Files.size(), 4u);
  for (const SpecialFile& f : special.Files) {
    SCOPED_TRACE(f.Name);
    const QString target = QString::fromStdString(f.Path);
    const QString link = Path(QString::fromStdString(f.Name).section('/', -1) + ".vrd");
    ASSERT_TRUE(QFile::link(target, link));
    const FileIdentity before = IdentityOf(f.Path);
    const QString refusal = "Ayar dosyası kaydedilemedi: " + link + "\nBağlantının gösterdiği " + target + " bir " +
                            QString::fromStdString(f.Kind) +
                            ", ayar dosyası değil; ona hiçbir şey yazılmadı. Başka bir dosya adı seçin.";
    for (const char* way : {"button", "close", "open"}) {
      SCOPED_TRACE(way);
      Window->show();
      Window->FrameTable[0] = varo::SegmentPattern{{1, 2, 3, 4}};
      Window->Modified = true;
      Window->setWindowTitle("VARO PROGRAMLAYICI - before");
      Dialogs->Calls.clear();
      Dialogs->Files = {link};
      if (way == std::string("button")) {
        QTest::mouseClick(Window->SpeedButton3, Qt::LeftButton);
      } else if (way == std::string("close")) {
        Dialogs->Answers = {Answer::Yes};
        EXPECT_FALSE(Window->close());
        EXPECT_TRUE(Window->isVisible());
      } else {
        Dialogs->Answers = {Answer::Yes};
        QTest::mouseClick(Window->SpeedButton2, Qt::LeftButton);
        EXPECT_EQ(Dialogs->Kinds(), (std::vector<QString>{"YesNoCancel", "Save", "Error"}));
      }
      EXPECT_EQ(LastError(), refusal);
      EXPECT_EQ(Window->windowTitle(), "VARO PROGRAMLAYICI - before");
      EXPECT_TRUE(Window->Modified);
      EXPECT_TRUE(Dialogs->Files.empty());
    }
    EXPECT_EQ(IdentityOf(f.Path), before);
    EXPECT_EQ(QFile::symLinkTarget(link), target);
  }
}

// Root writes into any folder whatever its mode, so as root the save runs as "nobody".
TEST_F(FileTest, SaveIntoAReadOnlyFolder) {
  ASSERT_TRUE(QFile::setPermissions(Dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                    QFile::ReadOther | QFile::ExeOther));
  ASSERT_TRUE(QDir(Dir.path()).mkdir("locked"));
  Save(Path("locked/p.vrd"));
  const QByteArray old = Read(Path("locked/p.vrd"));
  ASSERT_EQ(old.size(), 256);
  ASSERT_TRUE(QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                        QFile::ExeOther));
  Window->FrameTable[0] = varo::SegmentPattern{{1, 2, 3, 4}};
  Window->Modified = true;
  Window->setWindowTitle("VARO PROGRAMLAYICI - before");
  const bool root = ::geteuid() == 0;
  if (root) ASSERT_EQ(::seteuid(65534), 0);
  Save(Path("locked/p.vrd"));
  if (root) ASSERT_EQ(::seteuid(0), 0);
  QFile::setPermissions(Path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  EXPECT_EQ(LastError(), Saving(Path("locked/p.vrd"), "File access denied") + "\n" + Advice(EACCES));
  EXPECT_EQ(Read(Path("locked/p.vrd")), old);
  EXPECT_EQ(Window->windowTitle(), "VARO PROGRAMLAYICI - before");
  EXPECT_TRUE(Window->Modified);
}
