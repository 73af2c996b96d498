#include <gtest/gtest.h>

#include "cardsim/InProcessCard.h"
#include "link/PortScan.h"
#include "res/Strings.h"
#include "support/LinkTest.h"

using namespace std::chrono_literals;
using zo::link::ModemChannel;

namespace zo::test {
namespace {

// Each port that opens costs four pauses of 2000 ms and a read window of 5000 ms.
constexpr auto kProbeCost = 13000ms;

class PortScanTest : public LinkTest {
protected:
    cardsim::InProcessCard card{clock};
    ModemChannel channel{Context()};
};

TEST_F(PortScanTest, ProbeWritesTheDetectionScriptAndFindsTheCard) {
    ports.MapToDevice("COM4", card.Opener());
    link::SetDetectionSettings(channel, link::ScanCaller::Wizard);
    EXPECT_TRUE(channel.ProbePort("COM4"));
    EXPECT_EQ(channel.Line().port, "COM4");
    EXPECT_EQ(card.Writes(), (std::vector<std::string>{std::string("\r\xAAT\r\n\0", 6), "AT&F\r\n",
                                                       "ATE0Q0V1\r\n", "ATI3\r\n"}));
    EXPECT_EQ(Elapsed(), kProbeCost);
    EXPECT_EQ(card.LastLineState()->baudRate, 115200u);
    EXPECT_TRUE(card.LastLineState()->outxCtsFlow);
    EXPECT_TRUE(prompter.texts.empty());
}

TEST_F(PortScanTest, ProbeFailures) {
    // The series name in another letter case is not the card; the port stays open.
    card.Faults().wrongIdentification = true;
    ports.MapToDevice("COM4", card.Opener());
    link::SetDetectionSettings(channel, link::ScanCaller::Wizard);
    EXPECT_FALSE(channel.ProbePort("COM4"));
    EXPECT_EQ(Elapsed(), kProbeCost);
    EXPECT_TRUE(card.IsOpen());

    // A port that maps to nothing costs nothing and shows nothing.
    auto before = Elapsed();
    EXPECT_FALSE(channel.ProbePort("COM1"));
    EXPECT_EQ(channel.Line().port, "COM1");
    EXPECT_EQ(channel.Device(), nullptr);
    EXPECT_EQ(Elapsed(), before);

    // A failed identification request ends the probe without reading.
    card.Faults() = {};
    ports.MapToDevice(
        "COM4", FailingWrites(card.Opener(), [](std::string_view d) { return d == "ATI3\r\n"; }));
    before = Elapsed();
    EXPECT_FALSE(channel.ProbePort("COM4"));
    EXPECT_EQ(Elapsed() - before, 8000ms);
    EXPECT_TRUE(prompter.texts.empty());
}

TEST_F(PortScanTest, ScanTriesCom4ThenCom3ThenFindsTheCardOnCom2) {
    cardsim::InProcessCard silent4{clock}, silent3{clock}, never1{clock};
    silent4.Faults().silent = true;
    silent3.Faults().wrongIdentification = true;
    ports.MapToDevice("COM4", silent4.Opener());
    ports.MapToDevice("COM3", silent3.Opener());
    ports.MapToDevice("COM2", card.Opener());
    ports.MapToDevice("COM1", never1.Opener());
    LineEdit(channel)->stop = "2";
    EXPECT_TRUE(link::ScanPorts(channel, link::ScanCaller::SummarySheet));
    EXPECT_EQ(channel.Line().port, "COM2");
    EXPECT_EQ(channel.Line().stop, "2") << "the summary sheet's scan leaves the stop bits text";
    EXPECT_EQ(Elapsed(), 3 * kProbeCost);
    EXPECT_EQ(silent4.OpenCount(), 1);
    EXPECT_EQ(silent3.OpenCount(), 1);
    EXPECT_EQ(never1.OpenCount(), 0);
    EXPECT_TRUE(card.IsOpen());
    EXPECT_FALSE(silent3.IsOpen()) << "the previous probe's port is closed";
    EXPECT_TRUE(prompter.texts.empty());
}

TEST_F(PortScanTest, NothingFoundShows121AndLeavesCom1) {
    LineEdit(channel)->stop = "2";
    EXPECT_FALSE(link::ScanPorts(channel, link::ScanCaller::Wizard));
    EXPECT_EQ(prompter.texts, std::vector<std::string>{Text(res::IDS_CARD_NOT_DETECTED)});
    EXPECT_EQ(channel.Line().port, "COM1");
    EXPECT_EQ(channel.Line().stop, "1");
    EXPECT_EQ(channel.Line().baud, "115200");
    EXPECT_EQ(channel.Line().flow, "Hardware");
    EXPECT_EQ(Elapsed(), 0ms);
}

TEST_F(PortScanTest, APortHeldByAnotherProgramIsSkippedSilently) {
    cardsim::InProcessCard held{clock};
    ports.MapToDevice("COM4", held.Opener());
    ports.MapToDevice("COM3", card.Opener());
    auto other = held.Opener()(nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_TRUE(link::ScanPorts(channel, link::ScanCaller::Wizard));
    EXPECT_EQ(channel.Line().port, "COM3");
    EXPECT_EQ(held.OpenCount(), 1) << "only the other program's open";
    EXPECT_EQ(Elapsed(), kProbeCost);
    EXPECT_TRUE(prompter.texts.empty());
}

}  // namespace
}  // namespace zo::test
