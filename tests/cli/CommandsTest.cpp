#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>

#include <fstream>
#include <sstream>

#include "app/cli/Commands.h"
#include "app/cli/ExitCode.h"
#include "app/cli/Options.h"
#include "platform/registry/Hive.h"
#include "store/ProfileStore.h"
#include "support/ProgramRun.h"
#include "support/TestStore.h"

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
        zo::store::Profile r{name,         "National ISDN-1 (NI-1)",
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
    EXPECT_EQ(zo::store::ListProfileNames().Value(), std::vector<std::string>{"Office"});
}

TEST_F(CommandsTest, ImportErrorsNameTheLineAndChangeNothing) {
    Save("Office");
    const std::string file = store.Dir() + "/in.reg";
    std::ofstream(file) << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\New]\n"
                           "\"Location\"=\"New\"\n\"Count\"=dword:00000002\n";
    Outcome r = Command({"import", file});
    EXPECT_EQ(r.code, kExitRefused);
    EXPECT_NE(r.err.find(file + ":5:"), std::string::npos) << r.err;
    EXPECT_EQ(zo::store::ListProfileNames().Value(), std::vector<std::string>{"Office"});
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

// The operand counts the dispatch enforces are the ones --help shows: "NAME" is needed,
// "[FILE]" may be left out. Too many or too few stop before the command runs.
TEST(CommandLine, EveryCommandInTheHelpIsKnownAndTakesTheOperandsItShows) {
    zo::test::TestStore store;
    std::istringstream help(CommandHelp());
    std::string line;
    int commands = 0;
    while (std::getline(help, line)) {
        if (line.size() < 3 || line.compare(0, 2, "  ") != 0 || line[2] == ' ') {
            continue;
        }
        std::istringstream words(line.substr(2, line.find("  ", 2) - 2));
        std::string name, operand;
        words >> name;
        std::size_t needed = 0, most = 0;
        while (words >> operand) {
            ++most;
            needed += operand[0] == '[' ? 0 : 1;
        }
        ++commands;
        EXPECT_TRUE(IsKnownCommand(name)) << name;
        std::vector<std::string> args{name};
        args.resize(most + 2, "x");
        Outcome tooMany = Command(args);
        EXPECT_EQ(tooMany.code, kExitUsage) << name;
        EXPECT_NE(tooMany.err.find("wrong number of arguments for '" + name + "'"),
                  std::string::npos)
            << tooMany.err;
        EXPECT_TRUE(tooMany.out.empty()) << name;
        if (needed > 0) {
            args.resize(needed, "x");
            EXPECT_EQ(Command(args).code, kExitUsage) << name;
        }
    }
    EXPECT_EQ(commands, static_cast<int>(CommandSynopses().size()));
    EXPECT_FALSE(IsKnownCommand("frobnicate"));
    EXPECT_FALSE(IsKnownCommand(""));
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

// The command line keeps the store's rules: keys without values are no profiles, names
// typed in another case are the stored profile's.
TEST_F(CommandsTest, RemoveKeepsTheLastRealProfileAndItsRecordWhateverTheCase) {
    Save("Home");
    Save("Work");
    {
        zo::store::RegistryKey empty(zo::store::HKEY_LOCAL_MACHINE,
                                     zo::store::ProfilePath("Empty"));
    }
    zo::store::RegistryKey key(zo::store::HKEY_LOCAL_MACHINE, zo::store::PccardPath());
    ASSERT_TRUE(zo::store::MarkProfileActive(key, "Home"));
    EXPECT_EQ(Command({"profiles"}).out, "* Home\n  Work\n");
    Outcome removed = Command({"remove", "home"});
    EXPECT_EQ(removed.code, kExitOk) << removed.err;
    EXPECT_EQ(zo::store::ActiveProfileName().Value(), "")
        << "no record of a removed profile remains";
    Outcome last = Command({"remove", "WORK"});
    EXPECT_EQ(last.code, kExitRefused);
    EXPECT_NE(last.err.find("\"Work\" is the only stored profile"), std::string::npos) << last.err;
    EXPECT_EQ(zo::store::ListProfileNames().Value(), std::vector<std::string>{"Work"});
}

// Text from the store reaches the terminal as text: control characters are written out.
TEST_F(CommandsTest, ProfilesAndShowEscapeControlCharacters) {
    Save("Evil\x1b]0;owned\x07");
    Save("Plain \xC3\xA9");
    Outcome listed = Command({"profiles"});
    EXPECT_EQ(listed.out, "  Evil\\x1b]0;owned\\x07\n  Plain \xC3\xA9\n");
    Outcome shown = Command({"show", "Evil\x1b]0;owned\x07"});
    EXPECT_EQ(shown.code, kExitOk);
    EXPECT_EQ(shown.out.rfind("Location=Evil\\x1b]0;owned\\x07\n", 0), 0u) << shown.out;
    Outcome missing = Command({"show",
                               "No\x9b"
                               "body"});
    EXPECT_EQ(missing.err.find('\x9b'), std::string::npos);
}

namespace {

// Standard output on a full disk: every write fails.
struct FullBuffer : std::streambuf {
    int overflow(int) override { return traits_type::eof(); }
    std::streamsize xsputn(const char*, std::streamsize) override { return 0; }
};

}  // namespace

TEST_F(CommandsTest, OutputThatCannotBeWrittenIsAFailure) {
    Save("Home");
    for (auto args :
         std::vector<std::vector<std::string>>{{"profiles"}, {"show", "Home"}, {"export"}}) {
        FullBuffer full;
        std::ostream out(&full);
        std::ostringstream err;
        EXPECT_EQ(RunCommand(args, out, err), kExitRefused) << args[0];
        EXPECT_NE(err.str().find("cannot write the output"), std::string::npos) << args[0];
    }
    // The real program, with its output on a device that is always full.
    const std::string bin = ZO_CONFIG_BIN;
    for (const char* cmd : {"profiles", "show Home", "export"}) {
        zo::test::Outcome r = zo::test::RunProgram(
            "(" + bin + " --registry " + store.Path() + " " + cmd + " >/dev/full)", store.Dir());
        EXPECT_NE(r.code, 0) << cmd;
        EXPECT_NE(r.err.find("cannot write the output"), std::string::npos) << cmd << r.err;
    }
}

// The exit code says what failed: the file (1, with its line) or the store (3, message 114
// with the reason).
TEST_F(CommandsTest, ImportExitCodesComeFromWhatFailed) {
    Save("Home");
    const std::string file = store.Dir() + "/in.reg";
    std::ofstream(file) << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\Home\\Sub]\n";
    Outcome below = Command({"import", file});
    EXPECT_EQ(below.code, kExitRefused);
    EXPECT_NE(below.err.find(file + ":3: "), std::string::npos) << below.err;

    Outcome dir = Command({"import", store.Dir()});
    EXPECT_EQ(dir.code, kExitRefused);
    EXPECT_NE(dir.err.find("is a directory"), std::string::npos) << dir.err;

    // Another program holds the store's write lock for longer than this one waits.
    std::ofstream(file, std::ios::trunc)
        << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\Work]\n\"Location\"="
           "\"Work\"\n";
    zo::registry::Hive other(store.Path());
    zo::registry::Hive::Batch lock(other);
    ASSERT_TRUE(lock.Ok());
    zo::registry::DefaultHive().SetBusyTimeoutMs(50);
    Outcome busy = Command({"import", file});
    EXPECT_EQ(busy.code, kExitStore) << busy.err;
    EXPECT_EQ(
        busy.err.rfind(
            "Install has been unable to communicate with the registry.\nPlease try again.\n(", 0),
        0u)
        << busy.err;
    EXPECT_NE(busy.err.find("nothing was imported"), std::string::npos);
}

