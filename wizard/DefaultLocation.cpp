#include "wizard/DefaultLocation.h"

#include <algorithm>

namespace zo::wizard {
namespace {

bool AllDigits(const std::string& s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string WithoutLeadingZeros(const std::string& digits) {
    std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? "0" : digits.substr(first);
}

// Both without leading zeros: the longer is the greater, equal lengths compare as text.
bool Less(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::string PlusOne(std::string digits) {
    for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
        if (*it != '9') {
            ++*it;
            return digits;
        }
        *it = '0';
    }
    return "1" + digits;
}

}  // namespace

std::string DefaultLocationName(const std::string& stem, const std::vector<std::string>& names) {
    if (names.empty()) {
        return stem;
    }
    std::string highest;
    for (const std::string& name : names) {
        if (name.size() <= stem.size() || name.compare(0, stem.size(), stem) != 0) {
            continue;
        }
        std::string suffix = name.substr(stem.size());
        if (!AllDigits(suffix)) {
            continue;
        }
        suffix = WithoutLeadingZeros(suffix);
        if (highest.empty() || Less(highest, suffix)) {
            highest = suffix;
        }
    }
    return stem + (highest.empty() ? std::string("1") : PlusOne(highest));
}

}  // namespace zo::wizard
