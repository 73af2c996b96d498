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

// A profile name as a terminal lists it, so that two names that differ only in what
// does not show can be told apart: control characters escaped as above; a name with a
// blank at either end, or with a character that shows as nothing or as a plain blank
// (zero-width and direction marks, no-break and other spaces, the soft hyphen, the
// byte-order mark), is put in double quotes with those characters written as \u{XXXX}
// and a double quote in it as \". Any other name is shown as it is.
std::string ShownName(std::string_view name);

}  // namespace zo::store
