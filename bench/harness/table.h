#pragma once

#include "bench/harness/stats.h"

#include <optional>
#include <string>
#include <vector>

namespace duva::bench
{

// One line of the table: what is measured against its baseline, and the goal, if any.
struct Row {
    std::string what;
    std::string baselineName;
    Stats baseline;
    Stats measured;
    std::string goal;
    std::optional<bool> met; // no value: no goal to judge
    int decimals = 1;
};

class Table
{
public:
    void add(Row row) { m_rows.push_back(std::move(row)); }
    // A line printed under the table: rows left out and why.
    void note(std::string text) { m_notes.push_back(std::move(text)); }
    // Prints every row on standard output, then the notes.
    void print() const;

private:
    std::vector<Row> m_rows;
    std::vector<std::string> m_notes;
};

} // namespace duva::bench
