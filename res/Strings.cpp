#include "res/Strings.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zo::res {
namespace {

struct Entry {
    int id;
    const char* text;
};

constexpr std::array kTable{
    Entry{102, "AT&T 5ESS Custom,National ISDN-1 (NI-1),Northern Telecom (Nortel) DMS100 Custom"},
    Entry{103, "A location is required."},
    Entry{104, "This field requires a numeric entry. "},
    Entry{105, "A complete telephone number is required."},
    Entry{108, "The Kest Ferronix ZO!(tm) Card has not been configured.\nDo you wish to CANCEL?"},
    Entry{109,
          "Install has been unable to communicate with the COM port.\nPlease check your port "
          "settings and try again."},
    Entry{110, "The write to the COM port failed."},
    Entry{111,
          "The selected COM port is either not supported or\nis being used by another "
          "device.\nSelect another port."},
    Entry{112,
          "An entry for the SPID is required with a minimum length \nof 10  digits and a maximum "
          "of 20 digits."},
    Entry{113, "Kest Ferronix ZO!(tm) Series Configuration"},
    Entry{114, "Install has been unable to communicate with the registry.\nPlease try again."},
    Entry{115, "COM4,COM3,COM2,COM1"},
    Entry{116, "The name entered is already in use.\nPlease enter a unique name."},
    Entry{117, "SOFTWARE\\KEST\\PCCARD\\"},
    Entry{118, "My Office"},
    Entry{120, "Ferronix ZO! Series"},
    Entry{121,
          "I have been unable to detect the Kest Ferronix ZO!(tm) Card.\nManually configure the "
          "port on which you believe\nthe Kest Ferronix ZO! PC Card exists."},
    Entry{122, "SOFTWARE\\KEST\\CURRENT\\"},
    Entry{125, "The information that you have entered for \" "},
    Entry{126,
          "\" will now be saved, and optionally applied to your Kest Ferronix ZO!(tm) PC Card."},
    Entry{127, "You may enter either an alpha-numeric,\nhowever use of alpha characters is rare."},
    Entry{128, "The current profile "},
    Entry{129,
          "  has not been applied to your\nKest Ferronix Zo!(tm) Series PC card.\n\nWould you "
          "like it applied now?"},
    Entry{130, "OLE Dll's not found or incorrect version."},
    Entry{200,
          "The name entered cannot be used for a profile.\nA name may not contain a backslash (\\) "
          "and may be at most 255 characters long."},
    Entry{201,
          "The card refused the command \"%1\".\nThe settings were not stored in the card, and "
          "the profile is not recorded as applied."},
};

const Entry* Find(int id) {
    auto it =
        std::find_if(kTable.begin(), kTable.end(), [id](const Entry& e) { return e.id == id; });
    return it == kTable.end() ? nullptr : &*it;
}

}  // namespace

const std::string& LoadString(int id) {
    // Materialised once so callers may keep references for the program's lifetime.
    static const std::array<std::string, kTable.size()> texts = [] {
        std::array<std::string, kTable.size()> out;
        for (std::size_t i = 0; i < kTable.size(); ++i) {
            out[i] = kTable[i].text;
        }
        return out;
    }();
    static const std::string empty;
    const Entry* e = Find(id);
    return e ? texts[static_cast<std::size_t>(e - kTable.data())] : empty;
}

bool HasString(int id) {
    return Find(id) != nullptr;
}

}  // namespace zo::res
