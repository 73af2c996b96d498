#include "platform/comm/HeldPorts.h"

#include <sys/ioctl.h>

#include <array>
#include <atomic>
#include <csignal>
#include <cstdlib>

namespace zo::comm {
namespace {

constexpr int kFree = -1;
constexpr int kFilling = -2;

struct Slot {
    std::atomic<int> fd{kFree};
    termios original{};
};

// A fixed table: a signal handler may neither allocate nor lock.
std::array<Slot, 16> g_slots;

void OnSignal(int sig) {
    ReleaseHeldPorts();
    // The signal is blocked while its handler runs; it ends the process on return.
    ::signal(sig, SIG_DFL);
    ::raise(sig);
}

}  // namespace

int RememberHeldPort(int fd, const termios& original) {
    for (std::size_t i = 0; i < g_slots.size(); ++i) {
        int expected = kFree;
        if (g_slots[i].fd.compare_exchange_strong(expected, kFilling)) {
            g_slots[i].original = original;
            g_slots[i].fd.store(fd, std::memory_order_release);
            return static_cast<int>(i);
        }
    }
    return -1;
}

void ForgetHeldPort(int slot) {
    if (slot >= 0 && static_cast<std::size_t>(slot) < g_slots.size()) {
        g_slots[static_cast<std::size_t>(slot)].fd.store(kFree, std::memory_order_release);
    }
}

void ReleaseHeldPorts() noexcept {
    for (auto& slot : g_slots) {
        const int fd = slot.fd.load(std::memory_order_acquire);
        if (fd >= 0) {
            ::tcsetattr(fd, TCSANOW, &slot.original);
            ::ioctl(fd, TIOCNXCL);
        }
    }
}

void ReleaseHeldPortsAtExit() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    std::atexit([] { ReleaseHeldPorts(); });
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE}) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {
            continue;
        }
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(sig, &action, nullptr);
    }
}

}  // namespace zo::comm
