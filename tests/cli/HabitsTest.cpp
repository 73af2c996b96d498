// The habits of command-line programs, held against the built programs: "-" for standard
// input and output, --version, Qt's own options, and a status of its own when the windows
// have no display.
#include <gtest/gtest.h>
#include <unistd.h>

#include "support/ProgramRun.h"
#include "support/TestStore.h"

namespace zo::test {
namespace {

constexpr const char* kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";

class HabitsTest : public ::testing::Test {
protected:
    // Runs zo-config on the test's store from its folder, after `before` (shell words that
    // come first: a redirection's source, env settings).
    Outcome Config(const std::string& args, const std::string& before = "") {
        return RunProgram("cd " + store.Dir() + " && " + before + ZO_CONFIG_BIN + " --registry " +
                              store.Path() + " " + args,
                          store.Dir());
    }

    TestStore store;
};

TEST_F(HabitsTest, ADashImportsStandardInputAndExportsToStandardOutput) {
    const std::string reg =
        "printf 'REGEDIT4\\r\\n\\r\\n[HKEY_LOCAL_MACHINE\\\\SOFTWARE\\\\KEST\\\\PCCARD\\\\Home]"
        "\\r\\n\"Location\"=\"Home\"\\r\\n' | ";
    Outcome in = Config("import -", reg);
    ASSERT_EQ(in.code, 0) << in.err;
    EXPECT_EQ(in.out, "Imported 1 keys and 1 values.\n");

    Outcome out = Config("export -");
    EXPECT_EQ(out.code, 0) << out.err;
    EXPECT_EQ(out.out, Config("export").out);
    EXPECT_NE(out.out.find("\"Location\"=\"Home\""), std::string::npos) << out.out;
    EXPECT_NE(::access((store.Dir() + "/-").c_str(), F_OK), 0) << "a file named - was written";

    // Faults in what came in are placed on standard input's lines, and change nothing.
    Outcome bad = Config("import -", "printf 'REGEDIT4\\n\\n[HKEY_CURRENT_USER\\\\X]\\n' | ");
    EXPECT_EQ(bad.code, 1);
    EXPECT_EQ(bad.err.rfind("zo-config: standard input:3: ", 0), 0u) << bad.err;
    Outcome directory = Config("import - <" + store.Dir());
    EXPECT_EQ(directory.code, 1);
    EXPECT_NE(directory.err.find("standard input: is a directory"), std::string::npos)
        << directory.err;
    EXPECT_EQ(Config("profiles").out, "  Home\n");
}

TEST_F(HabitsTest, BothProgramsTellTheirVersion) {
    Outcome config = Config("--version");
    ASSERT_EQ(config.code, 0);
    ASSERT_EQ(config.out.rfind("zo-config ", 0), 0u);
    Outcome cardsim = RunProgram(std::string(ZO_CARDSIM_BIN) + " --version", store.Dir());
    EXPECT_EQ(cardsim.code, 0) << cardsim.err;
    EXPECT_EQ(cardsim.out, "zo-cardsim " + config.out.substr(10));
    EXPECT_TRUE(cardsim.err.empty()) << cardsim.err;
}

// Qt takes its options from the command line as any Qt program does; -platform also
// names the display, so no DISPLAY is needed with it.
TEST_F(HabitsTest, QtsOwnOptionsReachTheWindows) {
    for (const char* qt : {"-platform offscreen -style Fusion -reverse",
                           "--platform offscreen -style=Fusion -qwindowtitle 'Z O'"}) {
        Outcome r = Config(qt, std::string(kNoDisplay) + "ZO_EXIT_AT_FIRST_PAINT=0 ");
        EXPECT_EQ(r.code, 0) << qt << "\n" << r.err;
        EXPECT_EQ(r.out.rfind("first-paint-ms ", 0), 0u) << qt << "\n" << r.out << r.err;
    }
    // Beside a command they change nothing.
    Outcome command = Config("-style Fusion profiles");
    EXPECT_EQ(command.code, 0) << command.err;
    // Only the forms Qt takes: a value is needed, and -platform=NAME is not Qt's.
    for (const char* bad : {"-style", "-platform=offscreen", "-stylo Fusion"}) {
        Outcome r = Config(bad);
        EXPECT_EQ(r.code, 2) << bad;
        EXPECT_NE(r.err.find("Usage: zo-config"), std::string::npos) << bad << r.err;
    }
}

// 1 means "refused"; a missing display has a status of its own, whether none is named,
// the named one does not answer, or the platform cannot be had.
TEST_F(HabitsTest, WindowsWithoutADisplayEndWithTheirOwnStatus) {
    Outcome none = Config("", kNoDisplay);
    EXPECT_EQ(none.code, 10) << none.err;
    EXPECT_NE(none.err.find("no display"), std::string::npos) << none.err;

    for (const char* named : {"DISPLAY=:64999 ", "QT_QPA_PLATFORM=nosuchplatform "}) {
        Outcome r = Config("", std::string(kNoDisplay) + named);
        EXPECT_EQ(r.code, 10) << named << r.err;
        EXPECT_NE(r.err.find("zo-config: the windows cannot be shown"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("Reinstalling"), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace zo::test
