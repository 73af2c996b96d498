#include "link/CardConfiguration.h"

#include <gtest/gtest.h>

#include "cardsim/InProcessCard.h"
#include "res/Strings.h"
#include "store/ProfileStore.h"
#include "support/LinkTest.h"
#include "support/TestStore.h"

using namespace std::chrono_literals;
using zo::link::CardConfiguration;
using zo::link::CardConfigurationResult;
using zo::link::CardSettings;
using zo::link::ProgressSteps;

namespace zo::test {
namespace {

struct CountingProgress : link::ProgressWindow {
    void StepIt() override { ++steps; }
    int steps = 0;
};

class CardConfigurationTest : public LinkTest {
protected:
    CardConfigurationTest() {
        ports.MapToDevice("COM3", card.Opener());
        FillOfficeProfile(channel, profile);
    }
    CardConfigurationResult Run(const CardSettings& s,
                                ProgressSteps steps = ProgressSteps::Wizard) {
        CardConfiguration run(channel, progress, steps);
        auto result = run.Run(s);
        storeOutcome = run.StoreOutcome();
        refused = run.RefusedField();
        return result;
    }
    // The commands the card received, without the line feeds that follow each.
    std::vector<std::string> Sent() { return card.Model().Lines(); }
    std::vector<std::string> Current() const {
        store::RegistryKey k(store::HKEY_LOCAL_MACHINE, store::CurrentPath());
        k.ReadSubkeys();
        return k.Results();
    }

