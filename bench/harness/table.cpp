#include "bench/harness/table.h"

#include <cstdio>

namespace duva::bench
{

void Table::print() const
{
    std::printf("\n%-46s %-26s %9s %9s | %9s %9s %9s %7s  %-16s %s\n", "what", "baseline",
                "base min", "base med", "min", "median", "worst", "ratio", "goal", "met");
    std::printf("%s\n", std::string(170, '-').c_str());
    for (const Row& r : m_rows) {
        const auto num = [&](const Stats& s, double v) {
            if (!s.valid)
                return std::string("-");
            char b[32];
            std::snprintf(b, sizeof b, "%.*f", r.decimals, v);
            return std::string(b);
        };
        std::string ratio = "-";
        if (r.baseline.valid && r.measured.valid && r.baseline.median != 0) {
            char b[32];
            std::snprintf(b, sizeof b, "%.3f", r.measured.median / r.baseline.median);
            ratio = b;
        }
        std::printf(
            "%-46s %-26s %9s %9s | %9s %9s %9s %7s  %-16s %s\n", r.what.c_str(),
            r.baselineName.c_str(), num(r.baseline, r.baseline.min).c_str(),
            num(r.baseline, r.baseline.median).c_str(), num(r.measured, r.measured.min).c_str(),
            num(r.measured, r.measured.median).c_str(), num(r.measured, r.measured.max).c_str(),
            ratio.c_str(), r.goal.c_str(), r.met ? (*r.met ? "yes" : "NO") : "");
    }
    for (const std::string& n : m_notes)
        std::printf("%s\n", n.c_str());
    std::fflush(stdout);
}

} // namespace duva::bench
