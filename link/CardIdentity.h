#pragma once

#include <string>

namespace zo::link {

// What the card says about itself in its answers to "ATI9" and "ATI10".
struct CardIdentity {
    std::string productName;
    std::string softwareRevision;
    std::string releaseDate;
    std::string lineStatus;  // with the blank after the separator: " Active"
};

// The value after the first `label` in `raw`, past leading blanks, tabs and line breaks,
// up to the next "\r\n" (empty when none follows). `field` is left as it is when `raw`
// is empty or lacks the label.
void ApplyFieldRule(const std::string& raw, const std::string& label, std::string* field);

// The "Link Status" value without its first character (the separator); empty when absent.
std::string LineStatusOf(const std::string& raw);

// All four values, each empty when its label is missing.
CardIdentity ParseIdentification(const std::string& raw);

// The sign for a line status: exact, case-sensitive comparisons with the leading blank.
enum class LineSign { Stop, Go, Yield };
LineSign SignFor(const std::string& lineStatus);

}  // namespace zo::link
