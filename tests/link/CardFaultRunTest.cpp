// Whole card conversations against a card that vanishes or misbehaves at every point:
// each ends within its bound, says what its callers are told to say, and leaves the store
// as it was unless the card took the whole profile.
#include <gtest/gtest.h>

#include "cardsim/InProcessCard.h"
#include "link/CardConfiguration.h"
#include "link/ModemChannel.h"
#include "link/PortScan.h"
#include "res/Strings.h"
#include "store/ProfileStore.h"
#include "support/LinkTest.h"
#include "support/TestStore.h"

using namespace std::chrono_literals;
using zo::link::CardConfiguration;
using zo::link::CardConfigurationResult;

namespace zo::test {
namespace {

// The programming script sends twelve commands, each followed by a pause of 2 s and a
// wait for "OK" of at most 10 s; a run may take no longer than that.
constexpr auto kProgrammingBound = 12 * (2000ms + 10000ms) + 5000ms;
// Wake-up, detection script and identification with their pauses and read windows.
constexpr auto kProbeBound = 30000ms;

struct NoProgress : link::ProgressWindow {
    void StepIt() override {}
};

// One round of a fault run: a card, a store and a channel of its own, so that no round
// meets what an earlier one left behind (a card that already hung up, a recorded profile).
struct Round {
    explicit Round(const link::LinkContext& context) : card(context.Clock()), channel(context) {
        context.Ports().MapToDevice("COM3", card.Opener());
        FillOfficeProfile(channel, profile);
    }
    CardConfigurationResult Program() {
        NoProgress progress;
        CardConfiguration run(channel, progress, link::ProgressSteps::Wizard);
        CardConfigurationResult result = run.Run(link::WizardCardSettings(profile));
        refused = run.RefusedField();
        return result;
    }
    static std::size_t CurrentCount() {
        store::RegistryKey k(store::HKEY_LOCAL_MACHINE, store::CurrentPath());
        k.ReadSubkeys();
        return k.Results().size();
    }

