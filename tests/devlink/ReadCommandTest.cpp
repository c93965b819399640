// The device read ("OKU") against the simulated indicator, through the hidden terminal.
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "LinkFixture.h"
#include "ProjectSnapshot.h"
#include "core/DeviceWrite.h"
#include "core/FloorLists.h"

namespace {

varo::DeviceImage ImageWith(std::initializer_list<std::pair<int, uint8_t>> changes) {
  varo::DeviceImage image = sim::DefaultImage();
  for (const auto& [position, value] : changes) image[position] = value;
  return image;
}

std::vector<varo::SegmentPattern> Floors(int first, int last) {
  std::vector<varo::SegmentPattern> frames;
  for (int f = first; f <= last; ++f) frames.push_back(varo::FloorPattern(f));
  return frames;
}

class ReadTest : public LinkTest {
 protected:
  // A project unlike the indicator's: floors -8 to 10, Sayıcı 2, buzzer on,
  // frame 3 shown, unsaved changes, named after a file.
  void SetUp() override {
    LinkTest::SetUp();
    Window->SpeedButton1Click();
    Choose(Window->ilkkat, 0);
    Choose(Window->sonkat, Window->sonkat->findText("10"));
    Window->ComboBox1->setCurrentIndex(3);
    Window->BitBtn1Click();
    Window->CheckBox1->setChecked(true);
    for (int i = 0; i < 3; ++i) Window->UpBtnClick();
    Window->Modified = true;
    Window->setWindowTitle("VARO PROGRAMLAYICI - /tmp/old.vrd");
    // Beside the terminal's link: every block the port reads goes to the terminal first, then here.
    Rx.OnRxBuf = [this](TObject*, const void*, int32_t count) { Handed += count; };
    Window->ComPort1.AttachLink(&Rx);
  }
  void TearDown() override {
    Window->ComPort1.DetachLink(&Rx);
    LinkTest::TearDown();
  }

  // An indicator whose first answer to "r" shows the fault; the project before it.
  Snapshot StartFaultyOnce(sim::Fault fault) {
    sim::Behaviour once;
    once.Fault = fault;
    once.Times = 1;
    StartIndicator(once);
    return TakeSnapshot(*Window);
  }

  // Serves the port until it has handed `bytes` received bytes in all to the terminal
  // (the handshakes' answers are read by the commands themselves).
  bool Handle(int bytes) { return ServeUntil([&] { return Handed >= bytes; }); }
  void Read(int bytes) {
    QTest::mouseClick(Window->BtnRead, Qt::LeftButton);
    ASSERT_TRUE(Handle(bytes));
  }

  TComLink Rx;
  int Handed = 0;

  void ExpectIndicatorsDefaultProject() {
    EXPECT_EQ(Window->FrameTable, Floors(0, 15));
    EXPECT_EQ(Window->FrameCount, 16);
    EXPECT_EQ(Window->FirstFloor, 0);
    EXPECT_EQ(Window->ilkkat->currentText(), "0");
    EXPECT_EQ(Window->sonkat->currentText(), "15");
    EXPECT_EQ(Window->CodeSystem, 1);
    EXPECT_EQ(Window->ComboBox1->currentIndex(), 1);
    EXPECT_EQ(Window->StatusBar1->PanelText(0), " Gray");
    EXPECT_FALSE(Window->CheckBox1->isChecked());
    EXPECT_EQ(Window->CurrentFrame, 0);
    EXPECT_EQ(Shown(), varo::FloorPattern(0));
    EXPECT_EQ(Window->StaticText1->text(), "FRAME : 0");
    EXPECT_EQ(Window->windowTitle(), "VARO PROGRAMLAYICI");
    EXPECT_FALSE(Window->Modified);
    EXPECT_FALSE(Window->InSetupMode());
  }
};

}  // namespace

TEST_F(ReadTest, TheIndicatorsImageBecomesTheProjectCharacterByCharacter) {
  StartIndicator();
  std::vector<int> bar;
  QObject watcher;
  QObject::connect(Window->ProgressBar1, &QProgressBar::valueChanged, &watcher, [&](int v) { bar.push_back(v); });
  Window->ProgressBar1->setValue(40);
  bar.clear();

  Read(256);
  EXPECT_EQ(Received(), "yr");
  EXPECT_EQ(Paused, (std::vector<int>{200, 100}));
  std::vector<int> steps = {0};
  for (int i = 1; i <= 256; ++i) steps.push_back(i);
  EXPECT_EQ(bar, steps);
  EXPECT_EQ(Window->RxCount, 256);
  ExpectIndicatorsDefaultProject();
  EXPECT_TRUE(Window->ComPort1.Connected()) << "the port stays open";
  EXPECT_FALSE(Window->CommandLock().Busy());
  EXPECT_TRUE(Dialogs->Calls.empty());

  // Characters after the 256th are dropped until the next read.
  const Snapshot after = TakeSnapshot(*Window);
  const std::vector<uint8_t> image = Window->RxImage;
  Window->ComTerminal1->ProcessString("late");
  EXPECT_EQ(Window->RxCount, 256);
  EXPECT_EQ(Window->RxImage, image);
  EXPECT_EQ(TakeSnapshot(*Window), after);
}