    TestStore store;
    cardsim::InProcessCard card{clock};
    link::ModemChannel channel{Context()};
    link::WorkingProfile profile;
    CountingProgress progress;
    store::StoreResult storeOutcome;
    std::string refused;
};

TEST_F(CardConfigurationTest, WizardProgramsTheCardWithTheWholeScript) {
    EXPECT_EQ(Run(link::WizardCardSettings(profile)), CardConfigurationResult::Applied);
    EXPECT_EQ(card.Writes(),
              (std::vector<std::string>{"AT&F\r\n", "ATE0Q0V1\r\n", "ATI3\r\n", "AT!C0=32\r\n",
                                        "AT!N1=\"5550100\"\r\n", "AT!C2=\"20655501000101\"\r\n",
                                        "AT!N2=\"\"\r\n", "AT!C6=\"\"\r\n", "AT&K3\r\n", "ATE1\r\n",
                                        "AT&W\r\n", "AT%Z1\r\n"}));
    EXPECT_EQ(progress.steps, 10);
    EXPECT_EQ(Current(), std::vector<std::string>{"Office"});
    EXPECT_EQ(store::ReadProfile("Office").Value().At(store::kSpid1), "20655501000101")
        << "saved in the transaction that records it as applied";
    EXPECT_EQ(card.Model().Stored().spid1, "20655501000101");
    EXPECT_GE(Elapsed(), 13000ms) << "four pauses and the reply window";
    EXPECT_LT(Elapsed(), 16000ms);
    EXPECT_TRUE(prompter.texts.empty());
}

TEST_F(CardConfigurationTest, SwitchAndFlowCommandsFollowTheirTables) {
    struct Case {
        const char* switchType;
        const char* flow;
        const char* switchCommand;
        const char* flowCommand;
    };
    for (const Case& c :
         {Case{"AT&T 5ESS Custom", "XOn/XOff", "AT!C0=0", "AT&K4"},
          Case{"Northern Telecom (Nortel) DMS100 Custom", "None", "AT!C0=1", "AT&K"},
          Case{"national isdn-1 (ni-1)", "hardware", nullptr, nullptr}}) {
        profile.Switch = c.switchType;
        profile.Flow = c.flow;
        channel.SetLine(profile.Line());
        std::size_t before = Sent().size();
        EXPECT_EQ(Run(link::WizardCardSettings(profile)), CardConfigurationResult::Applied);
        std::vector<std::string> sent = Sent();
        sent.erase(sent.begin(), sent.begin() + static_cast<long>(before));
        auto has = [&](const char* cmd) {
            return cmd && std::find(sent.begin(), sent.end(), cmd) != sent.end();
        };
        EXPECT_TRUE(c.switchCommand == nullptr || has(c.switchCommand)) << c.switchType;
        EXPECT_TRUE(c.flowCommand == nullptr || has(c.flowCommand)) << c.flow;
        if (!c.switchCommand) {
            EXPECT_EQ(sent.size(), 10u) << "no switch and no flow command";
        }
    }
}

TEST_F(CardConfigurationTest, ConfigurationPageSendsHardwareFlowAndStepsElevenTimes) {
    profile.Flow = "XOn/XOff";
    channel.SetLine(profile.Line());
    store::Profile stored =
        store::Profile::FromStored({"Home", "National ISDN-1 (NI-1)", "5551234", "55512340101",
                                    "COM3", "115200", "8", "None", "1", "XOn/XOff"});
    store::RegistryKey key(store::HKEY_LOCAL_MACHINE, store::PccardPath());
    ASSERT_TRUE(
        store::WriteProfile(key, {"Home", "National ISDN-1 (NI-1)", "5551234", "55512340101",
                                  "COM3", "115200", "8", "None", "1", "XOn/XOff", "", "", false}));
    CardSettings s = link::ConfigPageCardSettings("Home", stored);
    EXPECT_EQ(s.number1, "1231234") << "the page's split of a seven-digit number";
    EXPECT_EQ(Run(s, ProgressSteps::ConfigurationPage), CardConfigurationResult::Applied);
    EXPECT_EQ(progress.steps, 11);
    EXPECT_EQ(Sent()[8], "AT&K3");
    EXPECT_EQ(Current(), std::vector<std::string>{"Home"});
}

TEST_F(CardConfigurationTest, CurrentEndsWithExactlyTheAppliedProfile) {
    { store::RegistryKey k(store::HKEY_LOCAL_MACHINE, store::CurrentPath() + "Home"); }
    EXPECT_EQ(Run(link::WizardCardSettings(profile)), CardConfigurationResult::Applied);
    EXPECT_EQ(Current(), std::vector<std::string>{"Office"});
    EXPECT_EQ(Run(link::WizardCardSettings(profile)), CardConfigurationResult::Applied);
    EXPECT_EQ(Current(), std::vector<std::string>{"Office"});
}

TEST_F(CardConfigurationTest, EarlyOutcomesSendNoMoreAndLeaveTheStore) {
    // Not the card: nothing after the identification request.
    card.Faults().wrongIdentification = true;
    EXPECT_EQ(Run(link::WizardCardSettings(profile)), CardConfigurationResult::WrongCard);
    EXPECT_EQ(card.Writes().back(), "ATI3\r\n");
    EXPECT_EQ(progress.steps, 2);
    EXPECT_TRUE(Current().empty());

    // No answer at all within five seconds.
    card.Faults() = {};
    card.Faults().silent = true;
    progress.steps = 0;
    std::size_t writes = card.Writes().size();
    EXPECT_EQ(Run(link::WizardCardSettings(profile), ProgressSteps::ConfigurationPage),
              CardConfigurationResult::NoReply);
    EXPECT_EQ(card.Writes().size(), writes + 1);
    EXPECT_EQ(progress.steps, 2);

    // The port cannot be opened: the channel's own messages, then nothing.
    LineEdit(channel)->port = "COM1";
    progress.steps = 0;
    EXPECT_EQ(Run(link::WizardCardSettings(profile)), CardConfigurationResult::PortNotOpened);
    EXPECT_EQ(prompter.texts, (std::vector<std::string>{Text(res::IDS_PORT_UNSUPPORTED),
                                                        Text(res::IDS_PORT_COMM_FAILED)}));
    EXPECT_EQ(progress.steps, 0);
    EXPECT_TRUE(Current().empty());
}

TEST_F(CardConfigurationTest, CancelAtTheSpidStopsBeforeTheCardStoresAnything) {
    ports.MapToDevice("COM3", FailingWrites(card.Opener(), [](std::string_view d) {
                          return d.starts_with("AT!C2=");
                      }));
    EXPECT_EQ(Run(link::WizardCardSettings(profile)), CardConfigurationResult::WriteFailed);
    EXPECT_EQ(card.Writes().back(), "AT!N1=\"5550100\"\r\n");
    EXPECT_EQ(prompter.texts, std::vector<std::string>{Text(res::IDS_PORT_WRITE_FAILED)});
    EXPECT_EQ(card.Model().Stored(), cardsim::CardProfile{});
    EXPECT_TRUE(Current().empty());
}

TEST_F(CardConfigurationTest, ValuesThatWouldInjectCommandsAreRefusedBeforeTheCard) {
    struct Case {
        std::string CardSettings::*field;
        const char* value;
        const char* name;
    };
    for (const Case& c : {Case{&CardSettings::spid1, "1\"\r\nAT&W\r\nAT!C2=\"2", "SPID 1"},
                          Case{&CardSettings::number2, "555\r0100", "phone number 2"},
                          Case{&CardSettings::spid2, "\x1b", "SPID 2"},
                          Case{&CardSettings::number1, "\"", "phone number 1"}}) {
        CardSettings s = link::WizardCardSettings(profile);
        s.*c.field = c.value;
        EXPECT_EQ(Run(s), CardConfigurationResult::UnsafeValue) << c.name;
        EXPECT_EQ(refused, c.name);
        EXPECT_NE(link::OutcomeMessage(CardConfigurationResult::UnsafeValue, refused).find(c.name),
                  std::string::npos);
    }
    EXPECT_EQ(card.OpenCount(), 0);
    EXPECT_EQ(progress.steps, 0);
    EXPECT_TRUE(prompter.texts.empty());
    EXPECT_TRUE(Current().empty());
    // Blanks, letters and other printable characters are the card's to judge.
    CardSettings s = link::WizardCardSettings(profile);
    s.spid2 = "0101 abc";
    EXPECT_EQ(Run(s), CardConfigurationResult::Applied);
}

TEST_F(CardConfigurationTest, AProfileNameTheStoreCannotHoldFailsTheRecord) {
    CardSettings s = link::WizardCardSettings(profile);
    s.location = "Home\\Office";
    EXPECT_EQ(Run(s), CardConfigurationResult::RegistryFailed);
    EXPECT_EQ(storeOutcome.status, store::StoreStatus::Invalid);
    EXPECT_EQ(card.Writes().back(), "AT%Z1\r\n") << "the card keeps what it was sent";
}

TEST(CardSettingsTest, CallersInputs) {
    link::WorkingProfile c;
    c.Phone1 = "2065550100";
    c.Phone2 = "555";
    c.TerminalCount = 1;
    c.Flow = "None";
    auto s = link::WizardCardSettings(c);
    EXPECT_EQ(s.number1, "5550100");
    EXPECT_EQ(s.number2, "") << "terminal 2 not in use";
    EXPECT_EQ(s.flowCommand, "AT&K\r\n");
    c.TerminalCount = 2;
    EXPECT_EQ(link::WizardCardSettings(c).number2, "555");

    auto parts = link::SplitDirectoryNumber("5551234");
    EXPECT_EQ(parts.area + "|" + parts.exchange + "|" + parts.line, "555|123|1234");
    parts = link::SplitDirectoryNumber("12");
    EXPECT_EQ(parts.area + "|" + parts.exchange + "|" + parts.line, "12||12");
    EXPECT_EQ(CardConfiguration::ParameterCommand("AT!N1=", "5550100").size(), 17u);
}

}  // namespace
}  // namespace zo::test
