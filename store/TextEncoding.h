#pragma once

#include <string>
#include <string_view>

namespace zo::store {

// The length of the UTF-8 sequence at bytes[i], 0 when none starts there.
std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t i);
bool IsValidUtf8(std::string_view bytes);
// The offset of the first byte that starts no valid UTF-8 sequence; npos for none.
std::size_t FirstInvalidUtf8(std::string_view bytes);
// Whether a character beyond ASCII is written as UTF-8 somewhere: a legacy file would
// have to hold those bytes in just that order by chance.
bool HasUtf8Sequence(std::string_view bytes);
// Windows-1252 (the ANSI code page of old registry exports) to UTF-8.
std::string Cp1252ToUtf8(std::string_view bytes);
// UTF-16LE without its byte-order mark to UTF-8; false on a broken surrogate or odd length.
bool Utf16LeToUtf8(std::string_view bytes, std::string* out);

}  // namespace zo::store
