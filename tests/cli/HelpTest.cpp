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

// The program finds its catalogues in the build tree and speaks the locale's language;
// command and option names stay as typed. The machine need not have the locale itself.
TEST_F(HelpTest, ConfigSpeaksTheLanguageOfTheLocale) {
    auto inLocale = [&](const std::string& locale, const std::string& args) {
        return Run("env -u LANGUAGE -u LC_ALL -u LC_MESSAGES LANG=" + locale + " " + ZO_CONFIG_BIN,
                   args);
    };
    Outcome french = inLocale("fr_FR.UTF-8", "--help");
    EXPECT_EQ(french.code, 0);
    EXPECT_EQ(french.out.rfind("Utilisation : zo-config [OPTION]...", 0), 0u) << french.out;
    EXPECT_NE(french.out.find("\nCommandes :\n"), std::string::npos) << french.out;
    EXPECT_NE(french.out.find("Code de sortie : 0 succès"), std::string::npos) << french.out;
    EXPECT_TRUE(Lists(french.out, "apply NAME")) << french.out;
    EXPECT_TRUE(Lists(french.out, "--registry FILE")) << french.out;

    Outcome missing = inLocale("fr_CA.UTF-8", "--registry " + store.Path() + " show Nowhere");
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "zo-config: aucun profil nommé \"Nowhere\"\n");

    Outcome spanish = inLocale("es_MX.UTF-8", "--registry " + store.Path() + " frobnicate");
    EXPECT_EQ(spanish.code, 2);
    EXPECT_EQ(spanish.err,
              "zo-config: orden desconocida «frobnicate»\nPruebe «zo-config --help» para más "
              "información.\n");

    // A language without a catalogue, and no locale at all, give English.
    for (const std::string locale : {"de_DE.UTF-8", "C"}) {
        Outcome other = inLocale(locale, "--help");
        EXPECT_EQ(other.out.rfind("Usage: zo-config [OPTION]...", 0), 0u) << locale;
    }
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
