#pragma once

#include <optional>
#include <string>

namespace zo::comm {

// A program that has a device open.
struct PortHolder {
    int pid = 0;
    std::string name;  // its command name
};

// Looks for another process that holds `path`: first the owner of a lock on it, then any
// process with the device open. Finds only processes whose open files this one may see
// (all of them as root).
std::optional<PortHolder> FindPortHolder(const std::string& path);

// Why the system refused `path`, for the detail under a fixed message: the device path
// and the system's error, then on a line of its own what the user can do about it.
std::string DescribeOpenFailure(const std::string& path, int error);
// The device is open in another program (its lock refused, or EBUSY).
std::string DescribeBusy(const std::string& path);
// A device that was in use failed with `error`.
std::string DescribeDeviceFailure(const std::string& path, int error);

// Whether `error` means the device went away (unplugged, hung up, no hardware behind it).
bool MeansVanished(int error);

}  // namespace zo::comm
