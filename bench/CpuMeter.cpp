#include "bench/CpuMeter.h"

#include <sys/resource.h>

namespace zo::bench {

CpuMeter::CpuMeter() : m_wall(std::chrono::steady_clock::now()), m_cpu(ProcessCpuMs()) {}

double CpuMeter::WallMs() const {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - m_wall)
        .count();
}

double CpuMeter::CpuMs() const {
    return ProcessCpuMs() - m_cpu;
}

double CpuMeter::ProcessCpuMs() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(u.ru_utime) + ms(u.ru_stime);
}

}  // namespace zo::bench
