#pragma once

#include <iosfwd>
#include <string>

namespace zo::cli {

// The failures every command reports in the same words. Each returns the exit status that
// goes with it.

// Message 114 and, in brackets, what went wrong (the store's reason: its file and the
// error): kExitStore.
int StoreFailure(std::ostream& err, const std::string& detail);

// No stored profile by the name typed (shown with its control characters escaped):
// kExitRefused.
int NoSuchProfile(std::ostream& err, const std::string& typed);

// Flushes `out`: output that could not be written is a failure (kExitRefused), not a
// success with nothing shown; otherwise kExitOk.
int Finish(std::ostream& out, std::ostream& err);

}  // namespace zo::cli
