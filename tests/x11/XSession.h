#pragma once

#include <sys/types.h>

#include <QImage>
#include <QRect>
#include <chrono>
#include <string>
#include <vector>

namespace zo::test {

// A real X server (Xvfb) with a window manager (openbox) of the test's own, on a display
// number the server picks, and the tools the tests drive it with: xdotool for windows and
// keys, the test process's own connection for screenshots. Everything it starts ends with
// it.
class XSession {
public:
    XSession();
    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

    // Empty when the server and the window manager are up; otherwise why not.
    const std::string& Failure() const { return m_failure; }
    const std::string& Display() const { return m_display; }

    // Starts a program on the display with its output in `logPath`; returns its pid.
    pid_t Spawn(const std::vector<std::string>& argv, const std::string& logPath,
                const std::vector<std::string>& extraEnv = {});
    // Runs an xdotool command line (arguments after "xdotool") and returns what it printed.
    std::string XDo(const std::string& arguments) const;

    // The visible windows whose title matches `titleRegex`, newest last.
    std::vector<unsigned long> Windows(const std::string& titleRegex) const;
    // Waits for a visible window with that title; 0 when none came in time.
    unsigned long AwaitWindow(const std::string& titleRegex, std::chrono::milliseconds limit) const;
    // The window's frame-less area in root coordinates; empty when it is gone.
    QRect Geometry(unsigned long window) const;
    // Makes the window active and gives it the keyboard, as a user's click would.
    void Activate(unsigned long window) const;
    // Asks the window to close as its title bar's close button does: through the window
    // manager, which sends the window its request to close.
    void CloseFromTitleBar(unsigned long window) const;
    // Presses keys ("alt+a", "Tab", "ctrl+Tab") in the active window.
    void Key(const std::string& keys) const;
    void Type(const std::string& text) const;

    // The whole screen as it is now.
    QImage Grab() const;
    // Waits until `area` of the screen has stayed the same for `still`, leaving out
    // `moving` (an animation); false when it kept changing until `limit`.
    bool AwaitSettled(const QRect& area, std::chrono::milliseconds limit,
                      std::chrono::milliseconds still = std::chrono::milliseconds(400),
                      const QRect& moving = {}) const;

private:
    void Stop(pid_t& pid);

    std::string m_failure;
    std::string m_display;
    pid_t m_server = -1;
    pid_t m_manager = -1;
};

// The session the test program's main started for its tests.
XSession& TheX();

}  // namespace zo::test
