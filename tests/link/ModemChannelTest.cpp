#include <gtest/gtest.h>

#include "cardsim/InProcessCard.h"
#include "link/ModemChannel.h"
#include "res/Strings.h"
#include "support/LinkTest.h"

using namespace std::chrono_literals;
using zo::link::ModemChannel;
using zo::platform::Answer;
using zo::platform::Buttons;

namespace zo::test {
namespace {

class ModemChannelTest : public LinkTest {
protected:
    ModemChannelTest() {
        ports.MapToDevice("COM3", card.Opener());
        LineEdit(channel)->port = "COM3";
        LineEdit(channel)->baud = "115200";
        LineEdit(channel)->bits = "8";
        LineEdit(channel)->flow = "Hardware";
    }
    // A channel on a scripted line instead of the card.
    std::shared_ptr<ScriptedLine> Scripted() {
        auto line = std::make_shared<ScriptedLine>();
        ports.MapToDevice("COM1", ScriptedOpener(line, clock));
        LineEdit(channel)->port = "COM1";
        EXPECT_TRUE(channel.OpenConfiguredPort());
        return line;
    }

    cardsim::InProcessCard card{clock};
    ModemChannel channel{Context()};
};

TEST_F(ModemChannelTest, EmptyOrUnmappedPortReports111Then109) {
    for (const char* port : {"", "COM2"}) {
        prompter.texts.clear();
        LineEdit(channel)->port = port;
        EXPECT_FALSE(channel.OpenConfiguredPort());
        EXPECT_EQ(channel.Device(), nullptr);
        EXPECT_EQ(prompter.texts, (std::vector<std::string>{Text(res::IDS_PORT_UNSUPPORTED),
                                                            Text(res::IDS_PORT_COMM_FAILED)}));
    }
    EXPECT_EQ(prompter.waitDepth, 0);
}

TEST_F(ModemChannelTest, SameNameReusesThePortAProbeDoesNot) {
    ASSERT_TRUE(channel.OpenConfiguredPort());
    ASSERT_TRUE(channel.OpenConfiguredPort());
    EXPECT_EQ(card.OpenCount(), 1);
    EXPECT_EQ(channel.Device()->GetName(), "COM3");

    ASSERT_TRUE(channel.ProbePort("COM3"));
    EXPECT_EQ(card.OpenCount(), 1) << "a probe reuses a port opened by name";
    channel.ClosePort();
    ASSERT_TRUE(channel.ProbePort("COM3"));
    EXPECT_EQ(card.OpenCount(), 2);
    EXPECT_EQ(channel.Device()->GetName(), "") << "quietly opened";
    ASSERT_TRUE(channel.OpenConfiguredPort());
    EXPECT_EQ(card.OpenCount(), 3) << "a quietly opened port is never reused";
    EXPECT_TRUE(prompter.texts.empty());
}

TEST_F(ModemChannelTest, FlowTableAndTheDriversOwnValues) {
    ASSERT_TRUE(channel.OpenConfiguredPort());
    const comm::LineState* s = card.LastLineState();
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->baudRate, 115200u);
    EXPECT_EQ(s->byteSize, 8);
    EXPECT_TRUE(s->outxCtsFlow);
    EXPECT_EQ(s->rtsControl, comm::RtsControl::Handshake);
    EXPECT_EQ(s->dtrControl, comm::DtrControl::Enable);

    LineEdit(channel)->flow = "XOn/XOff";
    ASSERT_TRUE(channel.OpenConfiguredPort());
    EXPECT_TRUE(card.LastLineState()->outX && card.LastLineState()->inX);
    EXPECT_FALSE(card.LastLineState()->outxCtsFlow);
    EXPECT_EQ(card.LastLineState()->rtsControl, comm::RtsControl::Enable);

