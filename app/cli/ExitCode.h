#pragma once

#include "res/Translation.h"

namespace zo::cli {

// The statuses zo-config ends with. Scripts test them, so a number never changes meaning;
// --help, the manual page and the README list them too.
enum ExitCode : int {
    kExitOk = 0,             // done as asked
    kExitRefused = 1,        // refused or not found: no such profile, a fault in a file, output
                             // that could not be written, a profile changed meanwhile
    kExitUsage = 2,          // an unknown option or command, or the wrong number of arguments
    kExitStore = 3,          // the profile store could not be used
    kExitPortNotOpened = 4,  // the serial port could not be opened
    kExitNoReply = 5,        // nothing answered on the port
    kExitWrongCard = 6,      // something answered, but not the expected card
    kExitWriteFailed = 7,    // a write to the port failed
    kExitUnsafeValue = 8,    // a value the card would take as a command; nothing was sent
    kExitCardRefused = 9,    // the card answered ERROR to a setting
    kExitNoDisplay = 10,     // the windows were asked for, but no display could be reached
};

// The paragraph of --help on the statuses above, kept beside them so both change together.
inline constexpr const char* kExitStatusHelp =
    N_("Exit status: 0 success, 1 refused or not found, 2 usage error, 3 store failure,\n"
       "4 port not opened, 5 no reply from the card, 6 not the expected card, 7 write to the\n"
       "port failed, 8 a value the card would take as a command, 9 the card refused a\n"
       "setting, 10 no display to show the windows on.\n");

}  // namespace zo::cli
