#pragma once

#include <cstddef>
#include <string>

namespace zo::wizard {

// The program's texts are UTF-8: a character typed into a field may take several bytes.

// The number of characters of the text.
std::size_t CharCount(const std::string& text);

// Replaces the whole character that starts at byte `pos` by one blank.
void BlankCharAt(std::string& text, std::size_t pos);

}  // namespace zo::wizard