    // Unknown names leave the flow fields as the device reported them.
    LineEdit(channel)->flow = "hardware";
    ASSERT_TRUE(channel.OpenConfiguredPort());
    EXPECT_TRUE(card.LastLineState()->outX);
}

TEST_F(ModemChannelTest, ALineStateTheDeviceRefusesFailsTheOpenButKeepsThePort) {
    for (const char* baud : {"", "12345", "-115200"}) {
        LineEdit(channel)->baud = baud;
        EXPECT_FALSE(channel.OpenConfiguredPort()) << baud;
        ASSERT_NE(channel.Device(), nullptr);
        EXPECT_TRUE(channel.Device()->IsOpen());
    }
    EXPECT_TRUE(prompter.texts.empty());
    LineEdit(channel)->baud = " 38400 bit/s";
    EXPECT_TRUE(channel.OpenConfiguredPort());
    EXPECT_EQ(card.LastLineState()->baudRate, 38400u);
}

TEST_F(ModemChannelTest, WithoutAPortEveryOperationFailsAtOnce) {
    std::string reply = "stale";
    EXPECT_FALSE(channel.SendText("AT\r\n"));
    EXPECT_FALSE(channel.SendCommand("AT\r\n"));
    EXPECT_FALSE(channel.ReadReply(reply));
    EXPECT_EQ(reply, "");
    EXPECT_FALSE(channel.ReadUntilOK(reply));
    EXPECT_EQ(Elapsed(), 0ms);
    EXPECT_TRUE(prompter.texts.empty());
    EXPECT_EQ(card.OpenCount(), 0);
}

TEST_F(ModemChannelTest, SendTextStopsAtZeroAndSendCommandPauses) {
    ASSERT_TRUE(channel.OpenConfiguredPort());
    EXPECT_TRUE(channel.SendText(link::kWakeUpSequence));
    EXPECT_EQ(Elapsed(), 0ms);
    EXPECT_TRUE(channel.SendCommand("AT!N1=\"5550100\"\r\n"));
    EXPECT_EQ(Elapsed(), 2000ms);
    EXPECT_EQ(card.Writes(), (std::vector<std::string>{"\r\xAAT\r\n", "AT!N1=\"5550100\"\r\n"}));
}

TEST_F(ModemChannelTest, FailedWriteAsksRetryOrCancel) {
    auto line = Scripted();
    line->failingWrites = 2;
    prompter.answers = {Answer::Retry, Answer::Retry};
    EXPECT_TRUE(channel.SendCommand("ATE1\r\n"));
    EXPECT_EQ(line->written, std::vector<std::string>{"ATE1\r\n"});
    EXPECT_EQ(prompter.texts, std::vector<std::string>(2, Text(res::IDS_PORT_WRITE_FAILED)));
    EXPECT_EQ(prompter.buttons.front(), Buttons::RetryCancel);
    EXPECT_EQ(channel.Device()->Status.lastError, 5) << "the error was cleared into Status";
    EXPECT_EQ(Elapsed(), 2000ms) << "one pause, after the successful write";

    line->failingWrites = 1;
    EXPECT_FALSE(channel.SendText("ATE1\r\n"));
    EXPECT_EQ(prompter.texts.size(), 3u);
}

TEST_F(ModemChannelTest, ReadReplyCollectsForExactlyFiveSeconds) {
    auto line = Scripted();
    std::string reply = "stale";
    EXPECT_FALSE(channel.ReadReply(reply));
    EXPECT_EQ(reply, "");
    EXPECT_EQ(Elapsed(), 5000ms);

    line->incoming = {{5100ms, "AT&F\r"}, {7000ms, "\r\nOK\r\n"}, {10100ms, "late"}};
    line->reads = 0;
    EXPECT_TRUE(channel.ReadReply(reply));
    EXPECT_EQ(reply, "AT&F\r\r\nOK\r\n");
    EXPECT_EQ(Elapsed(), 10000ms);
    EXPECT_LE(line->reads, 6) << "waits in the device, not in a loop of reads";
    EXPECT_TRUE(channel.ReadReply(reply));
    EXPECT_EQ(reply, "late") << "what came after the window starts the next reply";
}

TEST_F(ModemChannelTest, ReadUntilOkIsAPlainSubstringSearch) {
    auto line = Scripted();
    std::string reply;
    line->incoming = {{0ms, "TOKEN"}, {100ms, "rest"}};
    EXPECT_TRUE(channel.ReadUntilOK(reply));
    EXPECT_EQ(reply, "TOKEN");

    line->incoming.push_back({200ms, "\r\nO"});
    line->incoming.push_back({300ms, "K\r\n"});
    EXPECT_TRUE(channel.ReadUntilOK(reply));
    EXPECT_EQ(reply, "rest\r\nOK\r\n") << "an OK split across two reads is found";
    EXPECT_EQ(Elapsed(), 300ms);
}

TEST_F(ModemChannelTest, ReadUntilOkGivesUpAtItsBound) {
    auto line = Scripted();
    line->incoming = {{1000ms, "\r\nBUSY\r\n"}};
    std::string reply;
    EXPECT_EQ(channel.ReadUntilOK(reply).end, link::LinkEnd::TimedOut);
    EXPECT_EQ(reply, "\r\nBUSY\r\n");
    EXPECT_EQ(Elapsed(), link::kOkBound);
}

// "ERROR" on a line of its own ends the wait at once, also split across reads and after
// an echo; the letters inside other text do not.
TEST_F(ModemChannelTest, ErrorEndsTheWaitForOk) {
    auto line = Scripted();
    std::string reply;
    line->incoming = {{200ms, "AT!C2=\"1\"\r\r\nERR"}, {300ms, "OR\r\n"}};
    EXPECT_EQ(channel.ReadUntilOK(reply).end, link::LinkEnd::Refused);
    EXPECT_EQ(Elapsed(), 300ms);

    line->incoming = {{400ms, "ERROR\r"}};
    EXPECT_EQ(channel.ReadUntilOK(reply).end, link::LinkEnd::Refused);
    EXPECT_EQ(Elapsed(), 400ms);

    line->incoming = {{500ms, "TERRORS\r\nERRORS\r\nERROR"}, {600ms, " 7\r\nOK\r\n"}};
    EXPECT_EQ(channel.ReadUntilOK(reply).end, link::LinkEnd::Ok);
    EXPECT_EQ(Elapsed(), 600ms);

    // ReadReply judges nothing: it collects its whole window.
    line->incoming = {{700ms, "\r\nERROR\r\n"}};
    EXPECT_TRUE(channel.ReadReply(reply));
    EXPECT_EQ(Elapsed(), 600ms + link::kReplyWindow);
}

// For an answer that decides: what waits before the write is dropped without waiting for
// more; then only "OK" or "ERROR" as a line of its own counts, after the command's echo
// when the card echoes, also when the echo or the result is split across reads.
TEST_F(ModemChannelTest, ReadResultTakesOnlyTheResultLineAfterTheCommand) {
    auto line = Scripted();
    line->incoming = {{0ms, "\r\nOK\r\n"},
                      {50ms, "\r\nOK\r\nAT&"},
                      {100ms, "W\r"},
                      {200ms, "\r\nNO OK\r\n\r\nERR"},
                      {300ms, "OR\r\n"}};
    channel.DiscardInput();
    EXPECT_EQ(line->incoming.size(), 4u);
    EXPECT_EQ(Elapsed(), 0ms);
    ASSERT_TRUE(channel.SendText("AT&W\r\n"));
    std::string reply;
    EXPECT_EQ(channel.ReadResult(reply, true).end, link::LinkEnd::Refused);
    EXPECT_EQ(reply, "\r\nOK\r\nAT&W\r\r\nNO OK\r\n\r\nERROR\r\n");
    EXPECT_EQ(Elapsed(), 300ms);

    // Without an echo, "OK" counts once its line has ended, after a line break.
    line->incoming = {{400ms, "OK\r\nTOKEN\r\nNO OK\r\nO"}, {500ms, "K"}, {600ms, "\r\n"}};
    EXPECT_TRUE(channel.ReadResult(reply, false));
    EXPECT_EQ(Elapsed(), 600ms);

    // No echo, no result.
    line->incoming = {{700ms, "\r\nOK\r\n"}};
    EXPECT_EQ(channel.ReadResult(reply, true).end, link::LinkEnd::TimedOut);
    EXPECT_EQ(Elapsed(), 600ms + link::kOkBound);
}

TEST_F(ModemChannelTest, EndlessOutputIsCappedAndBounded) {
    card.Faults().endlessOutput = true;
    ASSERT_TRUE(channel.OpenConfiguredPort());
    channel.SendText("AT\r\n");
    std::string reply;
    EXPECT_FALSE(channel.ReadUntilOK(reply));
    EXPECT_EQ(reply.size(), link::kReplyCap);
    EXPECT_EQ(Elapsed(), link::kOkBound);
    EXPECT_TRUE(channel.ReadReply(reply));
    EXPECT_EQ(reply.size(), link::kReplyCap);
    EXPECT_EQ(Elapsed(), link::kOkBound + link::kReplyWindow);
}

TEST_F(ModemChannelTest, OkInsideTheCapStillCounts) {
    auto line = Scripted();
    line->incoming = {{0ms, std::string(link::kReplyCap - 2, 'x') + "OK" + std::string(100, 'y')}};
    std::string reply;
    EXPECT_TRUE(channel.ReadUntilOK(reply));
    EXPECT_EQ(reply.size(), link::kReplyCap);
}

TEST_F(ModemChannelTest, ReadFailureReturnsWhatCameAndClearsTheError) {
    card.Faults().hangUpAfter = 1;
    ASSERT_TRUE(channel.OpenConfiguredPort());
    channel.SendText("AT\r\n");
    std::string reply;
    EXPECT_TRUE(channel.ReadUntilOK(reply));
    channel.SendText("AT\r\n");
    const link::LinkResult failed = channel.ReadUntilOK(reply);
    EXPECT_EQ(failed.end, link::LinkEnd::Failed);
    EXPECT_NE(failed.reason.find("COM3 on in-process card: "), std::string::npos) << failed.reason;
    EXPECT_FALSE(channel.ReadReply(reply));
    EXPECT_EQ(channel.Device(), nullptr) << "a hung-up device is closed";
    EXPECT_LT(Elapsed(), 1000ms) << "a hung-up line fails at once";
}

// Once the card has gone its handle is closed and forgotten: reads fail at once without
// opening anything, Retry at the write prompt opens the port afresh, and so does the next
// open under the same name.
TEST_F(ModemChannelTest, ALostDeviceIsClosedAndTheNextWriteOpensThePortAfresh) {
    ASSERT_TRUE(channel.OpenConfiguredPort());
    const int opens = channel.DeviceOpens();
    card.Unplug();
    std::string reply;
    EXPECT_FALSE(channel.ReadUntilOK(reply));
    EXPECT_EQ(channel.Device(), nullptr) << "closed and forgotten";
    EXPECT_FALSE(card.IsOpen());
    EXPECT_FALSE(channel.ReadReply(reply)) << "a read opens nothing";
    EXPECT_EQ(card.OpenCount(), 1);

    // Still gone at the first answer, back by the second.
    prompter.answers = {Answer::Retry, Answer::Retry};
    prompter.onAsk = [this](const std::string&) {
        if (prompter.texts.size() == 2) {
            card.Replug();
        }
    };
    EXPECT_TRUE(channel.SendText("ATE0\r\n"));
    EXPECT_EQ(prompter.texts, (std::vector<std::string>(2, Text(res::IDS_PORT_WRITE_FAILED))));
    EXPECT_NE(prompter.details[0].find("not plugged in"), std::string::npos) << prompter.details[0];
    EXPECT_EQ(channel.DeviceOpens(), opens + 1);
    EXPECT_TRUE(channel.ReadUntilOK(reply));
    ASSERT_NE(card.LastLineState(), nullptr);
    EXPECT_EQ(card.LastLineState()->baudRate, 115200u) << "the line settings it had";

    // Gone and back while nobody talked: the open under the same name opens afresh.
    card.Unplug();
    card.Replug();
    prompter.texts.clear();
    ASSERT_TRUE(channel.OpenConfiguredPort());
    EXPECT_EQ(channel.DeviceOpens(), opens + 2);
    EXPECT_TRUE(channel.SendText("AT\r\n"));
    EXPECT_TRUE(channel.ReadUntilOK(reply));
    EXPECT_TRUE(prompter.texts.empty());
}

// Each open, write and read says how it ended, with the reason its message shows beneath;
// once the card has gone, later operations fail for the reason it went.
TEST_F(ModemChannelTest, EachOperationSaysHowItEndedAndWhy) {
    LineEdit(channel)->port = "COM2";
    const link::LinkResult unopened = channel.OpenConfiguredPort();
    EXPECT_EQ(unopened.end, link::LinkEnd::Failed);
    ASSERT_EQ(prompter.details.size(), 2u);
    EXPECT_FALSE(unopened.reason.empty());
    EXPECT_EQ(unopened.reason, prompter.details[1]);

    LineEdit(channel)->port = "COM3";
    const link::LinkResult opened = channel.OpenConfiguredPort();
    EXPECT_EQ(opened.end, link::LinkEnd::Ok);
    EXPECT_TRUE(opened.reason.empty());
    std::string reply;
    const link::LinkResult silence = channel.ReadReply(reply);
    EXPECT_EQ(silence.end, link::LinkEnd::TimedOut) << "a quiet window is no device failure";
    EXPECT_TRUE(silence.reason.empty());

    card.Unplug();
    prompter.details.clear();
    prompter.answers = {Answer::Cancel};
    const link::LinkResult unsent = channel.SendText("AT\r\n");
    EXPECT_EQ(unsent.end, link::LinkEnd::Failed);
    ASSERT_EQ(prompter.details.size(), 1u);
    EXPECT_FALSE(unsent.reason.empty());
    EXPECT_EQ(unsent.reason, prompter.details[0]) << "the reason 110 showed";
    const link::LinkResult unread = channel.ReadUntilOK(reply);
    EXPECT_EQ(unread.end, link::LinkEnd::Failed);
    EXPECT_EQ(unread.reason, unsent.reason) << "no port: the reason it went";
}

TEST_F(ModemChannelTest, APortThatCannotTimeItsReadsIsNotRead) {
    card.Faults().noImmediateReads = true;
    ASSERT_TRUE(channel.OpenConfiguredPort());
    channel.SendText("AT\r\n");
    std::string reply;
    EXPECT_FALSE(channel.ReadReply(reply));
    EXPECT_FALSE(channel.ReadUntilOK(reply));
    EXPECT_EQ(Elapsed(), 0ms);
}

TEST_F(ModemChannelTest, ConversationWithTheCard) {
    ASSERT_TRUE(channel.OpenConfiguredPort());
    std::string reply;
    channel.SendText("ATE0Q0V1\r\n");
    EXPECT_TRUE(channel.ReadUntilOK(reply));
    channel.SendText("ATI3\r\n");
    EXPECT_TRUE(channel.ReadUntilOK(reply));
    EXPECT_EQ(reply, "\r\nKest Ferronix ZO! Series ISDN PC Card\r\n\r\nOK\r\n");
    EXPECT_LT(Elapsed(), 100ms);
}

}  // namespace
}  // namespace zo::test
