#pragma once

#include "bench/BenchTable.h"

namespace zo::bench {

// Listing and loading profiles with 10, 1,000 and 10,000 of them stored.
void RunStoreBench(Table& table);

}  // namespace zo::bench
