// Both programs as a user starts them: --help names everything they take, and anything
// they do not know ends with the usage and status 2.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/cli/Commands.h"
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
    std::vector<std::string> entries{"--registry FILE",   "--port COMn=PATH", "--trace FILE",
                                     "--simulate[=COMn]", "-h, --help",       "--version",
                                     "-style NAME"};
    // Every command of the table, with its operands.
    for (const auto& command : cli::CommandSynopses()) {
        entries.push_back(command.operands.empty() ? command.name
                                                   : command.name + " " + command.operands);
    }
    for (const std::string& entry : entries) {
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

// The reasons under a message come from the port, store, registry-file and simulated-card
// code; they speak the user's language too, while paths, names and typed values stay.
TEST_F(HelpTest, DetailsSpeakTheLanguageOfTheLocale) {
    auto inLanguage = [&](const std::string& language, const std::string& program,
                          const std::string& args) {
        return Run("env LANG=en_US.UTF-8 LANGUAGE=" + language + " XDG_CONFIG_HOME=" + store.Dir() +
                       " " + program,
                   args);
    };
    const std::string config = std::string(ZO_CONFIG_BIN) + " --registry " + store.Path();

    Outcome relative = inLanguage("fr", config, "port COM2=ttyUSB0");
    EXPECT_EQ(relative.code, 1);
    EXPECT_EQ(relative.err,
              "zo-config: COM2 n'a pas été modifié : ttyUSB0 : indiquez le périphérique par son "
              "chemin absolu, par exemple /dev/ttyUSB0\n");

    // A port whose device is not there: the system's error, then what to do about it.
    Outcome gone = inLanguage("fr",
                              std::string(ZO_CONFIG_BIN) + " --registry " + store.Path() +
                                  " --port COM1=" + store.Dir() + "/ttyGone",
                              "identify COM1");
    EXPECT_NE(gone.code, 0);
    EXPECT_NE(gone.err.find("COM1 sur " + store.Dir() + "/ttyGone: "), std::string::npos)
        << gone.err;
    EXPECT_NE(gone.err.find("\n  Le périphérique n'est pas là : un adaptateur série USB"),
              std::string::npos)
        << gone.err;

    // A port without a device is named once, whatever the language's punctuation.
    Outcome none = inLanguage("fr", config + " --simulate", "identify COM1");
    EXPECT_EQ(none.code, 4);
    EXPECT_NE(none.err.find("\n(COM1 : aucun périphérique pour ce port)\n"), std::string::npos)
        << none.err;

    const std::string notReg = store.Dir() + "/notes.reg";
    std::ofstream(notReg) << "hello\n";
    Outcome badFile = inLanguage("es", config, "import " + notReg);
    EXPECT_EQ(badFile.code, 1);
    EXPECT_NE(badFile.err.find("no es un archivo del registro (se esperaba «REGEDIT4» o «Windows "
                               "Registry Editor Version 5.00»)"),
              std::string::npos)
        << badFile.err;

    // A file that is not a store: the registry's failure detail; SQLite's own words stay.
    Outcome notStore =
        inLanguage("fr", std::string(ZO_CONFIG_BIN) + " --registry " + notReg, "profiles");
    EXPECT_EQ(notStore.code, 3);
    EXPECT_NE(
        notStore.err.find("(Stockage des profils " + notReg + ": impossible de lire le stockage: "),
        std::string::npos)
        << notStore.err;

    Outcome cardsimHelp = inLanguage("es", ZO_CARDSIM_BIN, "--help");
    EXPECT_EQ(cardsimHelp.out.rfind("Uso: zo-cardsim --link PATH", 0), 0u) << cardsimHelp.out;
    EXPECT_TRUE(Lists(cardsimHelp.out, "--fault NAME")) << cardsimHelp.out;
    EXPECT_NE(cardsimHelp.out.find("hangup[=N]"), std::string::npos) << cardsimHelp.out;
    Outcome badFault = inLanguage("fr", ZO_CARDSIM_BIN, "--link x --fault late");
    EXPECT_EQ(badFault.code, 2);
    EXPECT_EQ(badFault.err.rfind("zo-cardsim: la panne « late » demande la commande qu'elle vise "
                                 "(late=AT&W)\nUtilisation : zo-cardsim",
                                 0),
              0u)
        << badFault.err;
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
