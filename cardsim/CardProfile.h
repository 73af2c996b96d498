#pragma once

#include <string>

namespace zo::cardsim {

// The settings the card works with; AT&W copies them into its non-volatile memory.
struct CardProfile {
    int switchType = -1;  // 0 AT&T 5ESS, 1 DMS100, 32 NI-1; -1 none
    std::string dn1, spid1, dn2, spid2;
    int flow = 3;  // &K code: 0 none, 3 RTS/CTS, 4 XON/XOFF

    // The line comes up once a switch type and a SPID are stored.
    bool Configured() const { return switchType >= 0 && !spid1.empty(); }
    friend bool operator==(const CardProfile&, const CardProfile&) = default;
};

}  // namespace zo::cardsim
