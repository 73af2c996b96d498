#include "support/PtyPair.h"

#include <fcntl.h>
#include <stdlib.h>

#include <climits>

namespace zo::test {

PtyPair::PtyPair() {
    master.Reset(::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    char name[PATH_MAX] = {};
    if (master.Valid() && ::grantpt(master.Get()) == 0 && ::unlockpt(master.Get()) == 0 &&
        ::ptsname_r(master.Get(), name, sizeof name) == 0) {
        slave = name;
    }
}

}  // namespace zo::test
