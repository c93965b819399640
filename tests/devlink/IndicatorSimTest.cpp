// The simulated indicator: its protocol, its line on a pseudo-terminal and its drawing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <mutex>

#include "FloorDrawing.h"
#include "Indicator.h"
#include "RawClient.h"

using sim::Behaviour;
using sim::Fault;
using sim::Protocol;

namespace {

const sim::Clock::time_point T0{};

std::string ImageText(const varo::DeviceImage& image) { return std::string(image.begin(), image.end()); }

varo::DeviceImage NumberedImage() {
  varo::DeviceImage image = sim::DefaultImage();
  for (int i = 0; i < 64; ++i) image[i] = static_cast<uint8_t>(i + 1);
  return image;
}

// Feeds the bytes at one moment; returns everything sent, the last reaction kept in `last`.
std::string Feed(Protocol& p, const std::string& bytes, sim::Reaction* last = nullptr,
                 sim::Clock::time_point at = T0) {
  std::string sent;
  for (unsigned char b : bytes) {
    sim::Reaction r = p.Take(b, at);
    sent += r.Send;
    if (last) *last = r;
  }
  return sent;
}

}  // namespace

TEST(SimProtocol, AnswersCommandsOnlyAfterAHandshake) {
  const std::string image = ImageText(sim::DefaultImage());
  struct Case {
    const char* Name;
    std::string Input;
    std::string Sent;
    int Handshakes, Reads, Shows;
  };
  const Case cases[] = {
      {"handshake", "y", "E", 1, 0, 0},
      {"read", "yr", "E" + image, 1, 1, 0},
      {"show", "ys", "E", 1, 0, 1},
      {"command without handshake", "rsw", "", 0, 0, 0},
      {"unknown command ends the session", "yqr", "E", 1, 0, 0},
      {"handshake again", "yyr", "EE" + image, 2, 1, 0},
      {"one command per handshake", "yrr", "E" + image, 1, 1, 0},
  };
  for (const Case& c : cases) {
    Protocol p({}, sim::DefaultImage());
    EXPECT_EQ(Feed(p, c.Input), c.Sent) << c.Name;
    EXPECT_EQ(p.Seen().Handshakes, c.Handshakes) << c.Name;
    EXPECT_EQ(p.Seen().Reads, c.Reads) << c.Name;
    EXPECT_EQ(p.Seen().Shows, c.Shows) << c.Name;
  }
}

TEST(SimProtocol, GivesUpAnImageWhoseBytesStop) {
  Protocol p({}, sim::DefaultImage());
  Feed(p, "yw" + std::string(10, '\x01'));
  // A second later the indicator takes the next byte as a new start.
  EXPECT_EQ(Feed(p, "y", nullptr, T0 + sim::ImageByteTimeout + std::chrono::milliseconds(1)), "E");
  EXPECT_EQ(p.Seen().Abandoned, 1);
  EXPECT_EQ(p.Seen().Stored, 0);
  EXPECT_EQ(p.Image(), sim::DefaultImage());
}

TEST(SimProtocol, HandshakeFaults) {
  struct Case {
    Fault F;
    std::string Sent;
    int DelayMs;
  };
  for (const Case& c : {Case{Fault::Silent, "", 0}, Case{Fault::WrongAnswer, "e", 0}, Case{Fault::LateAnswer, "E", 250},
                        Case{Fault::ExtraBytes, "EV1.0", 0}}) {
    SCOPED_TRACE(sim::FaultName(c.F));
    Behaviour b;
    b.Fault = c.F;
    b.Times = 1;
    Protocol p(b, sim::DefaultImage());
    sim::Reaction r = p.Take('y', T0);
    EXPECT_EQ(r.Send, c.Sent);
    EXPECT_EQ(r.Delay.count(), c.DelayMs);
    // Struck once: the next handshake is answered as it should be.
    if (c.F != Fault::Silent) p.Take('q', T0);
    EXPECT_EQ(p.Take('y', T0).Send, "E");
  }
}