struct CodeCase {
  uint8_t Code, Buzzer;
  int CodeSystem;  // Sayıcı 2 (3) is what the window had
  const char* Status;
  bool BuzzerOn;
};

class CodeAndBuzzerBytes : public ReadTest, public testing::WithParamInterface<CodeCase> {};

TEST_P(CodeAndBuzzerBytes, AreTakenAsTheIndicatorSendsThem) {
  const CodeCase c = GetParam();
  StartIndicator({}, "", ImageWith({{246, c.Code}, {248, c.Buzzer}}));
  Window->CheckBox1->setChecked(!c.BuzzerOn);
  Read(256);
  EXPECT_EQ(Window->CodeSystem, c.CodeSystem);
  EXPECT_EQ(Window->ComboBox1->currentIndex(), c.CodeSystem);
  EXPECT_EQ(Window->StatusBar1->PanelText(0), QString::fromUtf8(c.Status));
  EXPECT_EQ(Window->CheckBox1->isChecked(), c.BuzzerOn);
  EXPECT_EQ(Window->FrameTable, Floors(0, 15));
  EXPECT_TRUE(Dialogs->Calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Bytes, CodeAndBuzzerBytes,
                         testing::Values(CodeCase{16, 2, 4, " 7 Segment", true},
                                         CodeCase{1, 0, 0, " Binary", false},
                                         CodeCase{8, 255, 3, " Sayıcı 2", true}));

// "EV1.0": the bytes after the "E" are still waiting when "r" goes out; none of them may become
// part of the image the terminal hands over.
TEST_F(ReadTest, AnswerBytesBeyondTheEAreNotReadAsTheImage) {
  sim::Behaviour extra;
  extra.Fault = sim::Fault::ExtraBytes;
  StartIndicator(extra);
  Hook = [&](int ms) {
    if (ms == varo::CommandPauseMs) ServeUntil([&] { return Window->ComPort1.InputQueueCount() >= 4; }, 2000);
  };
  Read(256);
  EXPECT_EQ(Received(), "yr");
  ExpectIndicatorsDefaultProject();
  EXPECT_TRUE(Dialogs->Calls.empty());
}

TEST_F(ReadTest, SevenSegmentReadGoesOutAs16AndIsSavedAs4) {
  StartIndicator({}, "", ImageWith({{246, 16}}));
  Read(256);
  Window->BtnWriteClick();
  ASSERT_TRUE(Sim->WaitUntil([&] { return Sim->Seen().Stored == 1; }, std::chrono::seconds(5)));
  EXPECT_EQ(Sim->Image(), ImageWith({{246, 16}}));

  QTemporaryDir dir;
  const QString path = dir.filePath("read.vrd");
  Dialogs->Files.push_back(path);
  Window->SpeedButton3Click();
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray saved = file.readAll();
  ASSERT_EQ(saved.size(), 256);
  EXPECT_EQ(saved[246], 4);
}

TEST_F(ReadTest, AnImageHoldingByte27ArrivesWholeAndTheTerminalIsItselfAgainAfterwards) {
  StartFaultyOnce(sim::Fault::EscInImage);
  Read(256);
  EXPECT_EQ(Window->RxCount, 256);
  EXPECT_EQ(Window->FrameTable[1].Bytes[1], 27);
  EXPECT_EQ(Window->ComTerminal1->Emulation(), teVT100orANSI);
  EXPECT_TRUE(Dialogs->Calls.empty());

  // Outside a read the terminal parses and answers as ever; nothing of it reaches the project.
  const Snapshot after = TakeSnapshot(*Window);
  Window->ComTerminal1->ProcessString("\x1B[6n");
  ASSERT_TRUE(Sim->WaitUntil([&] { return Received().size() > 2 && Received().back() == 'R'; }, std::chrono::seconds(5)));
  EXPECT_EQ(Received().substr(0, 4), "yr\x1B[");
  EXPECT_EQ(TakeSnapshot(*Window), after);
}

// An indicator that stops part way: a second without a byte ends the read with a message saying how
// much came; the project stays as it was and OKU starts afresh.
TEST_F(ReadTest, AnIndicatorFallingSilentMidImageIsToldAndOKUStartsAgain) {
  Window->findChild<QTimer*>("ReadSilence")->setInterval(50);
  for (sim::Fault fault : {sim::Fault::SilentMidImage, sim::Fault::ShortImage}) {
    SCOPED_TRACE(sim::FaultName(fault));
    const Snapshot before = StartFaultyOnce(fault);
    Handed = 0;
    const int sent = fault == sim::Fault::ShortImage ? 255 : 128;
    Read(sent);
    EXPECT_FALSE(Window->CommandLock().Busy()) << "the window goes on as before";
    ASSERT_TRUE(ServeUntil([&] { return !Dialogs->Calls.empty(); }));
    ASSERT_EQ(Dialogs->Calls.size(), 1u);
    EXPECT_EQ(Dialogs->Calls[0].Kind, "Error");
    EXPECT_EQ(Dialogs->Calls[0].Text,
              QString("Okunamadı: cihaz 256 bayttan yalnız %1 bayt gönderdi ve sustu; proje değişmedi.").arg(sent));
    EXPECT_EQ(Window->ProgressBar1->value(), 0);
    EXPECT_EQ(TakeSnapshot(*Window), before);
    EXPECT_EQ(Window->ComTerminal1->Emulation(), teVT100orANSI);
    Dialogs->Calls.clear();

    Read(sent + 256);
    EXPECT_EQ(Received(), "yryr");
    EXPECT_EQ(Window->RxCount, 256);
    ExpectIndicatorsDefaultProject();
    ServeUntil([] { return false; }, 100);
    EXPECT_TRUE(Dialogs->Calls.empty()) << "a whole image is no silence";
    Window->ComPort1.Close();
  }
}

struct BadImage {
  std::vector<std::pair<int, uint8_t>> Changes;
  const char* Field;
  int Value;
};

class RefusedImages : public ReadTest, public testing::WithParamInterface<BadImage> {};

TEST_P(RefusedImages, AreRefusedWithAMessageBeforeAnythingChanges) {
  const BadImage c = GetParam();
  varo::DeviceImage image = sim::DefaultImage();
  for (const auto& [position, value] : c.Changes) image[position] = value;
  StartIndicator({}, "", image);
  const Snapshot before = TakeSnapshot(*Window);
  Read(256);
  EXPECT_EQ(Window->RxCount, 256);
  // The message shows once the port's dispatch is over.
  ASSERT_TRUE(ServeUntil([&] { return !Dialogs->Calls.empty(); }));
  ASSERT_EQ(Dialogs->Calls.size(), 1u);
  const TScriptedDialogs::TCall& box = Dialogs->Calls[0];
  EXPECT_EQ(box.Kind, "Error");
  EXPECT_EQ(box.Caption, "VARO PROGRAMMER");
  EXPECT_TRUE(box.Text.contains(QString::fromUtf8(c.Field))) << box.Text.toStdString();
  EXPECT_TRUE(box.Text.contains(QString::number(c.Value))) << box.Text.toStdString();
  EXPECT_TRUE(box.Text.endsWith('.'));
  EXPECT_EQ(TakeSnapshot(*Window), before);
}

INSTANTIATE_TEST_SUITE_P(
    BadFields, RefusedImages,
    testing::Values(BadImage{{{244, 68}}, "İlk Kat", 68},
                    // Floor 59 leaves one last floor, 60: item 1 is beyond that list.
                    BadImage{{{244, 67}, {247, 1}}, "Son Kat", 1}, BadImage{{{245, 0}}, "Frame sayısı", 0},
                    BadImage{{{245, 62}}, "Frame sayısı", 62},
                    BadImage{{{245, 15}}, "0 ile 15 arası katlar için 16 olmalı", 15},
                    // 0 is an index in a file, but no code system on the line.
                    BadImage{{{246, 0}}, "Kod sistemi (bayt 246) 0; 1, 2, 4, 8 ya da 16 olmalı", 0},
                    BadImage{{{246, 32}}, "Kod sistemi (bayt 246) 32; 1, 2, 4, 8 ya da 16 olmalı", 32}));

namespace {

// An image with a sound header for floors first..last (Gray, buzzer as given) whose frame bytes
// come from `frames` from position 0 on, with single bytes changed afterwards.
struct AnyByteImage {
  const char* Name;
  int First, Last;
  std::string Frames;
  std::vector<std::pair<int, uint8_t>> Changes;
  uint8_t Buzzer = 0;
};

void PrintTo(const AnyByteImage& c, std::ostream* os) { *os << c.Name; }

varo::DeviceImage Build(const AnyByteImage& c) {
  varo::DeviceImage image;
  image.fill(0xFF);
  std::copy(c.Frames.begin(), c.Frames.end(), image.begin());
  const std::vector<int> lasts = varo::LastFloorList(c.First);
  image[244] = static_cast<uint8_t>(c.First + 8);
  image[245] = static_cast<uint8_t>(c.Last - c.First + 1);
  image[246] = 2;
  image[247] = static_cast<uint8_t>(std::find(lasts.begin(), lasts.end(), c.Last) - lasts.begin());
  image[248] = c.Buzzer;
  for (const auto& [position, value] : c.Changes) image[position] = value;
  return image;
}

// What a write sends of the project read: the frames it holds, filler after them, the header
// with the buzzer as 0 or 1, and 0xFF at 249 to 255.
varo::DeviceImage AsWrittenBack(varo::DeviceImage image) {
  std::fill(image.begin() + 4 * image[245], image.begin() + 244, 0xFF);
  image[248] = image[248] != 0;
  std::fill(image.begin() + 249, image.end(), 0xFF);
  return image;
}

std::string Values(int from, int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) bytes += static_cast<char>(from + i);
  return bytes;
}

// Every query the terminal answers, and sequences that swallow letters, digits and further ESCs.
const std::string Queries = std::string("\x1B[6n\x1B[c\x1B[0c\x1B[5n\x1BZ\x1B[?1;2c\x1B#8\x1BOA\x1B[12;40H\x1B\x1B") + "\x1B" "c\x1B[2J\x1B[31m\x1B" "7\x1B" "8\x1B[;\x1B";

const AnyByteImage AnyByteImages[] = {
    {"EscAtPosition0", 0, 15, "", {{0, 27}}},
    {"EscAtPosition243", 0, 60, Values(0x20, 244), {{243, 27}}},
    {"EscAtPosition244FirstFloor19", 19, 34, Values(0x40, 64), {}},
    {"EscAtPosition245Floors2Below24", -2, 24, Values(0x40, 108), {}},
    {"EscAtPosition247Floors2Below26", -2, 26, Values(0x40, 116), {}},
    {"EscAtPosition255", 0, 15, Values(0x40, 64), {{255, 27}}},
    {"EscAsBuzzer", 0, 15, Values(0x40, 64), {}, 27},
    {"EveryQueryInsideFrames", -2, 24, Queries, {}},
    {"ByteValues0To243", 0, 60, Values(0, 244), {}},
    {"ByteValues12To255", 0, 60, Values(12, 244), {}},
};

class AnyByte : public ReadTest, public testing::WithParamInterface<AnyByteImage> {};

}  // namespace

