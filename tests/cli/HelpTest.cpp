// Both programs as a user starts them: --help names everything they take, and anything
// they do not know ends with the usage and status 2.
#include <gtest/gtest.h>

#include "support/ProgramRun.h"
#include "support/TestStore.h"

namespace zo::test {
namespace {

class HelpTest : public ::testing::Test {
protected:
    Outcome Run(const std::string& program, const std::string& args) {
        return RunProgram(program + " " + args, store.Dir());
    }
    // Whether `text` has a line that starts, after its indent, with `entry`.
    static bool Lists(const std::string& text, const std::string& entry) {
        return text.find("\n  " + entry + " ") != std::string::npos ||
               text.find("\n  " + entry + "\n") != std::string::npos;
    }

    TestStore store;
};

TEST_F(HelpTest, ConfigHelpListsEveryOptionAndCommand) {
    Outcome r = Run(ZO_CONFIG_BIN, "--help");
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.err.empty()) << r.err;
    for (const char* entry :
         {"--registry FILE", "--port COMn=PATH", "--trace FILE", "--simulate[=COMn]", "-h, --help",
          "--version", "-style NAME", "profiles", "show NAME", "remove NAME", "export [FILE]",
          "import FILE", "probe", "identify [COMn] [--raw]", "apply NAME"}) {
        EXPECT_TRUE(Lists(r.out, entry)) << entry << " missing from\n" << r.out;
    }
    EXPECT_EQ(Run(ZO_CONFIG_BIN, "-h").out, r.out);
}

TEST_F(HelpTest, ConfigRefusesWhatItDoesNotKnowWithUsage) {
    for (const char* args : {"--bogus", "--port COM9", "--simulate=ttyS0", "--registry"}) {
        Outcome r = Run(ZO_CONFIG_BIN, args);
        EXPECT_EQ(r.code, 2) << args;
        EXPECT_TRUE(r.out.empty()) << args;
        EXPECT_EQ(r.err.rfind("zo-config: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find("Usage: zo-config"), std::string::npos) << r.err;
    }
    Outcome r = Run(ZO_CONFIG_BIN, "--registry " + store.Path() + " frobnicate");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("unknown command 'frobnicate'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--help"), std::string::npos) << r.err;
}

TEST_F(HelpTest, CardsimHelpListsEveryOptionAndRefusesUnknownOnes) {
    Outcome r = Run(ZO_CARDSIM_BIN, "--help");
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.err.empty()) << r.err;
    for (const char* entry :
         {"--link PATH", "--nvram FILE", "--log FILE", "--fault NAME", "-h, --help", "--version"}) {
        EXPECT_TRUE(Lists(r.out, entry)) << entry << " missing from\n" << r.out;
    }
    EXPECT_NE(r.out.find("hangup[=N]"), std::string::npos) << "the fault names are listed";

    for (const char* args : {"--bogus", "--link", "--fault nonsense", ""}) {
        Outcome bad = Run(ZO_CARDSIM_BIN, args);
        EXPECT_EQ(bad.code, 2) << args;
        EXPECT_TRUE(bad.out.empty()) << args;
        EXPECT_EQ(bad.err.rfind("zo-cardsim: ", 0), 0u) << bad.err;
        EXPECT_NE(bad.err.find("Usage: zo-cardsim"), std::string::npos) << bad.err;
    }
}

}  // namespace
}  // namespace zo::test
