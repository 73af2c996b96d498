#pragma once

#include <functional>
#include <string>
#include <vector>

// Marks a text kept in a table for the translators' catalogue; whoever shows it passes it
// through zo::res::Tr.
#define N_(text) text

namespace zo::res {

// The gettext domain of every text the program shows: <folder>/<language>/LC_MESSAGES/
// zo-config.mo.
inline constexpr const char* kTextDomain = "zo-config";

// `english` in the user's language: the catalogue's text, or `english` itself where no
// catalogue is in use or it has none. The result lives as long as the program.
// Any thread.
const char* Tr(const char* english);
inline std::string Tr(const std::string& english) {
    return Tr(english.c_str());
}

// `text` with "%1", "%2"... replaced by the values in order: translations may move them.
std::string Fill(std::string text, const std::vector<std::string>& values);

// The languages gettext looks catalogues up by, read from the environment as gettext
// reads it: LANGUAGE (a colon-separated list) unless the locale (LC_ALL, else
// LC_MESSAGES, else LANG) is C or POSIX, else the locale itself. Empty: English.
std::string MessageLanguages(const std::function<const char*(const char*)>& getenv);

// Where the catalogues are for the program at `executable`: the build tree's locale/
// beside it, else <prefix>/share/locale for <prefix>/bin, else the folder the package
// installs them in.
std::string CatalogueFolder(const std::string& executable);

// Makes Tr speak the environment's language from the catalogues in `folder`. Called at
// start before any other thread runs (it may set LANGUAGE, see the source); tests call
// it again after changing the environment.
void UseTranslations(const std::string& folder);

// UseTranslations with the catalogues of the running program (/proc/self/exe).
void UseProgramTranslations();

// How many times UseTranslations has run: tables of translated texts are rebuilt when it
// changes.
unsigned TranslationGeneration();

}  // namespace zo::res