TEST_P(AnyByte, EveryByteArrivesAndTheSameImageIsWrittenBack) {
  const varo::DeviceImage image = Build(GetParam());
  StartIndicator({}, "", image);
  std::string delivered;
  const auto onChar = Window->ComTerminal1->OnChar;
  Window->ComTerminal1->OnChar = [&](TObject* sender, char ch) {
    delivered += ch;
    onChar(sender, ch);
  };
  Read(256);
  EXPECT_EQ(delivered, std::string(image.begin(), image.end())) << "every byte, unchanged, in order";
  EXPECT_EQ(Received(), "yr") << "the terminal answered none of the image's queries";
  EXPECT_EQ(Window->RxCount, 256);
  EXPECT_TRUE(Dialogs->Calls.empty());
  ASSERT_EQ(Window->FrameCount, image[245]);
  ASSERT_EQ(Window->FrameTable.size(), image[245]);
  for (int i = 0; i < image[245]; ++i)
    for (int j = 0; j < 4; ++j) ASSERT_EQ(Window->FrameTable[i].Bytes[j], image[4 * i + j]) << i << "," << j;
  EXPECT_EQ(Window->CurrentFrame, 0);
  EXPECT_EQ(Shown(), Window->FrameTable[0]);
  EXPECT_EQ(Window->ilkkat->currentIndex(), image[244]);
  EXPECT_EQ(Window->sonkat->currentIndex(), image[247]);
  EXPECT_EQ(Window->CheckBox1->isChecked(), image[248] != 0);
  EXPECT_EQ(Window->ComTerminal1->Emulation(), teVT100orANSI);

  Window->ComTerminal1->OnChar = onChar;
  Window->BtnWriteClick();
  ASSERT_TRUE(Sim->WaitUntil([&] { return Sim->Seen().Stored == 1; }, std::chrono::seconds(5)));
  const varo::DeviceImage back = AsWrittenBack(image);
  EXPECT_EQ(Received(), "yryw" + std::string(back.begin(), back.end()));
  EXPECT_EQ(Dialogs->Kinds(), std::vector<QString>{"Info"});
}

INSTANTIATE_TEST_SUITE_P(Images, AnyByte, testing::ValuesIn(AnyByteImages),
                         [](const testing::TestParamInfo<AnyByteImage>& i) { return std::string(i.param.Name); });
