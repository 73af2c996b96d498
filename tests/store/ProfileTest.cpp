#include <gtest/gtest.h>

#include "store/AppliedSave.h"
#include "store/Profile.h"
#include "support/TestStore.h"

using namespace zo::store;

namespace {

using Values = std::vector<std::string>;

const Values kTerminal1{"Home",   "NI-1", "2065550100", "11", "COM3",
                        "115200", "8",    "None",       "1",  "Hardware"};

Values With(Values v, std::initializer_list<std::string> more) {
    v.insert(v.end(), more);
    return v;
}

}  // namespace

// Values read by position land in their members, and a profile writes back exactly the
// values it read when it holds ten or twelve.
TEST(ProfileValues, ReadByPositionAndWrittenInStoredOrder) {
    const Profile one = Profile::FromStored(kTerminal1);
    EXPECT_EQ(one.Location, "Home");
    EXPECT_EQ(one.Port, "COM3");
    EXPECT_EQ(one.Flow, "Hardware");
    EXPECT_FALSE(one.terminal2);
    EXPECT_EQ(one.Values(), kTerminal1);

    const Values twelve = With(kTerminal1, {"4255550199", "22"});
    const Profile two = Profile::FromStored(twelve);
    EXPECT_TRUE(two.terminal2);
    EXPECT_EQ(two.Phone2, "4255550199");
    EXPECT_EQ(two.SPID2, "22");
    EXPECT_EQ(two.Values(), twelve);

    // Eleven values: terminal 2 is in use, its SPID reads empty and is written.
    const Profile eleven = Profile::FromStored(With(kTerminal1, {"4255550199"}));
    EXPECT_TRUE(eleven.terminal2);
    EXPECT_EQ(eleven.Values(), With(kTerminal1, {"4255550199", ""}));
}

TEST(ProfileValues, TerminalTwoOffWritesTerminalOneOnly) {
    Profile p = Profile::FromStored(With(kTerminal1, {"4255550199", "22"}));
    p.terminal2 = false;
    EXPECT_EQ(p.Values(), kTerminal1);
}

TEST(ProfileValues, ShortAndLongProfilesKeepWhatWasStored) {
    const Profile none = Profile::FromStored({});
    EXPECT_FALSE(none.Exists());
    EXPECT_EQ(none.At(kLocation), "");

    const Profile extra = Profile::FromStored(With(kTerminal1, {"P2", "S2", "x", "y"}));
    EXPECT_EQ(extra.storedCount, 14u);
    EXPECT_EQ(extra.At(12), "x");
    EXPECT_EQ(extra.At(13), "y");
    EXPECT_EQ(extra.At(14), "");
}

// Two profiles read are equal exactly when the stored lists were: an empty value stored
// differs from one that is missing, and values past the known positions count.
TEST(ProfileValues, EqualityIsThatOfTheStoredLists) {
    Values nine(kTerminal1.begin(), kTerminal1.end() - 1);
    Values tenEmpty = nine;
    tenEmpty.push_back("");
    EXPECT_NE(Profile::FromStored(nine), Profile::FromStored(tenEmpty));
    EXPECT_NE(Profile::FromStored(With(kTerminal1, {"P2", "S2"})),
              Profile::FromStored(With(kTerminal1, {"P2", "S2", "x"})));
    EXPECT_NE(Profile::FromStored(With(kTerminal1, {"P2", "S2", "x"})),
              Profile::FromStored(With(kTerminal1, {"P2", "S2", "y"})));
    EXPECT_EQ(Profile::FromStored(kTerminal1), Profile::FromStored(kTerminal1));
}

// The check for another program's change made while the card was programmed sees a value
// added past the ones this program knows.
TEST(ProfileValues, AnAddedUnknownValueCountsAsAChangeMeanwhile) {
    zo::test::TestStore store;
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath());
    ASSERT_TRUE(WriteProfile(key, Profile::FromStored(With(kTerminal1, {"P2", "S2"}))));
    const Profile before = ReadProfile("Home").Value();
    RegistryKey raw(HKEY_LOCAL_MACHINE, ProfilePath("Home"));
    ASSERT_TRUE(raw.WriteValues({"Extra"}, {"theirs"}));
    ASSERT_EQ(ReadProfile("Home").Value().storedCount, 13u);
    Profile edited = before;
    edited.SPID1 = "99";
    EXPECT_EQ(SaveAppliedProfile({"Home", edited, before}).status, StoreStatus::Changed);
    EXPECT_EQ(ReadProfile("Home").Value().SPID1, "11");
}
