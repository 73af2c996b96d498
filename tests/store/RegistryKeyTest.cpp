#include <gtest/gtest.h>

#include "store/RegistryKey.h"
#include "support/TestStore.h"

using namespace zo::store;

TEST(RegistryKey, OpeningCreatesAndListingsReturnWhatWasWritten) {
    zo::test::TestStore store;
    RegistryKey key(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\PCCARD\\Probe");
    ASSERT_TRUE(key.IsOpen());
    EXPECT_STREQ(key.Path(), "SOFTWARE\\KEST\\PCCARD\\Probe");
    key.ReadValues();
    EXPECT_TRUE(key.Results().empty());

    std::vector<std::string> names{"Location", "Switch", "Empty"};
    std::vector<std::string> values{"Probe", std::string(5000, 's'), ""};
    EXPECT_TRUE(key.WriteValues(names, values));
    key.ReadValues();
    EXPECT_EQ(key.Results(), values);  // whole, in order, names dropped

    ASSERT_TRUE(key.Reopen(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\PCCARD\\"));
    key.ReadSubkeys();
    EXPECT_EQ(key.Results(), std::vector<std::string>{"Probe"});
}

TEST(RegistryKey, FailedOpenIsVisibleOnlyInMOpenAndEverythingOnItFails) {
    zo::test::TestStore store;
    RegistryKey key(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\PCCARD\\Keep");
    ASSERT_TRUE(key.WriteValues({"Kept"}, {"left alone"}));
    key.ReadValues();
    ASSERT_EQ(key.Results(), std::vector<std::string>{"left alone"});

    std::string tooLong(1024, 'x');
    EXPECT_FALSE(key.Reopen(HKEY_LOCAL_MACHINE, tooLong.c_str()));
    EXPECT_FALSE(key.IsOpen());
    key.ReadValues();
    EXPECT_EQ(key.Results(), std::vector<std::string>{"left alone"});
    EXPECT_FALSE(key.WriteValues({"a"}, {"b"}));
    EXPECT_FALSE(key.DeleteKey());

    // A bad name is refused whole, never split into nested keys.
    EXPECT_FALSE(key.Reopen(HKEY_LOCAL_MACHINE, "SOFTWARE\\\\KEST"));

    // Reopen after a failed open works like a fresh open.
    EXPECT_TRUE(key.Reopen(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\PCCARD\\Keep"));
    EXPECT_TRUE(key.WriteValues({"Location"}, {"Keep"}));
}

TEST(RegistryKey, OneFailedValueDoesNotStopTheOthers) {
    zo::test::TestStore store;
    RegistryKey key(HKEY_LOCAL_MACHINE, "K");
    EXPECT_FALSE(key.WriteValues({"a", std::string(256, 'n'), "c"}, {"1", "2", "3"}));
    key.ReadValues();
    EXPECT_EQ(key.Results(), (std::vector<std::string>{"1", "3"}));
    EXPECT_FALSE(key.WriteValues({"a", "b"}, {"only one"}));
}

TEST(RegistryKey, DeleteKeyRefusesAKeyWithSubkeys) {
    zo::test::TestStore store;
    RegistryKey child(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\PCCARD\\A");
    RegistryKey key(HKEY_LOCAL_MACHINE, "SOFTWARE\\KEST\\PCCARD\\");
    EXPECT_FALSE(key.DeleteKey());
    key.ReadSubkeys();
    EXPECT_EQ(key.Results().size(), 1u);
    EXPECT_TRUE(child.DeleteKey());
    key.ReadSubkeys();
    EXPECT_TRUE(key.Results().empty());
}
