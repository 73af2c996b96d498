#pragma once

#include <string>
#include <vector>

namespace zo::wizard {

// The name the location page proposes: the stem alone when no profile exists, otherwise
// the stem followed by one more than the greatest all-digit suffix among the names that
// begin with it (case-sensitive), or by "1" when none has such a suffix. Suffixes of any
// length count by value; nothing overflows.
std::string DefaultLocationName(const std::string& stem, const std::vector<std::string>& names);

}  // namespace zo::wizard
