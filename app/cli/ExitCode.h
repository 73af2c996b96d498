#pragma once

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
};

}  // namespace zo::cli
