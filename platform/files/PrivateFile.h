#pragma once

#include <sys/stat.h>

#include <string>

namespace zo::files {

// Files that hold the SPIDs (the profile store, the byte trace) and files the program
// replaces (an export) may be named inside a directory other users write to, such as /tmp.
// Each function returns false with the reason, the path first, in `error`.

// Whether `path` may be opened when it is a symbolic link: not when the link belongs to
// another user and lies in a sticky, world-writable directory, where that user could point
// it at any of ours (the rule of the kernel's protected_symlinks). True for anything that is
// no link, or does not exist.
bool MayFollowLink(const std::string& path, std::string* error);

// An open file meant to be private to the user.
struct PrivateFile {
    int fd = -1;
    bool created = false;  // made by this call, mode 0600 from the first byte
    bool readOnly = false;
    struct stat st {};
};

// Opens `path` read-write, creating it with O_EXCL|O_NOFOLLOW (mode 0600) when missing.
// An existing file must be a regular file owned by the user; `what` names the file's use in
// the reason ("the store"). With `readOnlyFallback` a file the user may not write is opened
// for reading. Opened without blocking, so a FIFO is refused instead of waited on. Nothing
// about an existing file is changed: its mode and content stay as they were.
bool OpenPrivateFile(const std::string& path, const char* what, bool readOnlyFallback,
                     PrivateFile* file, std::string* error);

// Takes group and others' access away from an open file of the user's; false when the mode
// cannot be changed (a read-only file system, for one).
bool MakePrivate(const PrivateFile& file, const std::string& path, std::string* error);

}  // namespace zo::files
