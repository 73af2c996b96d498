#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zo::store {

// The tree that exports and imports cover, under HKEY_LOCAL_MACHINE.
inline constexpr const char* kExportRoot = "SOFTWARE\\KEST";

struct RegValue {
    std::string name;  // empty for the default value "@"
    std::string data;  // string data without its terminating NUL
    int line = 0;
};

struct RegKey {
    std::string path;  // relative to HKEY_LOCAL_MACHINE
    std::vector<RegValue> values;
    int line = 0;
};

struct RegParseResult {
    bool ok = false;
    int errorLine = 0;
    std::string error;
    std::vector<RegKey> keys;
};

// Reads a registry export: "REGEDIT4" (UTF-8 or Windows-1252) or "Windows Registry
// Editor Version 5.00" (UTF-16LE with BOM, or UTF-8). Only string values of keys under
// HKEY_LOCAL_MACHINE\SOFTWARE\KEST are accepted; anything else fails the whole file.
RegParseResult ParseRegFile(std::string_view bytes);

// Writes keys as REGEDIT4 text. Fails (with a reason) on data that a text line cannot hold.
bool FormatRegFile(const std::vector<RegKey>& keys, std::string* out, std::string* error);

}  // namespace zo::store
