#pragma once

#include <termios.h>

// The ports this process holds open, so that an end by signal or by exit() (the X server
// going away ends a Qt program through exit()) still hands each back as it was found: its
// line settings put back and no longer exclusive. Otherwise the card's settings (hardware
// flow, a new speed) and TIOCEXCL outlive the program and every later open by a normal user
// fails with EBUSY.
// Seams: none. Threads: any; the release runs in a signal handler and is async-signal-safe.

namespace zo::comm {

// Remembers an open terminal and the settings to put back; the slot to forget it by, or -1
// when the table is full (the device still works, it is only not released at exit).
int RememberHeldPort(int fd, const termios& original);
// Called before the descriptor is closed.
void ForgetHeldPort(int slot);

// Puts back every remembered port's settings and clears its exclusive flag.
void ReleaseHeldPorts() noexcept;

// Releases the held ports on SIGINT, SIGTERM, SIGHUP, SIGQUIT and SIGPIPE, then ends the
// process as the signal would have; and at exit(). A signal the program was started to
// ignore stays ignored. Installed once, by main().
void ReleaseHeldPortsAtExit();

}  // namespace zo::comm
