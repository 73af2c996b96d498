// Whole card conversations against a card that vanishes or misbehaves at every point:
// each ends within its bound, says what its callers are told to say, and leaves the store
// as it was unless the card took the whole profile.
#include <gtest/gtest.h>

#include "TestStore.h"
#include "cardsim/InProcessCard.h"
#include "link/LinkTestSupport.h"
#include "link/PortScan.h"
#include "res/Strings.h"
#include "store/ProfileStore.h"
#include "wizard/CardConfiguration.h"

using namespace std::chrono_literals;
using zo::wizard::CardConfiguration;
using zo::wizard::CardConfigurationResult;

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

class CardFaultRunTest : public LinkTest {
protected:
    CardFaultRunTest() { ports.MapToDevice("COM3", card.Opener()); }

    CardConfigurationResult Program() {
        NoProgress progress;
        CardConfiguration run(channel, progress, wizard::ProgressSteps::Wizard);
        return run.Run(wizard::WizardCardSettings(channel));
    }
    std::size_t CurrentCount() const {
        store::RegistryKey k(store::HKEY_LOCAL_MACHINE, store::CurrentPath());
        k.ReadSubkeys();
        return k.m_results.size();
    }

    TestStore store;
    cardsim::InProcessCard card{clock};
    link::ModemChannel channel;
};

TEST_F(CardFaultRunTest, CardVanishingDuringTheProbeIsNotFoundAndSaysNothing) {
    for (int answered = 0; answered <= 4; ++answered) {
        card.Faults() = {};
        card.Faults().hangUpAfter = answered;
        link::SetDetectionSettings(channel, link::ScanCaller::Wizard);
        auto before = Elapsed();
        EXPECT_FALSE(channel.ProbePort("COM3")) << answered;
        EXPECT_LE(Elapsed() - before, kProbeBound) << answered;
        channel.Serial.reset();
    }
    EXPECT_TRUE(prompter.texts.empty());
}

TEST_F(CardFaultRunTest, CardVanishingDuringProgrammingNeverRecordsTheProfile) {
    for (int answered = 0; answered < 12; ++answered) {
        card.Faults() = {};
        card.Faults().hangUpAfter = answered;
        channel.Serial.reset();
        FillOfficeProfile(channel);
        prompter.texts.clear();
        auto before = Elapsed();
        CardConfigurationResult result = Program();
        EXPECT_NE(result, CardConfigurationResult::Applied) << answered;
        EXPECT_LE(Elapsed() - before, kProgrammingBound) << answered;
        EXPECT_EQ(CurrentCount(), 0u) << answered;
        EXPECT_TRUE(store::ListProfileNames().empty()) << answered;
        // A write to the vanished card asks Retry or Cancel; the script answers Cancel.
        for (const std::string& text : prompter.texts) {
            EXPECT_EQ(text, Text(res::IDS_PORT_WRITE_FAILED)) << answered;
        }
    }
}

// The card's answers are read until "OK" with a bound, so a card that floods, refuses or
// never confirms costs time but never hangs the program; only a card that identifies
// itself gets the profile.
TEST_F(CardFaultRunTest, MisbehavingCardsEndWithinTheBound) {
    struct Case {
        const char* name;
        void (*set)(cardsim::CardFaults&);
        bool mayApply;
    };
    const Case cases[] = {
        {"error-all", [](cardsim::CardFaults& f) { f.errorForEverything = true; }, false},
        {"endless", [](cardsim::CardFaults& f) { f.endlessOutput = true; }, false},
        {"silent", [](cardsim::CardFaults& f) { f.silent = true; }, false},
        // Cards that may take the profile come last: they leave it recorded.
        {"no-ok", [](cardsim::CardFaults& f) { f.neverOk = true; }, true},
        {"slow", [](cardsim::CardFaults& f) { f.answerDelay = cardsim::kSlowAnswerDelay; }, true},
    };
    for (const Case& c : cases) {
        card.Faults() = {};
        c.set(card.Faults());
        channel.Serial.reset();
        FillOfficeProfile(channel);
        auto before = Elapsed();
        CardConfigurationResult result = Program();
        EXPECT_LE(Elapsed() - before, kProgrammingBound) << c.name;
        if (!c.mayApply) {
            EXPECT_NE(result, CardConfigurationResult::Applied) << c.name;
            EXPECT_EQ(CurrentCount(), 0u) << c.name;
        }
        if (result == CardConfigurationResult::Applied) {
            EXPECT_EQ(CurrentCount(), 1u) << c.name;
        }
    }
}

}  // namespace
}  // namespace zo::test
