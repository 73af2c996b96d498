#pragma once

#include <string>
#include <vector>

namespace zo::bench {

// One row of the printed table: what was measured, the figure, and the goal it is held to.
struct Row {
    std::string measure;
    std::string value;
    std::string goal;
};

class Table {
public:
    void Add(std::string measure, std::string value, std::string goal = {});
    void Print() const;

private:
    std::vector<Row> m_rows;
};

std::string Ms(double ms);
std::string Us(double us);

}  // namespace zo::bench
