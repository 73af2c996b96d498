#pragma once

namespace zo::app {

// Qt aborts the program when its window system cannot be started (a display that does not
// answer, a platform that cannot be loaded). From this call on, that ends the program with
// the status of a missing display and a message that says so instead. Once the window
// system is up, fatal messages are Qt's own again.
void ExitWithoutWindowSystem();

}  // namespace zo::app
