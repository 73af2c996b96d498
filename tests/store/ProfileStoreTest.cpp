#include <gtest/gtest.h>

#include "link/WorkingProfile.h"
#include "store/ProfileStore.h"
#include "support/StoreLock.h"
#include "support/TestStore.h"

using namespace zo::store;

namespace {

Profile Record(const std::string& name, bool terminal2) {
    return {
        name, "AT&T 5ESS Custom", "5551234567", "01555123456700", "COM3",   "38400", "8", "None",
        "1",  "Hardware",         "5559876543", "0155598765430",  terminal2};
}

class ProfileStoreTest : public ::testing::Test {
protected:
    zo::test::TestStore store;
    RegistryKey key{HKEY_LOCAL_MACHINE, PccardPath()};
};

}  // namespace

TEST_F(ProfileStoreTest, FreshStoreIsAFirstStartAndCreatesTheCurrentKey) {
    EXPECT_TRUE(IsFirstStart().Value());
    RegistryKey current(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST");
    current.ReadSubkeys();
    EXPECT_EQ(current.Results(), (std::vector<std::string>{"PCCARD", "CURRENT"}));
    EXPECT_EQ(ActiveProfileName().Value(), "");
}

TEST_F(ProfileStoreTest, ValuesAreStoredInTheirFixedOrderAndReadBackByPosition) {
    ASSERT_TRUE(WriteProfile(key, Record("Home", true)));
    Profile p = ReadProfile("Home").Value();
    ASSERT_EQ(p.storedCount, 12u);
    EXPECT_EQ(p.At(kLocation), "Home");
    EXPECT_EQ(p.At(kPort), "COM3");
    EXPECT_EQ(p.At(kFlow), "Hardware");
    EXPECT_EQ(p.At(kPhone2), "5559876543");
    EXPECT_TRUE(p.HasTerminal2());
    EXPECT_EQ(ReadProfile("home").Value(), p);
    EXPECT_FALSE(ReadProfile("Elsewhere").Value().Exists());
    EXPECT_FALSE(ReadProfile("").Value().Exists());
}

TEST_F(ProfileStoreTest, SavingWithoutTerminal2RemovesItsStaleNumbers) {
    ASSERT_TRUE(WriteProfile(key, Record("Home", true)));
    auto r = Record("Home", false);
    r.Switch = "National ISDN-1 (NI-1)";
    ASSERT_TRUE(WriteProfile(key, r));
    Profile p = ReadProfile("Home").Value();
    EXPECT_EQ(p.storedCount, 10u);
    EXPECT_FALSE(p.HasTerminal2());
    EXPECT_EQ(p.At(kSwitch), "National ISDN-1 (NI-1)");
    EXPECT_EQ(p.At(kPhone2), "");
    // Turning terminal 2 on again puts the numbers back at positions 10 and 11.
    ASSERT_TRUE(WriteProfile(key, Record("Home", true)));
    EXPECT_EQ(ReadProfile("Home").Value().At(kSpid2), "0155598765430");
}

TEST_F(ProfileStoreTest, ShortProfileReadsWithMissingPositionsEmpty) {
    RegistryKey k(HKEY_LOCAL_MACHINE, ProfilePath("Short"));
    ASSERT_TRUE(k.WriteValues({"Location", "Switch", "Phone1"}, {"Short", "S", "123"}));
    Profile p = ReadProfile("Short").Value();
    EXPECT_EQ(p.At(kPhone1), "123");
    EXPECT_EQ(p.At(kSpid1), "");
    EXPECT_EQ(p.At(kSpid2), "");
    EXPECT_EQ(p.At(1000), "");
}

TEST_F(ProfileStoreTest, NamesThatAreNotOneKeyAreRefused) {
    EXPECT_FALSE(IsStorableName(""));
    EXPECT_FALSE(IsStorableName("a\\b"));
    EXPECT_FALSE(IsStorableName(std::string(256, 'x')));
    EXPECT_TRUE(IsStorableName(std::string(255, 'x')));
    EXPECT_FALSE(WriteProfile(key, Record("Office\\Nested", false)));
    EXPECT_TRUE(ListProfileNames().Value().empty());
}

TEST_F(ProfileStoreTest, MarkingActiveKeepsExactlyOneCurrentSubkey) {
    ASSERT_TRUE(WriteProfile(key, Record("One", false)));
    ASSERT_TRUE(WriteProfile(key, Record("Two", false)));
    ASSERT_TRUE(MarkProfileActive(key, "One"));
    ASSERT_TRUE(MarkProfileActive(key, "Two"));
    EXPECT_STREQ(key.Path(), "SOFTWARE\\KEST\\CURRENT\\Two");
    EXPECT_EQ(ActiveProfileName().Value(), "Two");
    EXPECT_TRUE(IsActiveProfile("Two").Value());
    EXPECT_TRUE(IsActiveProfile("two").Value());  // names compare as the store compares keys
    EXPECT_FALSE(IsFirstStart().Value());
    RegistryKey current(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\CURRENT");
    current.ReadSubkeys();
    EXPECT_EQ(current.Results(), std::vector<std::string>{"Two"});
    current.Reopen(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\CURRENT\\Two");
    current.ReadValues();
    EXPECT_TRUE(current.Results().empty());
}

// Which keys are profiles, which one is applied, the last-profile rule and names typed in
// another case: one rule, whoever asks.
TEST_F(ProfileStoreTest, RemoveFollowsTheStoresOwnRulesForNamesAndTheLastProfile) {
    ASSERT_TRUE(WriteProfile(key, Record("One", false)));
    ASSERT_TRUE(WriteProfile(key, Record("Two", false)));
    { RegistryKey ghost(HKEY_LOCAL_MACHINE, ProfilePath("Ghost")); }
    ASSERT_TRUE(MarkProfileActive(key, "Two"));
    EXPECT_EQ(ListProfileNames().Value(), (std::vector<std::string>{"One", "Two"}))
        << "no values, no profile";
    EXPECT_EQ(StoredProfileName("tWO").Value(), "Two");
    EXPECT_EQ(StoredProfileName("Ghost").Value(), "");
    EXPECT_EQ(RemoveProfile("Nobody").status, StoreStatus::NotFound);
    EXPECT_EQ(RemoveProfile("").status, StoreStatus::NotFound);
    EXPECT_EQ(RemoveProfile("Ghost").status, StoreStatus::NotFound);
    EXPECT_EQ(RemoveProfile("two").status, StoreStatus::Ok);
    EXPECT_EQ(ActiveProfileName().Value(), "")
        << "the record goes whatever case the name was typed in";
    EXPECT_TRUE(IsFirstStart().Value());
    // An empty key beside it does not make "One" any less the last profile.
    StoreResult last = RemoveProfile("ONE");
    EXPECT_EQ(last.status, StoreStatus::LastProfile);
    EXPECT_NE(last.text.find("\"One\""), std::string::npos) << last.text;
    EXPECT_EQ(ListProfileNames().Value(), std::vector<std::string>{"One"});
}

// A store that breaks while the program runs answers with its reason, never with "no
// profile", "none applied" or "first start"; what it holds is there again afterwards.
TEST_F(ProfileStoreTest, AStoreThatCannotBeReadGivesItsReasonNotAnEmptyAnswer) {
    ASSERT_TRUE(WriteProfile(key, Record("Home", false)));
    ASSERT_TRUE(MarkProfileActive(key, "Home"));
    {
        zo::test::StoreLock lock(store.Path());
        ASSERT_TRUE(lock.Held());
        const std::vector<std::pair<const char*, StoreResult>> answers{
            {"list", ListProfileNames().Result()},
            {"stored name", StoredProfileName("home").Result()},
            {"read", ReadProfile("Home").Result()},
            {"active", ActiveProfileName().Result()},
            {"is active", IsActiveProfile("Home").Result()},
            {"first start", IsFirstStart().Result()},
            {"write", WriteProfile(key, Record("Home", true))},
            {"mark", MarkProfileActive(key, "Home")},
            {"key read", key.ReadSubkeys()},
        };
        for (const auto& [what, r] : answers) {
            EXPECT_EQ(r.status, StoreStatus::Failed) << what;
            EXPECT_EQ(r.text.rfind("Profile store " + store.Path() + ": ", 0), 0u)
                << what << ": " << r.text;
        }
    }
    EXPECT_EQ(ReadProfile("Home").Value().storedCount, 10u);
    EXPECT_EQ(ActiveProfileName().Value(), "Home");
}

TEST(WorkingProfile, StartsEmptyAndBecomesARecord) {
    zo::link::WorkingProfile working;
    EXPECT_EQ(working.Location, "");
    EXPECT_EQ(working.Flow, "");
    EXPECT_EQ(working.TerminalCount, 0);
    EXPECT_FALSE(working.AutoDetect);
    EXPECT_EQ(working.ParityCode, 0);
    EXPECT_EQ(working.StopBitsCode, 0);
    working.Location = "L";
    working.TerminalCount = 2;
    working.Phone2 = "5550001111";
    Profile r = working.Record();
    EXPECT_EQ(r.Location, "L");
    EXPECT_TRUE(r.terminal2);
    EXPECT_EQ(r.Phone2, "5550001111");
}
