#pragma once

#include <string>

#include "link/CardConfiguration.h"
#include "link/ModemChannel.h"

namespace zo::link {

// Where a sheet goes after a programming run that did not apply the profile.
enum class AfterRun {
    Stay,
    // The page where the port is chosen: the wizard's port page, the summary's General tab.
    ChoosePort,
    // The page where the profile is named: the wizard's location page; Configure is that
    // page itself and stays.
    ChooseProfile,
};

// What the windows do with a programming run's outcome. Configure's Apply and the wizard's
// Finish both read it, so that the two tell the user the same.
struct RunOutcomeHandling {
    CardConfigurationResult result;
    // The port the search found is not trusted again: the port is the user's choice next.
    bool forgetSearch;
    AfterRun then;
    // The wizard asks the Missing Card question instead of showing the message.
    bool asksMissingCard;
};

const RunOutcomeHandling& HandlingOf(CardConfigurationResult result);

// The detail text of the message for `result`: the store's own words (`storeText`, the
// run's StoreOutcome()) for ProfileChanged and RegistryFailed, else OutcomeDetail with
// `linkReason` (the run's LinkOutcome()).
std::string RunDetail(CardConfigurationResult result, const std::string& storeText,
                      const std::string& linkReason, const ModemChannel& channel);

}  // namespace zo::link