// Names that look alike on a terminal are told apart: a blank at either end or a
// character that shows as nothing puts the name in quotes with that character written
// out; `remove` says which stored profile went, in its stored spelling.
TEST_F(CommandsTest, NamesAreShownAsStoredAndTellApart) {
    Save("Home");
    Save("Home ");
    Save("Home\xE2\x80\x8B");  // a zero-width space
    Save("Caf\xC3\xA9 \"Ost\"");
    Outcome listed = Command({"profiles"});
    EXPECT_EQ(listed.out, "  Home\n  \"Home \"\n  \"Home\\u{200b}\"\n  Caf\xC3\xA9 \"Ost\"\n");

    Outcome removed = Command({"remove", "HOME"});
    EXPECT_EQ(removed.code, kExitOk) << removed.err;
    EXPECT_EQ(removed.out, "Removed \"Home\".\n");
    removed = Command({"remove", "home "});
    EXPECT_EQ(removed.out, "Removed \"Home \".\n");
    Outcome missing = Command({"remove", "Home\xC2\xA0"});
    EXPECT_NE(missing.err.find("no profile named \"Home\\u{a0}\""), std::string::npos)
        << missing.err;
}

// A store that holds a key name with a control character would export into a file that
// does not import (a line feed starts a new key line): the export is refused, naming it,
// and no file is written.
TEST_F(CommandsTest, ExportRefusesAKeyNameWithAControlCharacter) {
    Save("Home");
    Save("Off\rice");
    const std::string file = store.Dir() + "/out.reg";
    Outcome r = Command({"export", file});
    EXPECT_EQ(r.code, kExitRefused);
    EXPECT_NE(r.err.find("PCCARD\\Off\\x0dice"), std::string::npos) << r.err;
    EXPECT_TRUE(zo::test::Slurp(file).empty());
    EXPECT_EQ(Command({"export"}).code, kExitRefused);
}

