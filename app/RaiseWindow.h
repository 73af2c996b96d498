#pragma once

namespace zo::app {

// Brings the window the user works in (a message box over a sheet, else the sheet, the
// splash or the wizard) to the front and gives it the keyboard: what a second start of
// the windows does instead of opening another copy. User-interface thread.
void RaiseTopWindow();

}  // namespace zo::app
