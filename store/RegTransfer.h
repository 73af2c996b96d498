#pragma once

#include <string>
#include <vector>

#include "platform/registry/Hive.h"
#include "store/RegFile.h"

namespace zo::store {

// Collects the tree under `path` (the key itself first, then its subkeys depth-first in
// enumeration order). A missing root gives an empty list.
bool CollectTree(registry::Hive& hive, const std::string& path, std::vector<RegKey>* keys,
                 std::string* error);

// Writes parsed keys and values into the hive in one transaction: all or nothing.
bool ImportKeys(registry::Hive& hive, const std::vector<RegKey>& keys, std::string* error);

}  // namespace zo::store
