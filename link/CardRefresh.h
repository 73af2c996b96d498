#pragma once

#include <string>

#include "link/ModemChannel.h"

// Seams, all through the channel: the clock (read bounds), the port map (reopening a port
// whose device came back) and the prompter (only message 110, Retry or Cancel, when a write
// fails). Thread: the caller's; the product page runs it on the conversation worker.

namespace zo::link {

enum class RefreshResult {
    Done,         // the card answered; `raw` holds its identification text
    NotSent,      // the first command could not be written and the user gave up
    Unreachable,  // the card did not answer: it has gone, or says "OK" to nothing
};

// The product page's periodic conversation: resets the card, turns echo on and collects
// the answers to "ATI9" and "ATI10" into `raw`. A card that does not confirm the reset
// within its bound is not asked the rest, and a device that fails leaves `raw` alone.
RefreshResult RefreshIdentification(ModemChannel& channel, std::string* raw);

}  // namespace zo::link
