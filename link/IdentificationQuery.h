#pragma once

#include <string>

#include "link/ModemChannel.h"

// Seams, all from the channel's context: the clock (the pause after the wake-up, and the
// reads), the port map and the prompter: messages 111 and 109 when the port cannot be
// opened, 110 when a write fails. Thread: the caller's; the configuration page runs the query on
// the conversation worker, the command line on its main thread.

namespace zo::link {

enum class IdentificationResult { Identified, PortNotOpened, NoReply, WrongCard };

// Sets the detection line settings (115200 bit/s, 8 data bits, no parity, one stop bit,
// hardware flow) for `port`, as the configuration page does before its first query.
void SetQuerySettings(ModemChannel& channel, const std::string& port);

// The configuration page's first conversation with the card: opens the configured port
// (which reports its own failures), wakes the card, resets it, checks its identification
// and collects the answers to "ATI9" and "ATI10" into `raw`. NoReply: the device failed
// or hung up, or a command got no answer at all; NoReplyDetail says which. On WrongCard
// the caller shows message 109. `ended` (if given) receives how the channel's last open or
// read of the query ended: its reason is the one behind PortNotOpened and NoReply.
IdentificationResult QueryIdentification(ModemChannel& channel, std::string* raw,
                                         LinkResult* ended = nullptr);

// Why a query or programming run got no reply: the device's failure (`linkReason`, the
// reason of the channel's last operation), or the last command, which went unanswered.
std::string NoReplyDetail(const ModemChannel& channel, const std::string& linkReason);

}  // namespace zo::link