// Help and a finished import are output too: on a full device the program says so and
// fails.
TEST_F(CommandsTest, HelpAndImportOnAFullDeviceFail) {
    const std::string file = store.Dir() + "/in.reg";
    std::ofstream(file) << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\Home]\n"
                           "\"Location\"=\"Home\"\n";
    const std::string bin = ZO_CONFIG_BIN;
    for (const std::string& cmd :
         std::vector<std::string>{"--help", "--version", "import " + file}) {
        zo::test::Outcome r = zo::test::RunProgram(
            "(" + bin + " --registry " + store.Path() + " " + cmd + " >/dev/full)", store.Dir());
        EXPECT_NE(r.code, 0) << cmd;
        EXPECT_NE(r.err.find("cannot write the output"), std::string::npos) << cmd << r.err;
    }
}

// With the store locked by another program for longer than the wait, a command waits
// once in all before message 114, not once for each of its reads and writes.
TEST_F(CommandsTest, ALockedStoreIsWaitedForOnceInAll) {
    Save("Home");
    Save("Office");
    const std::string file = store.Dir() + "/in.reg";
    std::ofstream(file) << "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\KEST\\PCCARD\\Work]\n"
                           "\"Location\"=\"Work\"\n";
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(store.Path().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const std::vector<std::vector<std::string>> commands{
        {"profiles"}, {"show", "Home"}, {"remove", "Home"}, {"export"}, {"import", file}};
    for (const auto& args : commands) {
        // Each command is a program of its own, with a hive of its own.
        zo::registry::SetDefaultHivePath(store.Path());
        zo::registry::DefaultHive().SetBusyTimeoutMs(1000);
        const auto start = std::chrono::steady_clock::now();
        Outcome r = Command(args);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(r.code, kExitStore) << args[0] << r.err;
        EXPECT_GE(waited, std::chrono::milliseconds(900)) << args[0];
        EXPECT_LT(waited, std::chrono::milliseconds(1800)) << args[0];
    }
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    zo::registry::SetDefaultHivePath(store.Path());
    EXPECT_EQ(zo::store::ListProfileNames().Value(), (std::vector<std::string>{"Home", "Office"}));
}
