#pragma once

#include "link/ModemChannel.h"

// Seams, all from the channel's context: the prompter (message 121), and the clock and the
// port map through the channel's probe, which shows nothing. Thread: the caller's; in the windows
// the conversation worker (the wizard's phone page, the configuration window's start), or the
// command line's.

namespace zo::link {

// The wizard's scan also sets the stop-bits text; the summary sheet's leaves it.
enum class ScanCaller { Wizard, SummarySheet };

// Writes the detection line settings (115200 bit/s, 8 data bits, no parity, one stop
// bit, hardware flow) into the channel's line.
void SetDetectionSettings(ModemChannel& channel, ScanCaller caller);

// Probes COM4, COM3, COM2 and COM1 in turn, on the channel's line with the detection
// settings, until the card identifies itself. True when found, with the channel's line
// naming the port; otherwise shows message 121, with one line for each port saying why
// the card was not there as its detail, and the line names the last port tried. The
// wizard takes the line into its profile afterwards.
bool ScanPorts(ModemChannel& channel, ScanCaller caller);

}  // namespace zo::link
