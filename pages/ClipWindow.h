#pragma once

#include <QPointer>
#include <QRect>
#include <functional>
#include <string>

class QWidget;

namespace zo::ui {
class ClipPlayer;
}

namespace zo::pages {

// Window styles of the animation window.
enum MciWindowStyle : unsigned {
    MCIWNDF_NOAUTOSIZEWINDOW = 0x0001,
    MCIWNDF_NOPLAYBAR = 0x0002,
    MCIWNDF_NOMENU = 0x0008,
    MCIWNDF_NOTIFYMODE = 0x0100,
    MCIWNDF_NOERRORDLG = 0x4000,
    WS_VISIBLE = 0x10000000,
    WS_CHILD = 0x40000000,
};

// The position that names the start of a clip.
inline constexpr long MCIWND_START = -1;

// The mode notification: the animation window's handle and the clip's new mode.
using MciNotifyMode = std::function<void(QWidget* window, int mode)>;

// The animation child window of a page. It opens a clip by file name (a relative name
// from the current directory); a clip that is missing or unreadable leaves it empty and silent.
// No process-wide seam and no message; user-interface thread.
class ClipWindow {
public:
    ClipWindow() = default;
    ~ClipWindow();
    ClipWindow(const ClipWindow&) = delete;
    ClipWindow& operator=(const ClipWindow&) = delete;

    // Makes the window inside `parent` and opens the clip. With MCIWNDF_NOTIFYMODE every
    // change of mode goes to `notify`. True when a window was made.
    bool Create(QWidget* parent, unsigned style, const std::string& fileName,
                MciNotifyMode notify = {});
    QWidget* Widget() const;
    ui::ClipPlayer* Player() const;

    // Moves and sizes the window; it keeps that size.
    void MoveWindow(const QRect& rect, bool repaint = true);
    // Rewinds to MCIWND_START or goes to a frame.
    void Seek(long position);
    void Play();
    void PlayFrom(long position);
    // Zero when no clip is open.
    unsigned GetDeviceId() const;
    // Closes the clip and the window, as the window does when it is destroyed.
    void DestroyWindow();

private:
    QPointer<ui::ClipPlayer> m_player;
};

}  // namespace zo::pages
