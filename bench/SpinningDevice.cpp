#include "bench/SpinningDevice.h"

#include <algorithm>
#include <array>

namespace zo::bench {

SpinningDevice::SpinningDevice(std::unique_ptr<comm::SerialDevice> inner)
    : m_inner(std::move(inner)) {}

bool SpinningDevice::Read(std::span<char> buf, std::size_t* got) {
    if (m_caught.empty()) {
        return m_inner->Read(buf, got);
    }
    *got = std::min(buf.size(), m_caught.size());
    std::copy_n(m_caught.begin(), *got, buf.begin());
    m_caught.erase(m_caught.begin(), m_caught.begin() + static_cast<std::ptrdiff_t>(*got));
    return true;
}

comm::WaitResult SpinningDevice::WaitReadable(platform::Clock::TimePoint deadline) {
    if (!m_caught.empty()) {
        return comm::WaitResult::Readable;
    }
    auto& clock = platform::CurrentClock();
    std::array<char, 1024> buf;
    for (;;) {
        std::size_t got = 0;
        if (!m_inner->Read(buf, &got)) {
            return comm::WaitResult::Failed;
        }
        if (got > 0) {
            m_caught.assign(buf.begin(), buf.begin() + static_cast<std::ptrdiff_t>(got));
            return comm::WaitResult::Readable;
        }
        if (clock.Now() >= deadline) {
            return comm::WaitResult::Timeout;
        }
    }
}

}  // namespace zo::bench
