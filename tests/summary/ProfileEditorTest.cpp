#include "summary/ProfileEditor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cardsim/InProcessCard.h"
#include "platform/clock/Clock.h"
#include "platform/comm/PortMap.h"
#include "platform/prompt/Prompter.h"
#include "platform/registry/Hive.h"
#include "store/ProfileStore.h"
#include "store/RegistryKey.h"
#include "support/LinkTest.h"
#include "support/StoreLock.h"
#include "support/TestStore.h"

namespace zo::test {
namespace {

using Names = std::vector<std::string>;
using summary::ProfileEditor;

constexpr const char* kNi1 = "National ISDN-1 (NI-1)";

// What the page would be told, one word each, in order.
struct RecordingListener : ProfileEditor::Listener {
    void StoreFailed(const std::string& reason) override {
        told.push_back("failed");
        reasons.push_back(reason);
    }
    void ProfilesListed() override { told.push_back("listed"); }
    void ProfileUnlisted(const std::string& name) override { told.push_back("unlisted " + name); }
    void RemovableChanged() override { told.push_back("removable"); }
    void Terminal2Changed() override { told.push_back("terminal2"); }
    void PortChanged() override { told.push_back("port"); }

    int Failures() const {
        return static_cast<int>(std::count(told.begin(), told.end(), "failed"));
    }
    Names told;
    Names reasons;  // what each store failure said, for the message's detail
};

// Any question the card's conversation asks is a fault here.
struct NoQuestions : platform::Prompter {
    platform::Answer Ask(const std::string& text, platform::Buttons, platform::Icon,
                         const std::string&) override {
        asked.push_back(text);
        return platform::Answer::Cancel;
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    Names asked;
};

class ProfileEditorTest : public ::testing::Test {
protected:
    ProfileEditorTest() { ports.MapToDevice("COM3", card.Opener()); }
    ~ProfileEditorTest() override { channel.ClosePort(); }

    void Store(const std::string& name, const std::string& phone1, const std::string& spid1,
               const std::string& phone2 = {}, const std::string& spid2 = {}) {
        store::Profile r{name,   kNi1, phone1,     spid1,  "COM3", "115200",       "8",
                         "None", "1",  "Hardware", phone2, spid2,  !phone2.empty()};
        store::RegistryKey key(store::HKEY_LOCAL_MACHINE, store::PccardPath(), hive);
        ASSERT_TRUE(store::WriteProfile(key, r));
    }
    void MarkApplied(const std::string& name) {
        store::RegistryKey key(store::HKEY_LOCAL_MACHINE,
                               store::WithoutTrailingBackslash(store::CurrentPath()), hive);
        ASSERT_TRUE(store::MarkProfileActive(key, name));
    }
    // The page's start: the list, then the profile to show.
    void Start(const std::string& handedIn = {}) {
        editor.Fields().Location = handedIn;
        ASSERT_TRUE(editor.ListProfiles());
        editor.LoadStartProfile();
    }
    void BreakStore() { hive.Repoint(store.Dir() + "/gone/registry.db"); }

