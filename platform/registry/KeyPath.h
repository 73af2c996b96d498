#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zo::registry {

// Limits of the hive, enforced on every call: longer input fails, it is never cut.
// Counted in characters as the Windows registry counts them (UTF-16 units), not bytes.
inline constexpr std::size_t kMaxPathLength = 1023;
inline constexpr std::size_t kMaxNameLength = 255;

// The length of UTF-8 text in UTF-16 units; a byte that is no valid UTF-8 counts as one.
std::size_t RegistryLength(std::string_view text);

enum class PathError { None, TooLong, EmptyComponent };

// Splits a backslash path into key names. One trailing backslash names the same key
// as the path without it; an empty path names the root itself.
PathError SplitKeyPath(std::string_view path, std::vector<std::string>* names);

// Key and value names compare without regard to ASCII case only.
std::string FoldName(std::string_view name);

}  // namespace zo::registry
