#include "bench/BenchTable.h"

#include <cstdio>

namespace zo::bench {

void Table::Add(std::string measure, std::string value, std::string goal) {
    m_rows.push_back(Row{std::move(measure), std::move(value), std::move(goal)});
}

void Table::Print() const {
    std::printf("| measure | value | goal |\n|---|---|---|\n");
    for (const auto& r : m_rows) {
        std::printf("| %s | %s | %s |\n", r.measure.c_str(), r.value.c_str(), r.goal.c_str());
    }
    std::fflush(stdout);
}

std::string Ms(double ms) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f ms", ms);
    return buf;
}

std::string Us(double us) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.0f us", us);
    return buf;
}

}  // namespace zo::bench
