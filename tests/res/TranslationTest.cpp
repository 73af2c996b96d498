// The program's texts in the user's language: chosen from the environment as gettext
// chooses, looked up in the build tree's catalogues; the data in the string table stays.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "res/DialogTemplates.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "res/Translation.h"

namespace zo::res {
namespace {

class TranslationTest : public ::testing::Test {
protected:
    void SetUp() override { Use({}); }
    void TearDown() override { Use({}); }

    // The environment holds exactly these locale variables; the catalogues are taken up
    // for it.
    static void Use(const std::map<std::string, std::string>& vars) {
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            auto it = vars.find(name);
            if (it == vars.end()) {
                ::unsetenv(name);
            } else {
                ::setenv(name, it->second.c_str(), 1);
            }
        }
        UseTranslations(ZO_BUILD_LOCALE_DIR);
    }

    static std::string ControlText(int dialog, int control) {
        return FindDialogTemplate(dialog)->FindControl(control)->text;
    }
};

TEST_F(TranslationTest, LanguageComesFromTheEnvironmentAsGettextReadsIt) {
    auto languages = [](std::map<std::string, const char*> env) {
        return MessageLanguages([&](const char* name) {
            auto it = env.find(name);
            return it == env.end() ? nullptr : it->second;
        });
    };
    EXPECT_EQ(languages({}), "");
    EXPECT_EQ(languages({{"LANG", "fr_CA.UTF-8"}}), "fr_CA.UTF-8");
    EXPECT_EQ(languages({{"LANG", "fr_FR.UTF-8"}, {"LC_MESSAGES", "es_MX.UTF-8"}}), "es_MX.UTF-8");
    EXPECT_EQ(languages({{"LC_MESSAGES", "es_MX.UTF-8"}, {"LC_ALL", "fr_FR.UTF-8"}}),
              "fr_FR.UTF-8");
    EXPECT_EQ(languages({{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "es:fr"}}), "es:fr");
    // Empty variables count as unset; under the C locale LANGUAGE is not read.
    EXPECT_EQ(languages({{"LC_ALL", ""}, {"LANG", "es_ES.UTF-8"}}), "es_ES.UTF-8");
    EXPECT_EQ(languages({{"LANG", "C"}, {"LANGUAGE", "fr"}}), "");
    EXPECT_EQ(languages({{"LC_ALL", "POSIX"}, {"LANG", "fr_FR.UTF-8"}}), "");
}

TEST_F(TranslationTest, EveryRegionalVariantGetsItsLanguage) {
    const std::string english = LoadString(IDS_LOCATION_REQUIRED);
    EXPECT_EQ(english, "A location is required.");
    for (const char* locale : {"fr_FR.UTF-8", "fr_CA.UTF-8", "fr"}) {
        Use({{"LANG", locale}});
        EXPECT_EQ(LoadString(IDS_LOCATION_REQUIRED), "Un lieu est requis.") << locale;
    }
    for (const char* locale : {"es_MX.UTF-8", "es_ES.UTF-8"}) {
        Use({{"LANG", locale}});
        EXPECT_EQ(LoadString(IDS_LOCATION_REQUIRED), "Se requiere un lugar.") << locale;
    }
    Use({{"LANG", "de_DE.UTF-8"}});
    EXPECT_EQ(LoadString(IDS_LOCATION_REQUIRED), english);
    Use({{"LANG", "C.UTF-8"}, {"LANGUAGE", "fr"}});
    EXPECT_EQ(LoadString(IDS_LOCATION_REQUIRED), "Un lieu est requis.");
    Use({{"LANG", "C"}, {"LANGUAGE", "fr"}});
    EXPECT_EQ(LoadString(IDS_LOCATION_REQUIRED), english);
}

TEST_F(TranslationTest, MessagesAndTemplatesTranslateButDataStays) {
    const std::string switches = LoadString(IDS_SWITCH_TYPES);
    const DialogTemplate english = *FindDialogTemplate(IDD_CONFIGURE);
    const std::string& kept = LoadString(IDS_TITLE);

    Use({{"LC_ALL", "fr_FR.UTF-8"}});
    EXPECT_EQ(LoadString(IDS_CANCEL_QUESTION),
              "La carte Kest Ferronix ZO!(tm) n'a pas été configurée.\nVoulez-vous ANNULER ?");
    // Values stored in profiles and the registry, port names and the card's name in its
    // answers are the same in every language.
    EXPECT_EQ(LoadString(IDS_SWITCH_TYPES), switches);
    EXPECT_EQ(LoadString(IDS_PORT_LIST), "COM4,COM3,COM2,COM1");
    EXPECT_EQ(LoadString(IDS_PCCARD_PATH), "SOFTWARE\\KEST\\PCCARD\\");
    EXPECT_EQ(LoadString(IDS_CURRENT_PATH), "SOFTWARE\\KEST\\CURRENT\\");
    EXPECT_EQ(LoadString(IDS_CARD_IDENT), "Ferronix ZO! Series");
    EXPECT_EQ(LoadString(IDS_DEFAULT_LOCATION), "My Office");

    const DialogTemplate* french = FindDialogTemplate(IDD_CONFIGURE);
    EXPECT_EQ(french->caption, "Configurer");
    EXPECT_EQ(ControlText(IDD_CONFIGURE, IDC_CFG_NEW), "&Nouveau...");
    EXPECT_EQ(english.FindControl(IDC_CFG_AREA1)->name, "Area code 1");
    EXPECT_EQ(french->FindControl(IDC_CFG_AREA1)->name, "Indicatif régional 1");
    EXPECT_EQ(french->fontFace, english.fontFace);
    EXPECT_EQ(FindDialogTemplate(IDD_RAW_DATA)->fontFace, "Courier");
    EXPECT_EQ(ControlText(IDD_SERIAL, IDC_PORT_DEVICE_CHOOSE), "&Appareil...");

    // Texts handed out earlier stay valid and keep their language.
    EXPECT_EQ(kept, "Kest Ferronix ZO!(tm) Series Configuration");
    EXPECT_EQ(LoadString(IDS_TITLE), "Configuration Kest Ferronix ZO!(tm) Series");

    Use({{"LANG", "es_MX.UTF-8"}});
    EXPECT_EQ(ControlText(IDD_MISSING_CARD, IDC_SELECT_PORT), "&Otro puerto");
    Use({});
    EXPECT_EQ(ControlText(IDD_CONFIGURE, IDC_CFG_NEW), "&New...");
}

TEST(TranslationFill, PlaceholdersTakeTheirValuesInAnyOrder) {
    EXPECT_EQ(Fill("%2 est %1 (%1)", {"COM1", "/dev/ttyS0"}), "/dev/ttyS0 est COM1 (COM1)");
    // A value is never read for placeholders, and a number without a value stays.
    EXPECT_EQ(Fill("%1 and %3, 100%", {"%2", "x"}), "%2 and %3, 100%");
}

TEST(TranslationFolder, BuildTreeFirstThenBesideTheInstalledProgram) {
    namespace fs = std::filesystem;
    const fs::path build = fs::path(ZO_BUILD_LOCALE_DIR).parent_path();
    EXPECT_TRUE(
        fs::equivalent(CatalogueFolder((build / "zo-config").string()), ZO_BUILD_LOCALE_DIR));
    EXPECT_EQ(CatalogueFolder("/usr/bin/zo-config"), "/usr/share/locale");
}

}  // namespace
}  // namespace zo::res
