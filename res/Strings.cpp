#include "res/Strings.h"

#include <algorithm>
#include <array>
#include <map>
#include <mutex>
#include <utility>

#include "res/Translation.h"

namespace zo::res {
namespace {

struct Entry {
    int id;
    const char* text;
    // Not a message but a value the program stores, sends or matches (the switch types
    // kept in profiles, port and registry names, the card's name in its answers, the
    // default profile name): never translated.
    bool data = false;
};

constexpr Entry Data(int id, const char* text) {
    return {id, text, true};
}

constexpr std::array kTable{
    Data(102, "AT&T 5ESS Custom,National ISDN-1 (NI-1),Northern Telecom (Nortel) DMS100 Custom"),
    Entry{103, N_("A location is required.")},
    Entry{104, N_("This field requires a numeric entry. ")},
    Entry{105, N_("A complete telephone number is required.")},
    Entry{108,
          N_("The Kest Ferronix ZO!(tm) Card has not been configured.\nDo you wish to CANCEL?")},
    Entry{109,
          N_("Install has been unable to communicate with the COM port.\nPlease check your port "
             "settings and try again.")},
    Entry{110, N_("The write to the COM port failed.")},
    Entry{111, N_("The selected COM port is either not supported or\nis being used by another "
                  "device.\nSelect another port.")},
    Entry{
        112,
        N_("An entry for the SPID is required with a minimum length \nof 10  digits and a maximum "
           "of 20 digits.")},
    Entry{113, N_("Kest Ferronix ZO!(tm) Series Configuration")},
    Entry{114, N_("Install has been unable to communicate with the registry.\nPlease try again.")},
    Data(115, "COM4,COM3,COM2,COM1"),
    Entry{116, N_("The name entered is already in use.\nPlease enter a unique name.")},
    Data(117, "SOFTWARE\\KEST\\PCCARD\\"),
    Data(118, "My Office"),
    Data(120, "Ferronix ZO! Series"),
    Entry{121,
          N_("I have been unable to detect the Kest Ferronix ZO!(tm) Card.\nManually configure the "
             "port on which you believe\nthe Kest Ferronix ZO! PC Card exists.")},
    Data(122, "SOFTWARE\\KEST\\CURRENT\\"),
    Entry{125, N_("The information that you have entered for \" ")},
    Entry{
        126,
        N_("\" will now be saved, and optionally applied to your Kest Ferronix ZO!(tm) PC Card.")},
    Entry{127,
          N_("You may enter either an alpha-numeric,\nhowever use of alpha characters is rare.")},
    Entry{128, N_("The current profile ")},
    Entry{129,
          N_("  has not been applied to your\nKest Ferronix Zo!(tm) Series PC card.\n\nWould you "
             "like it applied now?")},
    Entry{130, N_("OLE Dll's not found or incorrect version.")},
    Entry{200, N_("The name entered cannot be used for a profile.\nA name may not contain a "
                  "backslash (\\) "
                  "and may be at most 255 characters long.")},
    Entry{201,
          N_("The card refused the command \"%1\".\nThe settings were not stored in the card, and "
             "the profile is not recorded as applied.")},
};

const Entry* Find(int id) {
    auto it =
        std::find_if(kTable.begin(), kTable.end(), [id](const Entry& e) { return e.id == id; });
    return it == kTable.end() ? nullptr : &*it;
}

}  // namespace

const std::string& LoadString(int id) {
    static const std::string empty;
    const Entry* e = Find(id);
    if (!e) {
        return empty;
    }
    // Materialised once per language so callers may keep references for the program's
    // lifetime; the language changes at start (and in tests).
    static std::mutex mutex;
    static std::map<std::pair<unsigned, int>, std::string> texts;
    const std::lock_guard<std::mutex> lock(mutex);
    const unsigned generation = e->data ? 0 : TranslationGeneration();
    auto [it, added] = texts.try_emplace({generation, id});
    if (added) {
        it->second = e->data ? e->text : Tr(e->text);
    }
    return it->second;
}

bool HasString(int id) {
    return Find(id) != nullptr;
}

}  // namespace zo::res