    TestStore store;
    cardsim::InProcessCard card;
    link::ModemChannel channel;
    link::WorkingProfile profile;
    std::string refused;
};

class CardFaultRunTest : public LinkTest {
protected:
    std::unique_ptr<Round> Fresh() { return std::make_unique<Round>(Context()); }
};

// The probe sends three commands; a card that hangs up on any of them is not found, one
// that answers all three is.
TEST_F(CardFaultRunTest, CardVanishingDuringTheProbeIsNotFoundAndSaysNothing) {
    for (int answered = 0; answered <= 3; ++answered) {
        auto round = Fresh();
        round->card.Faults().hangUpAfter = answered;
        link::SetDetectionSettings(round->channel, link::ScanCaller::Wizard);
        auto before = Elapsed();
        EXPECT_EQ(round->channel.ProbePort("COM3").Ok(), answered == 3) << answered;
        EXPECT_LE(Elapsed() - before, kProbeBound) << answered;
        EXPECT_EQ(round->card.Model().HungUp(), answered < 3) << answered;
    }
    EXPECT_TRUE(prompter.texts.empty());
}

// The script is twelve commands; the card hangs up on receiving the one after `answered`.
// Only the answer to "AT&W" (the eleventh) makes the run a success: a card that hangs up on
// the final reset holds the profile, any earlier hang-up leaves its memory empty.
TEST_F(CardFaultRunTest, CardVanishingDuringProgrammingNeverRecordsTheProfile) {
    for (int answered = 0; answered < 12; ++answered) {
        auto round = Fresh();
        round->card.Faults().hangUpAfter = answered;
        prompter.texts.clear();
        auto before = Elapsed();
        CardConfigurationResult result = round->Program();
        EXPECT_LE(Elapsed() - before, kProgrammingBound) << answered;
        EXPECT_TRUE(round->card.Model().HungUp()) << answered;
        const bool stored = answered == 11;
        EXPECT_EQ(result == CardConfigurationResult::Applied, stored) << answered;
        EXPECT_EQ(round->card.Model().Stored().Configured(), stored) << answered;
        EXPECT_EQ(Round::CurrentCount(), stored ? 1u : 0u) << answered;
        if (!stored) {
            EXPECT_TRUE(result == CardConfigurationResult::NoReply ||
                        result == CardConfigurationResult::WriteFailed)
                << answered;
        }
        // A write to the vanished card asks Retry or Cancel; the script answers Cancel.
        for (const std::string& text : prompter.texts) {
            EXPECT_EQ(text, Text(res::IDS_PORT_WRITE_FAILED)) << answered;
        }
    }
}

// The card goes away on receiving each command in turn and comes back while the write
// prompt is open. Retry then starts the script over on the fresh card, which ends up
// holding the whole profile. Where the loss shows in a read instead (the identification,
// the store), the run ends as no reply and the next run, with the card back, succeeds.
TEST_F(CardFaultRunTest, ACardThatComesBackDuringProgrammingGetsTheWholeProfile) {
    for (int answered = 0; answered < 12; ++answered) {
        auto round = Fresh();
        round->card.Faults().hangUpAfter = answered;
        prompter.texts.clear();
        prompter.answers = {platform::Answer::Retry};
        prompter.onAsk = [&round](const std::string&) { round->card.Replug(); };
        CardConfigurationResult result = round->Program();
        if (result != CardConfigurationResult::Applied) {
            EXPECT_EQ(result, CardConfigurationResult::NoReply) << answered;
            EXPECT_TRUE(prompter.texts.empty()) << answered;
            EXPECT_EQ(Round::CurrentCount(), 0u) << answered;
            round->card.Replug();
            result = round->Program();
        }
        EXPECT_EQ(result, CardConfigurationResult::Applied) << answered;
        const cardsim::CardProfile stored = round->card.Model().Stored();
        EXPECT_EQ(stored.switchType, 32) << answered;
        EXPECT_EQ(stored.dn1, "5550100") << answered;
        EXPECT_EQ(stored.spid1, "20655501000101") << answered;
        EXPECT_EQ(stored.flow, 3) << answered;
        EXPECT_EQ(Round::CurrentCount(), 1u) << answered;
    }
    prompter.onAsk = nullptr;
}

// A refused programming command ends the run at once: nothing further is sent, nothing is
// stored in the card or recorded, and the message names the command.
TEST_F(CardFaultRunTest, ARefusedSettingEndsTheRunWithItsOwnOutcome) {
    const char* commands[] = {
        "AT!C0=32", "AT!N1=", "AT!C2=", "AT!N2=", "AT!C6=", "AT&K3", "ATE1", "AT&W"};
    for (const char* command : commands) {
        auto round = Fresh();
        round->card.Faults().refuseCommand = command;
        auto before = Elapsed();
        EXPECT_EQ(round->Program(), CardConfigurationResult::Refused) << command;
        // Pauses and the reset's reply window only: no wait runs to its bound.
        EXPECT_LT(Elapsed() - before, 4 * 2000ms + link::kReplyWindow + 1000ms) << command;
        EXPECT_EQ(round->refused.rfind(command, 0), 0u) << round->refused;
        EXPECT_EQ(round->card.Model().Lines().back(), round->refused) << "nothing after it";
        EXPECT_FALSE(round->card.Model().Stored().Configured()) << command;
        EXPECT_EQ(Round::CurrentCount(), 0u) << command;
        const std::string message =
            link::OutcomeMessage(CardConfigurationResult::Refused, round->refused);
        EXPECT_NE(message.find("\"" + round->refused + "\""), std::string::npos) << message;
        EXPECT_NE(
            link::OutcomeDetail(CardConfigurationResult::Refused, round->channel, {}).find("ERROR"),
            std::string::npos);
    }
    EXPECT_TRUE(prompter.texts.empty());
}

// The card's answers are read until "OK" with a bound, so a card that floods, refuses or
// never confirms costs time but never hangs the program; only a card that identifies
// itself and confirms the store gets the profile recorded.
TEST_F(CardFaultRunTest, MisbehavingCardsEndWithinTheBound) {
    struct Case {
        const char* name;
        void (*set)(cardsim::CardFaults&);
        CardConfigurationResult expected;
        bool cardStores = false;  // the card took "AT&W", whether it said so or not
    };
    const Case cases[] = {
        {"error-all", [](cardsim::CardFaults& f) { f.errorForEverything = true; },
         CardConfigurationResult::WrongCard},
        {"refuse-settings", [](cardsim::CardFaults& f) { f.refuseSettings = true; },
         CardConfigurationResult::Refused},
        {"endless", [](cardsim::CardFaults& f) { f.endlessOutput = true; },
         CardConfigurationResult::WrongCard},
        {"silent", [](cardsim::CardFaults& f) { f.silent = true; },
         CardConfigurationResult::NoReply},
        {"no-ok", [](cardsim::CardFaults& f) { f.neverOk = true; },
         CardConfigurationResult::NoReply, true},
        {"slow", [](cardsim::CardFaults& f) { f.answerDelay = cardsim::kSlowAnswerDelay; },
         CardConfigurationResult::Applied, true},
    };
    for (const Case& c : cases) {
        auto round = Fresh();
        c.set(round->card.Faults());
        auto before = Elapsed();
        EXPECT_EQ(round->Program(), c.expected) << c.name;
        EXPECT_LE(Elapsed() - before, kProgrammingBound) << c.name;
        const bool applied = c.expected == CardConfigurationResult::Applied;
        EXPECT_EQ(Round::CurrentCount(), applied ? 1u : 0u) << c.name;
        EXPECT_EQ(round->card.Model().Stored().Configured(), c.cardStores) << c.name;
    }
}

// Cards whose "OK" is no answer to "AT&W": one that words its refusal "NO OK", one whose
// answer to SPID 2 comes after three waits have ended, one that falls an answer behind at
// the switch type, one that says "OK" twice to "ATE1". Only an "OK" line of its own after
// the store command and its echo counts: refusing "AT&W" they record nothing, and those
// that answer the store in turn still get the profile recorded.
TEST_F(CardFaultRunTest, OnlyTheCardsOwnOkToTheStoreIsASuccess) {
    using R = CardConfigurationResult;
    struct Case {
        const char* name;
        void (*set)(cardsim::CardFaults&);
        R refused;  // the outcome when the card answers "AT&W" with ERROR
        R taken;    // and when it stores the settings
    };
    const Case cases[] = {
        {"ok-in-refusal", [](cardsim::CardFaults& f) { f.okInRefusal = true; }, R::Refused,
         R::Applied},
        {"late=AT!C6", [](cardsim::CardFaults& f) { f.lateCommand = "AT!C6"; }, R::Refused,
         R::Applied},
        // Its answer to the store comes only with the next command, which is never sent.
        {"behind=AT!C0", [](cardsim::CardFaults& f) { f.behindFrom = "AT!C0"; }, R::NoReply,
         R::NoReply},
        {"extra-ok=ATE1", [](cardsim::CardFaults& f) { f.extraOkAfter = "ATE1"; }, R::Refused,
         R::Applied},
    };
    for (const Case& c : cases) {
        for (bool refuse : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (refuse ? " refusing AT&W" : ""));
            auto round = Fresh();
            c.set(round->card.Faults());
            if (refuse) {
                round->card.Faults().refuseCommand = "AT&W";
            }
            auto before = Elapsed();
            const CardConfigurationResult result = round->Program();
            EXPECT_EQ(result, refuse ? c.refused : c.taken);
            EXPECT_LE(Elapsed() - before, kProgrammingBound);
            EXPECT_EQ(Round::CurrentCount(), result == R::Applied ? 1u : 0u);
            EXPECT_EQ(round->card.Model().Stored().Configured(), !refuse);
            if (result == R::Refused) {
                EXPECT_EQ(round->refused, "AT&W");
            }
        }
    }
    EXPECT_TRUE(prompter.texts.empty());
}

}  // namespace
}  // namespace zo::test