    // The editor's store, handed in; the default hive is another, which it must not touch.
    TestStore store;
    registry::Hive hive{store.Path()};
    TestStore defaultStore;
    platform::VirtualClock clock;
    comm::PortMap ports;
    cardsim::InProcessCard card{clock};
    NoQuestions prompter;
    link::ModemChannel channel{{&clock, &ports, &prompter}};
    // What a finished wizard hands over.
    link::WorkingProfile made;
    RecordingListener view;
    ProfileEditor editor{view, hive};
};

TEST_F(ProfileEditorTest, StartShowsTheAppliedProfileElseTheOneHandedInAsNotApplied) {
    Store("Office", "2065550100", "20655501000101");
    Store("Home", "4255550199", "42555501990101", "4255550198", "42555501980101");
    MarkApplied("Office");
    Start("Home");
    EXPECT_EQ(editor.Fields().Location, "Office");
    EXPECT_FALSE(editor.Modified());
    EXPECT_TRUE(editor.Removable());
    EXPECT_EQ(editor.Names(), (Names{"Office", "Home"}));
    EXPECT_FALSE(editor.Fields().terminal2);
    EXPECT_EQ(view.Failures(), 0);

    ProfileEditor second{view, hive};
    second.Fields().Location = "Home";
    store::RemoveProfile("Office", false, nullptr, hive);
    ASSERT_TRUE(second.ListProfiles());
    EXPECT_FALSE(second.Removable()) << "one profile left";
    second.LoadStartProfile();
    EXPECT_EQ(second.Fields().Location, "Home");
    EXPECT_TRUE(second.Modified());
    EXPECT_TRUE(second.Fields().terminal2);
    EXPECT_EQ(second.Text(summary::ProfileEditor::Field::Area2) + "|" +
                  second.Text(summary::ProfileEditor::Field::Exchange2) + "|" +
                  second.Text(summary::ProfileEditor::Field::Line2),
              "425|555|0198");
}

// Choosing a profile reads it afresh, whatever was typed meanwhile; the flag follows the
// record of the applied profile.
TEST_F(ProfileEditorTest, SelectingDropsEditsAndFollowsTheRecord) {
    Store("Office", "2065550100", "20655501000101");
    Store("Home", "4255550199", "42555501990101", "4255550198", "42555501980101");
    MarkApplied("Office");
    Start();
    editor.Fields().SPID1 = "999";
    editor.SetModified(true);
    editor.Fields().Location = "Home";
    EXPECT_TRUE(editor.Select());
    EXPECT_TRUE(editor.Modified());
    EXPECT_TRUE(editor.Fields().terminal2);
    editor.Fields().SPID1 = "999";
    editor.Fields().Location = "Office";
    EXPECT_TRUE(editor.Select());
    EXPECT_FALSE(editor.Modified());
    EXPECT_EQ(editor.Fields().SPID1, "20655501000101");
    EXPECT_FALSE(editor.Fields().terminal2);
    EXPECT_TRUE(editor.Fields().SPID2.empty()) << "terminal 2 of the other profile is gone";
}

// Removing shows the first stored profile left and always as not applied, even when it is
// the one recorded: Close then asks.
TEST_F(ProfileEditorTest, RemoveShowsTheNextProfileAsNotApplied) {
    Store("Zeta", "2065550100", "20655501000101");
    Store("Mid", "2065550101", "20655501010101");
    MarkApplied("Mid");
    Start();
    ASSERT_EQ(editor.Fields().Location, "Mid");
    editor.Fields().Location = "Zeta";
    ASSERT_TRUE(editor.Select());
    editor.SetModified(false);
    view.told.clear();
    EXPECT_TRUE(editor.Remove());
    EXPECT_EQ(store::ListProfileNames(hive).Value(), Names{"Mid"});
    EXPECT_EQ(editor.Fields().Location, "Mid");
    EXPECT_EQ(editor.Fields().SPID1, "20655501010101");
    EXPECT_TRUE(editor.Modified()) << "the next profile is the recorded one, and still asks";
    EXPECT_EQ(store::ActiveProfileName(hive).Value(), "Mid");
    EXPECT_FALSE(editor.Removable());
    EXPECT_EQ(editor.Names(), Names{"Mid"});
    EXPECT_EQ(view.told.front(), "removable");
    EXPECT_EQ(view.told[1], "unlisted Zeta") << "the entry goes before the next one loads";

    // The last one stays.
    view.told.clear();
    EXPECT_FALSE(editor.Remove());
    EXPECT_EQ(store::ListProfileNames(hive).Value(), Names{"Mid"});
    EXPECT_EQ(view.told, Names{"removable"});
}

TEST_F(ProfileEditorTest, ANewProfileGoesFirstInTheList) {
    Store("Office", "2065550100", "20655501000101");
    MarkApplied("Office");
    Start();
    ASSERT_FALSE(editor.Removable());
    editor.ClearList();
    EXPECT_TRUE(editor.Names().empty());
    // A cancelled wizard: the list comes back, the profile in hand first.
    editor.Relist();
    EXPECT_EQ(editor.Names(), Names{"Office"});
    EXPECT_FALSE(editor.Removable());

    made.Location = "Lab";
    made.Switch = kNi1;
    made.Phone1 = "3125550142";
    made.SPID1 = "31255501420101";
    made.Port = "COM4";
    Store("Lab", made.Phone1, made.SPID1);
    editor.ClearList();
    editor.TakeNewProfile(made.Record());
    EXPECT_EQ(editor.Names(), (Names{"Lab", "Office"}));
    EXPECT_TRUE(editor.Removable());
    EXPECT_TRUE(editor.Modified()) << "the wizard did not apply it";
    EXPECT_FALSE(editor.Fields().terminal2);
    EXPECT_EQ(editor.Fields().Port, "COM4");

    MarkApplied("Lab");
    editor.TakeNewProfile(made.Record());
    EXPECT_FALSE(editor.Modified()) << "the wizard applied it";
}

// A store that cannot be read is told at each failure, and never makes the profile in
// hand read as not applied: Close does not ask on top of the failures.
TEST_F(ProfileEditorTest, AStoreFailureIsToldAndRaisesNoQuestion) {
    Store("Office", "2065550100", "20655501000101");
    MarkApplied("Office");
    Start();
    BreakStore();
    made.Location = "Lab";
    editor.TakeNewProfile(made.Record());
    EXPECT_EQ(view.Failures(), 2) << "the list, then the record of the applied profile";
    EXPECT_FALSE(editor.Modified());
    EXPECT_EQ(editor.Names(), Names{"Lab"});

    view.told.clear();
    EXPECT_FALSE(editor.Load("Office"));
    EXPECT_FALSE(editor.Select());
    EXPECT_FALSE(editor.Remove());
    EXPECT_FALSE(editor.ListProfiles());
    EXPECT_EQ(view.told, (Names{"failed", "failed", "failed", "failed", "failed"}));
    EXPECT_EQ(editor.Fields().Location, "Lab");
}

// A store that breaks while the page is open: each failure reaches the page with the store
// file and its error, and the fields keep what was shown rather than turning empty.
TEST_F(ProfileEditorTest, AStoreThatBreaksMidRunIsToldWithItsReason) {
    Store("Office", "2065550100", "20655501000101");
    Store("Home", "4255550199", "42555501990101");
    MarkApplied("Office");
    Start();
    view.told.clear();
    {
        StoreLock lock(hive);
        ASSERT_TRUE(lock.Held());
        EXPECT_FALSE(editor.Load("Home"));
        editor.Fields().Location = "Home";
        EXPECT_FALSE(editor.Select());
        EXPECT_FALSE(editor.Remove());
    }
    EXPECT_EQ(editor.Fields().SPID1, "20655501000101");
    ASSERT_EQ(view.reasons.size(), 4u) << "Load, Select's Load and record, Remove";
    for (const std::string& reason : view.reasons) {
        EXPECT_EQ(reason.rfind("Profile store " + store.Path() + ": ", 0), 0u) << reason;
    }
    EXPECT_EQ(store::ListProfileNames(hive).Value(), (Names{"Office", "Home"})) << "nothing lost";
}

// Apply sends exchange and line number only, saves the fields with the port the card is
// on, and from then on the profile is the applied one, also for the next Apply.
TEST_F(ProfileEditorTest, ApplyProgramsTheCardAndSavesTheFields) {
    Store("Office", "2065550100", "20655501000101");
    Store("Home", "4255550199", "42555501990101", "4255550198", "42555501980101");
    MarkApplied("Office");
    Start();
    editor.Fields().Location = "Home";
    ASSERT_TRUE(editor.Select());
    editor.SwitchTerminal2(false);
    EXPECT_TRUE(editor.Modified());
    EXPECT_TRUE(editor.Fields().SPID2.empty());
    editor.Fields().SPID1 = "42555501990102";
    editor.SetIdentificationLine(channel);
    LineEdit(channel)->port = "COM3";  // chosen on " General": the profile still says COM1
    editor.Fields().Port = "COM1";

    link::NoProgressWindow progress;
    summary::ApplyOutcome outcome =
        summary::ProgramCard(channel, progress, editor.ApplySettings(channel.Line().port), hive);
    ASSERT_EQ(outcome.result, link::CardConfigurationResult::Applied) << outcome.storeText;
    const Names& lines = card.Model().Lines();
    for (const char* line :
         {"AT!N1=\"5550199\"", "AT!C2=\"42555501990102\"", "AT!N2=\"\"", "AT!C6=\"\""}) {
        EXPECT_NE(std::find(lines.begin(), lines.end(), line), lines.end()) << line;
    }
    const store::Profile saved = store::ReadProfile("Home", hive).Value();
    EXPECT_EQ(saved.storedCount, 10u) << "terminal 2 is off";
    EXPECT_EQ(saved.At(store::kSpid1), "42555501990102");
    EXPECT_EQ(saved.At(store::kPort), "COM3");
    EXPECT_EQ(store::ActiveProfileName(hive).Value(), "Home");

    view.told.clear();
    editor.Applied(channel.Line().port);
    EXPECT_FALSE(editor.Modified());
    EXPECT_EQ(editor.Fields().Port, "COM3");
    EXPECT_EQ(view.told, Names{"port"});
    // What this editor saved is what it holds: the next Apply is no clash with itself.
    editor.Fields().SPID1 = "42555501990103";
    outcome =
        summary::ProgramCard(channel, progress, editor.ApplySettings(channel.Line().port), hive);
    EXPECT_EQ(outcome.result, link::CardConfigurationResult::Applied) << outcome.storeText;
    EXPECT_EQ(store::ReadProfile("Home", hive).Value().At(store::kSpid1), "42555501990103");
    EXPECT_TRUE(prompter.asked.empty());
}

// Another program's change made after the profile was read is never saved over.
TEST_F(ProfileEditorTest, ApplyKeepsAnotherProgramsChange) {
    Store("Office", "2065550100", "20655501000101");
    MarkApplied("Office");
    Start();
    editor.Fields().SPID1 = "20655501000102";
    Store("Office", "2065550100", "20655501007777");
    editor.SetIdentificationLine(channel);
    link::NoProgressWindow progress;
    const summary::ApplyOutcome outcome =
        summary::ProgramCard(channel, progress, editor.ApplySettings(channel.Line().port), hive);
    EXPECT_EQ(outcome.result, link::CardConfigurationResult::ProfileChanged);
    EXPECT_FALSE(outcome.storeText.empty());
    EXPECT_EQ(store::ReadProfile("Office", hive).Value().At(store::kSpid1), "20655501007777");
}

// The editor lists, reads, removes and Apply saves in the store it was handed; the default
// hive, holding a profile of its own, is neither read nor changed.
TEST_F(ProfileEditorTest, WorksOnlyOnTheStoreItIsHanded) {
    {
        store::RegistryKey key(store::HKEY_LOCAL_MACHINE, store::PccardPath());
        const store::Profile r{"Decoy", kNi1,   "3125550100", "31255501000101", "COM2", "115200",
                               "8",     "None", "1",          "Hardware",       "",     "",
                               false};
        ASSERT_TRUE(store::WriteProfile(key, r));
        ASSERT_TRUE(store::MarkProfileActive(key, "Decoy"));
    }
    const store::Profile decoy = store::ReadProfile("Decoy").Value();
    ASSERT_TRUE(decoy.Exists());
    Store("Office", "2065550100", "20655501000101");
    Store("Home", "4255550199", "42555501990101");
    Store("Lab", "3125550142", "31255501420101");
    MarkApplied("Office");
    Start();
    EXPECT_EQ(editor.Names(), (Names{"Office", "Home", "Lab"}));
    EXPECT_EQ(editor.Fields().Location, "Office");
    EXPECT_EQ(editor.Fields().SPID1, "20655501000101");

    editor.Fields().Location = "Home";
    ASSERT_TRUE(editor.Select());
    EXPECT_EQ(editor.Fields().SPID1, "42555501990101");
    EXPECT_TRUE(editor.Remove());
    EXPECT_EQ(store::ListProfileNames(hive).Value(), (Names{"Office", "Lab"}));

    // Saved under a name typed over the one read: Apply reads that profile afresh.
    editor.Fields().Location = "Lab";
    editor.Fields().SPID1 = "20655501000102";
    editor.SetIdentificationLine(channel);
    link::NoProgressWindow progress;
    const summary::ApplyOutcome outcome = summary::ProgramCard(
        channel, progress, editor.ApplySettings(channel.Line().port), editor.Store());
    ASSERT_EQ(outcome.result, link::CardConfigurationResult::Applied) << outcome.storeText;
    EXPECT_EQ(store::ReadProfile("Lab", hive).Value().At(store::kSpid1), "20655501000102");
    EXPECT_EQ(store::ActiveProfileName(hive).Value(), "Lab");
    EXPECT_EQ(view.Failures(), 0);

    EXPECT_EQ(store::ListProfileNames().Value(), Names{"Decoy"});
    EXPECT_EQ(store::ActiveProfileName().Value(), "Decoy");
    EXPECT_EQ(store::ReadProfile("Decoy").Value(), decoy);
}

TEST_F(ProfileEditorTest, SpidSuggestionAndDigitCheck) {
    editor.Text(summary::ProfileEditor::Field::Area1) = "555";
    editor.Text(summary::ProfileEditor::Field::Exchange1) = "123";
    editor.Text(summary::ProfileEditor::Field::Line1) = "4567";
    editor.Fields().SPID1 = "kept";
    editor.SuggestSpid(1);
    EXPECT_EQ(editor.Fields().SPID1, "kept") << "no switch type chosen";
    editor.Fields().Switch = kNi1;
    editor.SuggestSpid(1);
    EXPECT_EQ(editor.Fields().SPID1, "55512345670101");
    EXPECT_TRUE(editor.Fields().SPID2.empty()) << "terminal 2 untouched";

    EXPECT_EQ(ProfileEditor::FirstNonDigit(""), -1);
    EXPECT_EQ(ProfileEditor::FirstNonDigit("0123456789"), -1);
    EXPECT_EQ(ProfileEditor::FirstNonDigit("12 4"), 2) << "a blank left by the check fails again";
    EXPECT_EQ(ProfileEditor::FirstNonDigit("\xd9\xa3"), 0) << "digits of other scripts are not";
}

}  // namespace
}  // namespace zo::test
