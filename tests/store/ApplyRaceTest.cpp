// Two programs at work on one store: while one programs the card with a profile (about
// 13 s on the simulated card), the other removes the profile or imports new numbers for
// it. The first must neither bring the profile back nor undo the import.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "platform/registry/Hive.h"
#include "store/ProfileStore.h"
#include "support/ProgramRun.h"
#include "support/TestStore.h"

using namespace zo::store;

namespace {

Profile Record(const std::string& name, const std::string& spid) {
    return {name,         "National ISDN-1 (NI-1)",
            "2065550100", spid,
            "COM3",       "115200",
            "8",          "None",
            "1",          "Hardware",
            "",           "",
            false};
}

// Starts `apply Home` on the simulated card and returns once it is talking to the card,
// which is after it read the profile.
zo::test::Running StartApply(const zo::test::TestStore& store) {
    const std::string trace = store.Dir() + "/trace";
    zo::test::Running run =
        zo::test::StartProgram(std::string(ZO_CONFIG_BIN) + " --registry " + store.Path() +
                                   " --simulate --trace " + trace + " apply Home",
                               store.Dir());
    for (int i = 0; i < 400 && zo::test::Slurp(trace).find("AT") == std::string::npos; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return run;
}

std::string Bin(const zo::test::TestStore& store) {
    return std::string(ZO_CONFIG_BIN) + " --registry " + store.Path() + " ";
}

// A second program on the same store, its output kept apart from the first one's.
zo::test::Outcome RunBeside(const zo::test::TestStore& store, const std::string& command) {
    const std::string dir = store.Dir() + "/beside";
    ::mkdir(dir.c_str(), 0700);
    return zo::test::RunProgram(Bin(store) + command, dir);
}

}  // namespace

TEST(ApplyRace, AnotherProgramsRemovalAndImportSurviveAnApplyUnderWay) {
    // Both races run at once, each on a store of its own, to keep the wait to one apply.
    zo::test::TestStore removed;
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath());
    ASSERT_TRUE(WriteProfile(key, Record("Home", "20655501000101")));
    ASSERT_TRUE(WriteProfile(key, Record("Work", "20655502000101")));
    zo::test::Running applyRemoved = StartApply(removed);
    zo::test::Outcome removal = RunBeside(removed, "remove Home");

    zo::test::TestStore imported;
    ASSERT_TRUE(WriteProfile(key, Record("Home", "20655501000101")));
    const std::string file = imported.Dir() + "/new.reg";
    std::ofstream(file) << "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\Home]\n"
                           "\"SPID1\"=\"30655501000101\"\n";
    zo::test::Running applyImported = StartApply(imported);
    zo::test::Outcome import = RunBeside(imported, "import " + file);

    EXPECT_EQ(removal.code, 0) << removal.err;
    EXPECT_EQ(import.code, 0) << import.err;
    zo::test::Outcome first = zo::test::FinishProgram(applyRemoved);
    zo::test::Outcome second = zo::test::FinishProgram(applyImported);

    // The apply that lost its profile says so and writes nothing.
    EXPECT_EQ(first.code, 1) << first.out << first.err;
    EXPECT_NE(first.err.find("Another program removed or changed this profile"), std::string::npos)
        << first.err;
    zo::registry::SetDefaultHivePath(removed.Path());
    EXPECT_EQ(ListProfileNames().Value(), std::vector<std::string>{"Work"});
    EXPECT_EQ(ActiveProfileName().Value(), "");

    // The apply that read the old numbers leaves the imported ones in place.
    EXPECT_EQ(second.code, 1) << second.out << second.err;
    zo::registry::SetDefaultHivePath(imported.Path());
    EXPECT_EQ(ReadProfile("Home").Value().At(kSpid1), "30655501000101");
    EXPECT_EQ(ActiveProfileName().Value(), "");
}

// Without anyone in the way the same run records the profile, under its stored name.
TEST(ApplyRace, AnUndisturbedApplyRecordsTheProfileAsStored) {
    zo::test::TestStore store;
    RegistryKey key(HKEY_LOCAL_MACHINE, PccardPath());
    ASSERT_TRUE(WriteProfile(key, Record("Home", "20655501000101")));
    const Profile before = ReadProfile("Home").Value();
    zo::test::Outcome r = zo::test::RunProgram(Bin(store) + "--simulate apply HOME", store.Dir());
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ActiveProfileName().Value(), "Home");
    EXPECT_EQ(ReadProfile("Home").Value(), before) << "nothing edited, nothing rewritten";
}
