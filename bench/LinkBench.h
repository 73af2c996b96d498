#pragma once

#include "bench/BenchTable.h"

namespace zo::bench {

// A probe of one port and a full card programming run against the simulated card in a
// process of its own, on the program's channel and on a channel that spins on its reads:
// the CPU each takes and the time each spends beyond the waits the protocol demands.
void RunConversationBench(Table& table);

// Latency from the card's last byte of "OK" to ReadUntilOK returning, over many
// exchanges, on the program's channel and on the spinning one.
void RunOkLatencyBench(Table& table);

}  // namespace zo::bench
