#pragma once

#include <string>
#include <string_view>

namespace zo::store {

// Whether UTF-8 text holds a C0 or C1 control character, DEL or a byte that is no valid
// UTF-8: what a terminal or a registry line would act on instead of showing.
bool HasControlCharacters(std::string_view text);

// The text with every control character written as \xHH, so that names and values from
// files or the card reach a terminal as plain text; other text is left as it is.
std::string EscapeControlCharacters(std::string_view text);

}  // namespace zo::store
