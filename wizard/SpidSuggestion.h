#pragma once

#include <optional>
#include <string>

namespace zo::wizard {

// The SPID proposed for a directory number typed as area code, exchange and line number,
// in the format of the switch type: "01" + exchange + line + "0" for AT&T 5ESS,
// area + exchange + line + "01" for DMS100, area + exchange + line + "0101" for NI-1.
// None for any other switch text.
std::optional<std::string> SuggestSpid(const std::string& switchType, const std::string& area,
                                       const std::string& exchange, const std::string& line);

}  // namespace zo::wizard
