#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "TestStore.h"
#include "app/cli/Commands.h"
#include "app/cli/Options.h"
#include "store/ProfileStore.h"

using namespace zo::cli;

namespace {

struct Outcome {
    int code;
    std::string out, err;
};

Outcome Command(std::vector<std::string> args) {
    std::ostringstream out, err;
    int code = RunCommand(args, out, err);
    return {code, out.str(), err.str()};
}

class CommandsTest : public ::testing::Test {
protected:
    void Save(const std::string& name, bool terminal2 = false) {
        zo::store::RegistryKey key(zo::store::HKEY_LOCAL_MACHINE, zo::store::PccardPath());
        zo::store::ProfileRecord r{name,         "National ISDN-1 (NI-1)",
                                   "5551234567", "55512345670101",
                                   "COM4",       "115200",
                                   "8",          "None",
                                   "1",          "Hardware",
                                   "5550000000", "55500000000101",
                                   terminal2};
        ASSERT_TRUE(zo::store::WriteProfile(key, r));
    }
    zo::test::TestStore store;
};

}  // namespace

TEST_F(CommandsTest, ProfilesMarksTheCurrentOneAndSkipsEmptyKeys) {
    Save("Office");
    Save("Home");
    zo::store::RegistryKey key(zo::store::HKEY_LOCAL_MACHINE, zo::store::ProfilePath("Empty"));
    zo::store::MarkProfileActive(key, "Home");
    Outcome r = Command({"profiles"});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.out, "  Office\n* Home\n");
}

TEST_F(CommandsTest, ShowPrintsValuesInStoredOrderOrRefuses) {
    Save("Office", true);
    Outcome r = Command({"show", "office"});
    EXPECT_EQ(r.code, kExitOk);
    EXPECT_EQ(r.out.rfind("Location=Office\nSwitch=National ISDN-1 (NI-1)\nPhone1=5551234567\n", 0),
              0u);
    EXPECT_NE(r.out.find("Flow=Hardware\nPhone2=5550000000\nSPID2=55500000000101\n"),
              std::string::npos);
    zo::store::RegistryKey empty(zo::store::HKEY_LOCAL_MACHINE, zo::store::ProfilePath("Empty"));
    for (const char* name : {"Nobody", "Empty", "", "a\\b"}) {
        Outcome missing = Command({"show", name});
        EXPECT_EQ(missing.code, kExitRefused) << name;
        EXPECT_NE(missing.err.find("no profile"), std::string::npos);
    }
}

TEST_F(CommandsTest, RemoveRefusesTheLastProfile) {
    Save("Office");
    Save("Home");
    EXPECT_EQ(Command({"remove", "Home"}).code, kExitOk);
    Outcome last = Command({"remove", "Office"});
    EXPECT_EQ(last.code, kExitRefused);
    EXPECT_EQ(Command({"remove", "Home"}).code, kExitRefused);
    EXPECT_EQ(zo::store::ListProfileNames(), std::vector<std::string>{"Office"});
}

TEST_F(CommandsTest, ImportErrorsNameTheLineAndChangeNothing) {
    Save("Office");
    const std::string file = store.Dir() + "/in.reg";
    std::ofstream(file) << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\New]\n"
                           "\"Location\"=\"New\"\n\"Count\"=dword:00000002\n";
    Outcome r = Command({"import", file});
    EXPECT_EQ(r.code, kExitRefused);
    EXPECT_NE(r.err.find(file + ":5:"), std::string::npos) << r.err;
    EXPECT_EQ(zo::store::ListProfileNames(), std::vector<std::string>{"Office"});
    EXPECT_EQ(Command({"import", store.Dir() + "/missing.reg"}).code, kExitRefused);
}

TEST_F(CommandsTest, ExportToFileRoundTrips) {
    Save("Office", true);
    const std::string file = store.Dir() + "/out.reg";
    ASSERT_EQ(Command({"export", file}).code, kExitOk);
    Outcome stdoutExport = Command({"export"});
    std::ifstream in(file);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text, stdoutExport.out);
    EXPECT_NE(text.find("\"SPID2\"=\"55500000000101\""), std::string::npos);
}

TEST_F(CommandsTest, DamagedStoreReportsTheRegistryMessage) {
    std::ofstream(store.Path(), std::ios::trunc) << std::string(4096, '\x7f');
    zo::registry::SetDefaultHivePath(store.Path());
    for (auto args :
         std::vector<std::vector<std::string>>{{"profiles"}, {"show", "x"}, {"export"}}) {
        Outcome r = Command(args);
        EXPECT_EQ(r.code, kExitStore) << args[0];
        EXPECT_EQ(
            r.err.rfind(
                "Install has been unable to communicate with the registry.\nPlease try again.\n",
                0),
            0u);
    }
}

TEST(CommandLine, UsageErrorsExitTwo) {
    zo::test::TestStore store;
    EXPECT_EQ(Command({"frobnicate"}).code, kExitUsage);
    EXPECT_EQ(Command({"show"}).code, kExitUsage);
    EXPECT_EQ(Command({"profiles", "extra"}).code, kExitUsage);
    Options o;
    std::string error;
    EXPECT_FALSE(ParseOptions({"--bogus"}, &o, &error));
    EXPECT_FALSE(ParseOptions({"--registry"}, &o, &error));
    EXPECT_FALSE(ParseOptions({"--port", "COM5"}, &o, &error));
    ASSERT_TRUE(ParseOptions({"--registry=/r", "--port", "COM2=/dev/pts/3", "--simulate=COM3",
                              "show", "--not-an-option"},
                             &o, &error));
    EXPECT_EQ(o.registryPath, "/r");
    EXPECT_EQ(o.portMap.at(0).second, "/dev/pts/3");
    EXPECT_EQ(o.simulatePort, "COM3");
    EXPECT_EQ(o.command, (std::vector<std::string>{"show", "--not-an-option"}));
}

TEST_F(CommandsTest, RegistryMessageIsFollowedByTheStoreFileAndItsError) {
    std::ofstream(store.Path(), std::ios::trunc) << std::string(4096, '\x7f');
    zo::registry::SetDefaultHivePath(store.Path());
    Outcome r = Command({"profiles"});
    EXPECT_EQ(r.code, kExitStore);
    const std::string detail = "\n(Profile store " + store.Path() + ": ";
    EXPECT_NE(r.err.find(detail), std::string::npos) << r.err;
}
