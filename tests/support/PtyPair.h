#pragma once

#include <string>

#include "platform/comm/UniqueFd.h"

namespace zo::test {

// A pseudo-terminal whose master side the test keeps and whose slave the code under test
// opens as a serial device by its path; `slave` is empty when none could be made.
struct PtyPair {
    PtyPair();

    comm::UniqueFd master;
    std::string slave;
};

}  // namespace zo::test
