#include "res/Translation.h"

#include <libintl.h>

#include <atomic>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifndef ZO_LOCALE_DIR
#define ZO_LOCALE_DIR "/usr/share/locale"
#endif

// gettext keeps the texts it has looked up until this count changes; a change of LANGUAGE
// alone does not change it (the gettext manual's way of switching languages at run time).
extern "C" int _nl_msg_cat_cntr;

namespace zo::res {
namespace {

std::atomic<unsigned> g_generation{0};
// Until UseTranslations, Tr answers English without asking gettext.
std::atomic<bool> g_inUse{false};

bool IsPlainC(const char* locale) {
    return locale == nullptr || std::strcmp(locale, "C") == 0 || std::strcmp(locale, "POSIX") == 0;
}

}  // namespace

const char* Tr(const char* english) {
    if (!g_inUse.load(std::memory_order_acquire) || english == nullptr || *english == '\0') {
        // An empty msgid would fetch the catalogue's header.
        return english;
    }
    return ::dgettext(kTextDomain, english);
}

std::string Fill(std::string text, const std::vector<std::string>& values) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const std::size_t n = static_cast<std::size_t>(text[i + 1] - '1');
            if (n < values.size()) {
                out += values[n];
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

std::string MessageLanguages(const std::function<const char*(const char*)>& getenv) {
    auto get = [&](const char* name) {
        const char* value = getenv(name);
        return value != nullptr && *value != '\0' ? value : nullptr;
    };
    const char* locale = get("LC_ALL");
    if (!locale) {
        locale = get("LC_MESSAGES");
    }
    if (!locale) {
        locale = get("LANG");
    }
    if (IsPlainC(locale)) {
        return {};
    }
    const char* languages = get("LANGUAGE");
    return languages ? languages : locale;
}

std::string CatalogueFolder(const std::string& executable) {
    namespace fs = std::filesystem;
    if (!executable.empty()) {
        const fs::path folder = fs::path(executable).parent_path();
        std::error_code ec;
        for (const fs::path& candidate :
             {folder / "locale", (folder / ".." / "share" / "locale").lexically_normal()}) {
            if (fs::is_directory(candidate, ec)) {
                return candidate.string();
            }
        }
    }
    return ZO_LOCALE_DIR;
}

void UseTranslations(const std::string& folder) {
    ::bindtextdomain(kTextDomain, folder.c_str());
    // Catalogues hand out UTF-8 whatever the character type in force, as Qt and the
    // terminal take it.
    ::bind_textdomain_codeset(kTextDomain, "UTF-8");
    const std::string languages = MessageLanguages(&std::getenv);
    if (IsPlainC(std::setlocale(LC_MESSAGES, "")) && !languages.empty()) {
        // The user's locale is not generated on this machine. gettext still follows
        // LANGUAGE under a locale other than C, so the messages keep the user's language.
        ::setenv("LANGUAGE", languages.c_str(), 1);
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    }
    ++_nl_msg_cat_cntr;
    g_generation.fetch_add(1, std::memory_order_acq_rel);
    g_inUse.store(true, std::memory_order_release);
}

void UseProgramTranslations() {
    std::error_code ec;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", ec);
    UseTranslations(CatalogueFolder(ec ? std::string() : executable.string()));
}

unsigned TranslationGeneration() {
    return g_generation.load(std::memory_order_acquire);
}

}  // namespace zo::res
