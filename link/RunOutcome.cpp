#include "link/RunOutcome.h"

#include <iterator>

namespace zo::link {
namespace {

using R = CardConfigurationResult;

// Row order follows the enumeration, checked below.
constexpr RunOutcomeHandling kHandling[] = {
    {R::Applied, false, AfterRun::Stay, false},
    {R::PortNotOpened, false, AfterRun::ChoosePort, true},
    {R::NoReply, true, AfterRun::ChoosePort, false},
    {R::WrongCard, true, AfterRun::ChoosePort, false},
    {R::WriteFailed, true, AfterRun::Stay, false},
    {R::RegistryFailed, false, AfterRun::Stay, false},
    {R::ProfileChanged, false, AfterRun::ChooseProfile, false},
    {R::UnsafeValue, false, AfterRun::Stay, false},
    {R::Refused, false, AfterRun::Stay, false},
};

constexpr bool InEnumerationOrder() {
    for (std::size_t i = 0; i < std::size(kHandling); ++i) {
        if (static_cast<std::size_t>(kHandling[i].result) != i) {
            return false;
        }
    }
    return static_cast<std::size_t>(R::Refused) + 1 == std::size(kHandling);
}
static_assert(InEnumerationOrder(), "one row per outcome, in the enumeration's order");

}  // namespace

const RunOutcomeHandling& HandlingOf(CardConfigurationResult result) {
    return kHandling[static_cast<std::size_t>(result)];
}

std::string RunDetail(CardConfigurationResult result, const std::string& storeText,
                      const std::string& linkReason, const ModemChannel& channel) {
    return result == R::ProfileChanged || result == R::RegistryFailed
               ? storeText
               : OutcomeDetail(result, channel, linkReason);
}

}  // namespace zo::link