TEST(SimProtocol, ReadFaults) {
  const std::string image = ImageText(sim::DefaultImage());
  struct Case {
    Fault F;
    size_t Size;
  };
  for (const Case& c : {Case{Fault::ShortImage, 255}, Case{Fault::EscInImage, 256}, Case{Fault::SilentMidImage, 128}}) {
    SCOPED_TRACE(sim::FaultName(c.F));
    Behaviour b;
    b.Fault = c.F;
    b.Paced = true;
    Protocol p(b, sim::DefaultImage());
    sim::Reaction r;
    Feed(p, "yr", &r);
    ASSERT_EQ(r.Send.size(), c.Size);
    EXPECT_TRUE(r.Paced);
    for (size_t i = 0; i < c.Size; ++i)
      EXPECT_EQ(r.Send[i], i == sim::EscPosition && c.F == Fault::EscInImage ? '\x1B' : image[i]) << i;
    EXPECT_EQ(p.Image(), sim::DefaultImage()) << "the stored image stays whole";
  }
}

TEST(SimProtocol, HangsUpPartWayThroughAWrite) {
  Behaviour b;
  b.Fault = Fault::HangUpInWrite;
  b.HangUpAfter = 100;
  Protocol p(b, sim::DefaultImage());
  Feed(p, "yw");
  for (int i = 1; i <= 100; ++i) EXPECT_EQ(p.Take(0x55, T0).HangUp, i == 100) << i;
  EXPECT_EQ(p.Seen().Stored, 0);
}

TEST(SimProtocol, FaultNames) {
  for (Fault f : {Fault::None, Fault::Silent, Fault::WrongAnswer, Fault::LateAnswer, Fault::ExtraBytes,
                  Fault::HangUpInWrite, Fault::ShortImage, Fault::EscInImage, Fault::SilentMidImage})
    EXPECT_EQ(sim::FaultNamed(sim::FaultName(f)), f);
  EXPECT_FALSE(sim::FaultNamed("grumpy"));
}

TEST(SimIndicator, SpeaksTheProtocolOnAPseudoTerminal) {
  // The listener runs on the indicator's thread.
  std::mutex lock;
  std::optional<varo::DeviceImage> stored;
  std::string heard;
  std::vector<sim::Clock::time_point> heardAt;
  sim::Listener listener;
  listener.Stored = [&](const varo::DeviceImage& image) {
    std::lock_guard<std::mutex> l(lock);
    stored = image;
  };
  listener.Received = [&](unsigned char byte, sim::Clock::time_point at) {
    std::lock_guard<std::mutex> l(lock);
    heard += static_cast<char>(byte);
    heardAt.push_back(at);
  };
  sim::Indicator indicator({}, sim::DefaultImage(), "", listener);
  TRawClient client(indicator.Path());
  ASSERT_TRUE(client.Send("y"));
  EXPECT_EQ(client.Receive(1), "E");
  const std::string image = ImageText(NumberedImage());
  ASSERT_TRUE(client.Send("w" + image));
  ASSERT_TRUE(indicator.WaitUntil([&] { return indicator.Seen().Stored == 1; }, std::chrono::seconds(5)));
  EXPECT_EQ(ImageText(indicator.Image()), image);
  ASSERT_TRUE(indicator.WaitUntil(
      [&] {
        std::lock_guard<std::mutex> l(lock);
        return stored.has_value();
      },
      std::chrono::seconds(5)));
  EXPECT_EQ(ImageText(*stored), image);
  ASSERT_TRUE(client.Send("yr"));
  EXPECT_EQ(client.Receive(257), "E" + image);
  EXPECT_EQ(indicator.Received().size(), 260u);
  std::lock_guard<std::mutex> l(lock);
  EXPECT_EQ(heard, "yw" + image + "yr") << "the listener hears every byte, in order";
  EXPECT_TRUE(std::is_sorted(heardAt.begin(), heardAt.end()));
}

TEST(SimIndicator, PacedImageArrivesWholeAndInOrder) {
  Behaviour b;
  b.Paced = true;
  sim::Indicator indicator(b);
  TRawClient client(indicator.Path());
  ASSERT_TRUE(client.Send("yr"));
  EXPECT_EQ(client.Receive(257), "E" + ImageText(sim::DefaultImage()));
}

