#pragma once

#include "bench/BenchTable.h"

namespace zo::bench {

// The longest stall of the user-interface thread's event loop (a watchdog timer's worst
// lateness) during a probe, a programming run, the first query and a refresh against the
// card process: ours, with the conversation off the user-interface thread, beside the
// same conversation run on that thread as a blocking call. Needs a QApplication.
void RunStallBench(Table& table);

}  // namespace zo::bench
