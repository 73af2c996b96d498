#include <gtest/gtest.h>

#include <filesystem>

#include "cardsim/CardModel.h"
#include "support/TestStore.h"

using namespace std::chrono_literals;

namespace zo::cardsim {
namespace {

class CardModelTest : public ::testing::Test {
protected:
    // Sends one line and returns everything the card says within a second.
    std::string Say(const std::string& line) {
        model.Receive(line + "\r\n");
        clock.Advance(1s);
        return model.TakeDueOutput();
    }

    platform::VirtualClock clock;
    CardModel model{clock};
};

TEST_F(CardModelTest, EchoResultCodesAndVerbosity) {
    EXPECT_EQ(Say("AT"), "AT\r\r\nOK\r\n\n");
    EXPECT_EQ(Say("ATE0Q0V1"), "ATE0Q0V1\r\r\nOK\r\n") << "echoed up to the end of the line";
    EXPECT_EQ(Say("ATI3"), "\r\nKest Ferronix ZO! Series ISDN PC Card\r\n\r\nOK\r\n");
    EXPECT_EQ(Say("ATV0"), "0\r");
    EXPECT_EQ(Say("ATX"), "4\r");
    EXPECT_EQ(Say("ATQ1V1"), "");
    EXPECT_EQ(Say("AT&F"), "\r\nOK\r\n\n") << "factory settings: echo and results back";
    EXPECT_EQ(Say("at i0"), "at i0\r\r\nZO-128\r\n\r\nOK\r\n\n");
}

TEST_F(CardModelTest, WakeUpBytesAndNoiseAreIgnored) {
    Say("ATE0");
    model.Receive(std::string("\r\xAAT\r\n\0", 6));
    clock.Advance(1s);
    EXPECT_EQ(model.TakeDueOutput(), "");
    EXPECT_EQ(model.Lines(), (std::vector<std::string>{"ATE0", "\xAAT"}));
}

TEST_F(CardModelTest, CommandsTheCardDoesNotKnowAreErrors) {
    Say("ATE0");
    for (const char* bad : {"AT!C0=2", "AT!C9=\"1\"", "AT!N1=\"555", "AT!N1=5550100", "AT&K2",
                            "ATI4", "AT%Z2", "AT!N1=\"123456789012345678901\""}) {
        EXPECT_EQ(Say(bad), "\r\nERROR\r\n") << bad;
    }
    EXPECT_EQ(model.Active(), CardProfile{});
}

TEST_F(CardModelTest, SettingsAreStoredAndTheLineComesUp) {
    Say("ATE0");
    EXPECT_EQ(model.LinkState(), " Physical Interface Inactive");
    for (const char* cmd : {"AT!C0=32", "AT!N1=\"5550100\"", "AT!C2=\"20655501000101\"",
                            "AT!N2=\"\"", "AT!C6=\"\"", "AT&K4"}) {
        EXPECT_EQ(Say(cmd), "\r\nOK\r\n") << cmd;
    }
    EXPECT_EQ(model.LinkState(), " Physical Interface Inactive") << "nothing stored yet";
    Say("AT&W");
    EXPECT_EQ(model.Stored().spid1, "20655501000101");
    EXPECT_EQ(model.Stored().flow, 4);
    EXPECT_EQ(model.LinkState(), " Activating");
    std::string status = Say("ATI10");
    EXPECT_NE(status.find("Link Status: Activating\r\n"), std::string::npos) << status;
    clock.Advance(kActivationTime);
    EXPECT_EQ(model.LinkState(), " Active");
    Say("AT%Z1");
    EXPECT_EQ(model.LinkState(), " Activating") << "the interface restarts";

    Say("AT&F");
    EXPECT_EQ(model.Active(), CardProfile{});
    EXPECT_EQ(model.Stored().switchType, 32) << "factory settings leave the stored ones";
}

TEST_F(CardModelTest, NonVolatileMemorySurvivesInItsFile) {
    test::TestStore dir;
    const std::string path = dir.Dir() + "/card.nvram";
    {
        CardModel card(clock, path);
        card.Receive("AT!C0=0\rAT!C2=\"0155501000\"\rAT&W\r");
    }
    CardModel again(clock, path);
    EXPECT_EQ(again.Active().switchType, 0);
    EXPECT_EQ(again.Stored().spid1, "0155501000");
    EXPECT_EQ(again.LinkState(), " Active") << "powered on with its settings";
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(CardModelTest, Faults) {
    model.Faults().errorForEverything = true;
    EXPECT_EQ(Say("AT"), "AT\r\r\nERROR\r\n\n");
    model.Faults() = {};
    model.Faults().neverOk = true;
    EXPECT_EQ(Say("ATE0"), "ATE0\r");
    EXPECT_EQ(Say("ATI0"), "\r\nZO-128\r\n");
    model.Faults() = {};
    model.Faults().answerDelay = 3000ms;
    model.Receive("AT\r");
    clock.Advance(2999ms);
    EXPECT_EQ(model.TakeDueOutput(), "");
    EXPECT_EQ(model.NextOutputDue(), clock.Now() + 1ms);
    clock.Advance(1ms);
    EXPECT_EQ(model.TakeDueOutput(), "\r\nOK\r\n");
    model.Faults() = {};
    model.Faults().silent = true;
    EXPECT_EQ(Say("ATE1"), "");
    EXPECT_EQ(model.NextOutputDue(), std::nullopt);
}

TEST_F(CardModelTest, HangsUpAfterItsCommands) {
    model.Faults().hangUpAfter = 2;
    Say("AT");
    Say("AT");
    EXPECT_FALSE(model.HungUp());
    model.Receive("AT\r");
    EXPECT_TRUE(model.HungUp());
    EXPECT_EQ(model.TakeDueOutput(), "");
}

TEST_F(CardModelTest, EndlessOutputNeverSaysOk) {
    model.Faults().endlessOutput = true;
    model.Receive("AT&F\r\n");
    std::string out;
    for (int i = 0; i < 100; ++i) {
        auto next = model.NextOutputDue();
        ASSERT_TRUE(next.has_value());
        clock.Advance(*next - clock.Now() + 1ms);
        out += model.TakeDueOutput();
    }
    EXPECT_GT(out.size(), 6000u);
    EXPECT_EQ(out.find("OK"), std::string::npos);
}

// A card served for days keeps a bounded record of what it was sent.
TEST_F(CardModelTest, LineRecordStaysBounded) {
    for (std::size_t i = 0; i < CardModel::kLineHistory + 10; ++i) {
        model.Receive("x" + std::to_string(i) + "\r");
    }
    EXPECT_LE(model.Lines().size(), CardModel::kLineHistory);
    EXPECT_EQ(model.Lines().back(), "x" + std::to_string(CardModel::kLineHistory + 9));
}

TEST(CardFaultsTest, ParsesNamesAndRefusesTheRest) {
    CardFaults f;
    std::string error;
    EXPECT_TRUE(ParseFault("slow=6000", false, &f, &error));
    EXPECT_EQ(f.answerDelay, 6000ms);
    EXPECT_TRUE(ParseFault("hangup=2", false, &f, &error));
    EXPECT_EQ(f.hangUpAfter, 2);
    EXPECT_TRUE(ParseFault("wrong-id", false, &f, &error));
    EXPECT_TRUE(f.wrongIdentification);
    EXPECT_FALSE(ParseFault("write-fail", false, &f, &error)) << "in-process only";
    EXPECT_TRUE(ParseFault("write-fail=1", true, &f, &error));
    EXPECT_EQ(f.failingWrites, 1);
    EXPECT_FALSE(ParseFault("silent=1", false, &f, &error));
    EXPECT_FALSE(ParseFault("slow=-5", false, &f, &error));
    EXPECT_FALSE(ParseFault("loud", false, &f, &error));
    EXPECT_TRUE(ParseFault("refuse-settings", false, &f, &error));
    EXPECT_TRUE(f.refuseSettings);
    EXPECT_TRUE(ParseFault("refuse=AT&W", false, &f, &error));
    EXPECT_EQ(f.refuseCommand, "AT&W");
    EXPECT_FALSE(ParseFault("refuse", false, &f, &error));
    EXPECT_FALSE(ParseFault("refuse=", false, &f, &error));
    EXPECT_TRUE(ParseFault("ok-in-refusal", false, &f, &error));
    EXPECT_TRUE(f.okInRefusal);
    EXPECT_TRUE(ParseFault("late=AT!C6", false, &f, &error));
    EXPECT_TRUE(ParseFault("behind=AT!C0", false, &f, &error));
    EXPECT_TRUE(ParseFault("extra-ok=ATE1", false, &f, &error));
    EXPECT_EQ(f.lateCommand + f.behindFrom + f.extraOkAfter, "AT!C6AT!C0ATE1");
    for (const char* bad : {"late", "behind=", "extra-ok", "ok-in-refusal=1"}) {
        EXPECT_FALSE(ParseFault(bad, false, &f, &error)) << bad;
    }
}

// The cards that answer out of turn or word a refusal with "OK" in it.
TEST_F(CardModelTest, AnswersOutOfTurn) {
    Say("ATE0");
    model.Faults().okInRefusal = true;
    EXPECT_EQ(Say("ATX"), "\r\nNO OK\r\n\r\nERROR\r\n");
    EXPECT_EQ(Say("AT"), "\r\nOK\r\n");

    model.Faults() = {};
    model.Faults().extraOkAfter = "AT&K";
    model.Receive("AT&K3\r\n");
    clock.Advance(kNormalAnswerDelay);
    EXPECT_EQ(model.TakeDueOutput(), "\r\nOK\r\n");
    clock.Advance(kExtraOkDelay);
    EXPECT_EQ(model.TakeDueOutput(), "\r\nOK\r\n");

    // Later output never overtakes the late answer.
    model.Faults() = {};
    model.Faults().lateCommand = "AT!C6";
    model.Receive("AT!C6=\"\"\r");
    model.Receive("AT\r");
    clock.Advance(kLateAnswerDelay - 1ms);
    EXPECT_EQ(model.TakeDueOutput(), "");
    clock.Advance(1ms);
    EXPECT_EQ(model.TakeDueOutput(), "\r\nOK\r\n\r\nOK\r\n");

    model.Faults() = {};
    model.Faults().behindFrom = "AT&K";
    EXPECT_EQ(Say("ATE1"), "\r\nOK\r\n\n");
    EXPECT_EQ(Say("AT&K3"), "AT&K3\r\n");
    EXPECT_EQ(Say("ATX"), "\r\nOK\r\nATX\r\n") << "the answer to AT&K3 before the echo";
    EXPECT_EQ(Say("AT"), "\r\nERROR\r\nAT\r\n");
}

// Identifies itself and takes the commands that set nothing, refuses every setting and
// the store; a refused store leaves the memory as it was.
TEST_F(CardModelTest, RefusesSettingsButIdentifiesItself) {
    model.Faults().refuseSettings = true;
    EXPECT_EQ(Say("ATE0Q0V1"), "ATE0Q0V1\r\r\nOK\r\n");
    EXPECT_EQ(Say("ATI3"), "\r\nKest Ferronix ZO! Series ISDN PC Card\r\n\r\nOK\r\n");
    for (const char* command : {"AT!C0=32", "at!n1=\"5550100\"", "AT!C2=\"1\"", "AT&K3", "AT&W"}) {
        EXPECT_EQ(Say(command), "\r\nERROR\r\n") << command;
    }
    EXPECT_FALSE(model.Stored().Configured());
    model.Faults() = {};
    model.Faults().refuseCommand = "AT!C2=";
    EXPECT_EQ(Say("AT!C0=32"), "\r\nOK\r\n");
    EXPECT_EQ(Say("AT!C2=\"20655501000101\""), "\r\nERROR\r\n");
}

}  // namespace
}  // namespace zo::cardsim
