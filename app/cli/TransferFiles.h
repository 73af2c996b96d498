#pragma once

#include <string>

namespace zo::cli {

// The files export writes and import reads. Both return false with the reason, the path
// first, in `error`.

// Replaces the file in one step, private to the user, so a failed export never leaves half
// a file behind, even when a signal ends the program. A symbolic link stands for the file it
// names, except another user's link in a sticky, world-writable directory; anything but a
// regular file (or none yet) is refused.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error);

// Reads the whole file; refuses a directory and anything too large to be a registry export.
bool ReadImportFile(const std::string& path, std::string* bytes, std::string* error);

}  // namespace zo::cli
