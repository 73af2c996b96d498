#include "link/CardIdentity.h"

namespace zo::link {

void ApplyFieldRule(const std::string& raw, const std::string& label, std::string* field) {
    std::size_t at = raw.empty() ? std::string::npos : raw.find(label);
    if (at == std::string::npos) {
        return;
    }
    std::size_t start = raw.find_first_not_of(" \t\r\n", at + label.size());
    if (start == std::string::npos) {
        field->clear();
        return;
    }
    std::size_t end = raw.find("\r\n", start);
    *field = end == std::string::npos ? std::string() : raw.substr(start, end - start);
}

std::string LineStatusOf(const std::string& raw) {
    std::string status;
    ApplyFieldRule(raw, "Link Status", &status);
    if (!status.empty()) {
        status.erase(0, 1);
    }
    return status;
}

CardIdentity ParseIdentification(const std::string& raw) {
    CardIdentity id;
    ApplyFieldRule(raw, "Product Name:", &id.productName);
    ApplyFieldRule(raw, "Software Revision:", &id.softwareRevision);
    ApplyFieldRule(raw, "Software Release Date:", &id.releaseDate);
    id.lineStatus = LineStatusOf(raw);
    return id;
}

LineSign SignFor(const std::string& lineStatus) {
    if (lineStatus == " Physical Interface Inactive") {
        return LineSign::Stop;
    }
    if (lineStatus == " Active") {
        return LineSign::Go;
    }
    return LineSign::Yield;
}

}  // namespace zo::link