TEST(SimIndicator, HangsUpMidWrite) {
  Behaviour b;
  b.Fault = Fault::HangUpInWrite;
  b.HangUpAfter = 10;
  sim::Indicator indicator(b);
  TRawClient client(indicator.Path());
  ASSERT_TRUE(client.Send("y"));
  ASSERT_EQ(client.Receive(1), "E");
  ASSERT_TRUE(client.Send("w" + std::string(10, '\x01')));
  EXPECT_TRUE(client.WaitForHangUp());
  EXPECT_TRUE(indicator.HungUp());
  EXPECT_FALSE(client.Send("x")) << "nothing more goes through a dropped line";
}

TEST(SimIndicator, LinkNamesTheLineAndGoesWithIt) {
  const std::string link = (std::filesystem::temp_directory_path() / ("varo-sim-link-" + std::to_string(::getpid()))).string();
  auto first = std::make_unique<sim::Indicator>(Behaviour{}, sim::DefaultImage(), link);
  EXPECT_EQ(first->Path(), link);
  EXPECT_EQ(std::filesystem::read_symlink(link), first->DevicePath());
  // A restarted indicator takes the name over; the old one leaves it alone when it goes.
  auto second = std::make_unique<sim::Indicator>(Behaviour{}, sim::DefaultImage(), link);
  first.reset();
  EXPECT_EQ(std::filesystem::read_symlink(link), second->DevicePath());
  TRawClient client(link);
  ASSERT_TRUE(client.Send("y"));
  EXPECT_EQ(client.Receive(1), "E");
  second.reset();
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
}

TEST(SimDrawing, EverySegmentShowsOnItsOwn) {
  const std::string dark = sim::DrawPattern({});
  varo::SegmentPattern all;
  all.Bytes = {0xFF, 0xFF, 0xFF, 0xFF};
  const std::string lit = sim::DrawPattern(all);
  EXPECT_EQ(dark.find('#'), std::string::npos);
  EXPECT_EQ(lit.find('.'), std::string::npos);
  std::vector<std::string> singles;
  for (int s = 0; s < varo::SegmentCount; ++s) {
    varo::SegmentPattern one;
    one.SetSegment(s, true);
    singles.push_back(sim::DrawPattern(one));
    EXPECT_NE(singles.back(), dark) << "segment " << s;
    for (int t = 0; t < s; ++t) EXPECT_NE(singles[t], singles.back()) << "segments " << t << " and " << s;
  }
}

TEST(SimDrawing, DrawsEachFloorOfTheImageTwoAbreast) {
  const std::string text = sim::DrawFloors(sim::DefaultImage());
  EXPECT_EQ(text.substr(0, text.find('\n')), "floors 0 to 15, 16 frames, code system Gray, buzzer off");
  const std::string four = sim::DrawPattern(varo::FloorPattern(4));
  const std::string five = sim::DrawPattern(varo::FloorPattern(5));
  const size_t at = text.find("floor 4");
  ASSERT_NE(at, std::string::npos);
  std::string firstRow = four.substr(0, four.find('\n')) + "  " + five.substr(0, five.find('\n'));
  firstRow.erase(firstRow.find_last_not_of(' ') + 1);
  const size_t row = text.find('\n', at) + 1;
  EXPECT_EQ(text.substr(row, text.find('\n', row) - row), firstRow);
  EXPECT_NE(text.find("floor 15"), std::string::npos);
}

TEST(SimDrawing, NamesAnImageNoWindowCanShow) {
  varo::DeviceImage image = sim::DefaultImage();
  image[varo::ImageOffset::FrameCount] = 0;
  EXPECT_EQ(sim::DrawFloors(image),
            "an image no window can show: frame count (byte 245) is 0, not within 1..61\n");
}

TEST(SimProtocol, CorruptStoresOnlyThatPositionWrongAndSendsItBack) {
  for (int position : {0, 77, 245, 255}) {
    Behaviour b;
    b.CorruptAt = position;
    Protocol p(b, sim::DefaultImage());
    const varo::DeviceImage written = NumberedImage();
    Feed(p, "yw" + ImageText(written));
    varo::DeviceImage expected = written;
    expected[position] = static_cast<uint8_t>(~expected[position]);
    EXPECT_EQ(p.Image(), expected) << position;
    EXPECT_EQ(Feed(p, "yr"), "E" + ImageText(expected)) << position;
  }
}
