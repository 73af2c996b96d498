#pragma once

#include <string>
#include <vector>

#include "platform/registry/Hive.h"
#include "store/RegFile.h"
#include "store/StoreResult.h"

// Both work on the hive they are handed, never the default one, and show no message.
// Any thread, one at a time per hive.

namespace zo::store {

// Collects the tree under `path` (the key itself first, then its subkeys depth-first in
// enumeration order). A missing root gives an empty list; a store that cannot be read, its
// reason.
StoreResult CollectTree(registry::Hive& hive, const std::string& path, std::vector<RegKey>* keys);

// Writes parsed keys and values into the hive in one transaction: all or nothing. A
// profile's known values are stored in the order readers expect, whatever the file's
// order. Refused (Invalid, with the file's line) is anything the program could not read
// back as written, reach or undo: keys below a profile or below an applied record, values
// under CURRENT, an applied record naming no profile, control characters in names or
// values. Failed means the store itself could not be read or written.
StoreResult ImportKeys(registry::Hive& hive, const std::vector<RegKey>& keys);

}  // namespace zo::store
