#include "wizard/SpidSuggestion.h"

namespace zo::wizard {

std::optional<std::string> SuggestSpid(const std::string& switchType, const std::string& area,
                                       const std::string& exchange, const std::string& line) {
    if (switchType == "AT&T 5ESS Custom") {
        return "01" + exchange + line + "0";
    }
    if (switchType == "Northern Telecom (Nortel) DMS100 Custom") {
        return area + exchange + line + "01";
    }
    if (switchType == "National ISDN-1 (NI-1)") {
        return area + exchange + line + "0101";
    }
    return std::nullopt;
}

}  // namespace zo::wizard
