#include <gtest/gtest.h>

#include "platform/registry/Hive.h"
#include "store/AppliedSave.h"
#include "support/TestStore.h"

using namespace zo::store;

namespace {

Profile Record(const std::string& name, const std::string& spid, bool terminal2 = false) {
    return {name,         "National ISDN-1 (NI-1)",
            "2065550100", spid,
            "COM3",       "115200",
            "8",          "None",
            "1",          "Hardware",
            "2065550111", "22",
            terminal2};
}

class AppliedSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteProfile(key, Record("Home", "11")));
        ASSERT_TRUE(WriteProfile(key, Record("Work", "33")));
        ASSERT_TRUE(MarkProfileActive(key, "Work"));
    }
    zo::test::TestStore store;
    RegistryKey key{HKEY_LOCAL_MACHINE, PccardPath()};
};

}  // namespace

// What was read before the card was programmed decides: another program's removal or
// change since then is never undone, and nothing of this program's is written.
TEST_F(AppliedSaveTest, RefusesWhenTheProfileVanishedOrChangedMeanwhile) {
    const Profile before = ReadProfile("Home").Value();
    ASSERT_TRUE(WriteProfile(key, Record("Home", "99")));
    StoreResult changed = SaveAppliedProfile({"Home", Record("Home", "12"), before});
    EXPECT_EQ(changed.status, StoreStatus::Changed);
    EXPECT_NE(changed.text.find("changed"), std::string::npos) << changed.text;
    EXPECT_EQ(ReadProfile("Home").Value().At(kSpid1), "99");
    EXPECT_EQ(ActiveProfileName().Value(), "Work");

    const Profile now = ReadProfile("Home").Value();
    ASSERT_TRUE(RemoveProfile("Home").Ok());
    StoreResult vanished = SaveAppliedProfile({"Home", std::nullopt, now});
    EXPECT_EQ(vanished.status, StoreStatus::Changed);
    EXPECT_NE(vanished.text.find("removed"), std::string::npos) << vanished.text;
    EXPECT_EQ(ListProfileNames().Value(), std::vector<std::string>{"Work"}) << "not brought back";
    EXPECT_EQ(ActiveProfileName().Value(), "Work");
}

TEST_F(AppliedSaveTest, SavesAndRecordsTogetherUnderTheStoredName) {
    const Profile before = ReadProfile("Home").Value();
    Profile edited = Record("HOME", "12", true);
    ASSERT_TRUE(SaveAppliedProfile({"home", edited, before}).Ok());
    EXPECT_EQ(ActiveProfileName().Value(), "Home");
    const Profile after = ReadProfile("Home").Value();
    EXPECT_EQ(after.At(kLocation), "Home") << "the stored spelling is kept";
    EXPECT_EQ(after.At(kSpid1), "12");
    EXPECT_EQ(after.At(kSpid2), "22");
    EXPECT_EQ(ListProfileNames().Value(), (std::vector<std::string>{"Home", "Work"}));

    // Nothing to save: only the record moves.
    ASSERT_TRUE(SaveAppliedProfile({"Work", std::nullopt, ReadProfile("Work").Value()}).Ok());
    EXPECT_EQ(ActiveProfileName().Value(), "Work");
    EXPECT_EQ(SaveAppliedProfile({"Nobody", std::nullopt, std::nullopt}).status,
              StoreStatus::NotFound);
}

// The wizard's new profile: saved whatever the store holds, but never recorded as applied
// unless the save itself landed.
TEST_F(AppliedSaveTest, ANewProfileIsRecordedOnlyWithItsSave) {
    ASSERT_TRUE(SaveAppliedProfile({"Cabin", Record("Cabin", "44"), std::nullopt}).Ok());
    EXPECT_EQ(ActiveProfileName().Value(), "Cabin");
    EXPECT_EQ(ReadProfile("Cabin").Value().At(kSpid1), "44");

    // Another program holds the store: neither the save nor the record lands.
    zo::registry::Hive other(store.Path());
    zo::registry::Hive::Batch lock(other);
    ASSERT_TRUE(lock.Ok());
    zo::registry::DefaultHive().SetBusyTimeoutMs(50);
    StoreResult busy = SaveAppliedProfile({"Lake", Record("Lake", "55"), std::nullopt});
    EXPECT_EQ(busy.status, StoreStatus::Failed);
    EXPECT_NE(busy.text.find(store.Path()), std::string::npos) << busy.text;
    EXPECT_EQ(ActiveProfileName().Value(), "Cabin");
    EXPECT_FALSE(ReadProfile("Lake").Value().Exists());
    EXPECT_EQ(SaveAppliedProfile({"A\\B", Record("A\\B", "1"), std::nullopt}).status,
              StoreStatus::Invalid);
}
