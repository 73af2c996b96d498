#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zo::registry {

// Limits of the hive, enforced on every call: longer input fails, it is never cut.
inline constexpr std::size_t kMaxPathLength = 1023;
inline constexpr std::size_t kMaxNameLength = 255;

enum class PathError { None, TooLong, EmptyComponent };

// Splits a backslash path into key names. One trailing backslash names the same key
// as the path without it; an empty path names the root itself.
PathError SplitKeyPath(std::string_view path, std::vector<std::string>* names);

// Key and value names compare without regard to ASCII case only.
std::string FoldName(std::string_view name);

}  // namespace zo::registry
