#pragma once

#include "bench/BenchTable.h"

namespace zo::bench {

// The configuration window against the in-process card on a virtual clock: how long it
// takes to open on "Configure" with 10 and 1,000 stored profiles, and the resident
// memory of the "Product Info" page over a simulated day of five-second refreshes.
// Needs the application object of the window system.
void RunConfigPageBench(Table& table);
void RunProductPageBench(Table& table);

}  // namespace zo::bench
