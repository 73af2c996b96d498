#pragma once

#include <string>
#include <string_view>

namespace zo::store {

bool IsValidUtf8(std::string_view bytes);
// Windows-1252 (the ANSI code page of old registry exports) to UTF-8.
std::string Cp1252ToUtf8(std::string_view bytes);
// UTF-16LE without its byte-order mark to UTF-8; false on a broken surrogate or odd length.
bool Utf16LeToUtf8(std::string_view bytes, std::string* out);

}  // namespace zo::store
