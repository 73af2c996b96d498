#pragma once

#include "bench/BenchTable.h"

namespace zo::bench {

// zo-config started in child processes on the offscreen platform: time from process
// start to its first window painted, and peak resident memory; then a whole wizard run
// through Finish against the simulated card, with its peak resident memory.
void RunStartupBench(Table& table, const char* self);

}  // namespace zo::bench
