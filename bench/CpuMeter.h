#pragma once

#include <chrono>

namespace zo::bench {

// Wall time and this process's own CPU time (user and system) from construction on.
class CpuMeter {
public:
    CpuMeter();
    double WallMs() const;
    double CpuMs() const;
    // CPU time as a share of one core over the wall time, in percent.
    double CorePercent() const { return 100.0 * CpuMs() / WallMs(); }

private:
    static double ProcessCpuMs();

    std::chrono::steady_clock::time_point m_wall;
    double m_cpu;
};

}  // namespace zo::bench
