#pragma once

#include "bench/BenchTable.h"

namespace zo::bench {

// Stores `count` profiles ("Location 0" on) on COM3 in the default hive, in one batch.
void FillProfiles(int count);

// Listing and loading profiles with 10, 1,000 and 10,000 of them stored.
void RunStoreBench(Table& table);

}  // namespace zo::bench
