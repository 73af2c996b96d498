#include "store/Profile.h"

#include <utility>

namespace zo::store {
namespace {

// The member at each stored position.
constexpr std::array<std::string Profile::*, kProfileValueNames.size()> kMembers{
    &Profile::Location, &Profile::Switch, &Profile::Phone1, &Profile::SPID1,
    &Profile::Port,     &Profile::Baud,   &Profile::Bits,   &Profile::Parity,
    &Profile::Stop,     &Profile::Flow,   &Profile::Phone2, &Profile::SPID2};

}  // namespace

Profile Profile::FromStored(std::vector<std::string> values) {
    Profile p;
    p.storedCount = values.size();
    p.terminal2 = values.size() > kTerminal1Values;
    for (std::size_t pos = 0; pos < values.size(); ++pos) {
        if (pos < kMembers.size()) {
            p.*kMembers[pos] = std::move(values[pos]);
        } else {
            p.beyond.push_back(std::move(values[pos]));
        }
    }
    return p;
}

std::vector<std::string> Profile::Values() const {
    const std::size_t count = terminal2 ? kMembers.size() : kTerminal1Values;
    std::vector<std::string> values;
    values.reserve(count);
    for (std::size_t pos = 0; pos < count; ++pos) {
        values.push_back(this->*kMembers[pos]);
    }
    return values;
}

const std::string& Profile::At(std::size_t pos) const {
    static const std::string empty;
    if (pos < kMembers.size()) {
        return this->*kMembers[pos];
    }
    pos -= kMembers.size();
    return pos < beyond.size() ? beyond[pos] : empty;
}

}  // namespace zo::store
