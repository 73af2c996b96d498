#pragma once

#include <QImage>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "platform/media/AviFile.h"

namespace zo::ui {

// Modes a clip reports, with the values of the media control interface.
enum class ClipMode : int {
    NotReady = 524,
    Stopped = 525,
    Playing = 526,
    Seeking = 528,
    Paused = 529,
    Open = 530,
};

// The window that shows an animation clip: it opens a clip by file name, plays it once
// through, rewinds, plays from a position and tells its owner of every change of mode,
// naming itself. A clip that cannot be read leaves the window empty; nothing is shown
// to the user about it.
class ClipPlayer : public QWidget {
public:
    using ModeFn = std::function<void(ClipPlayer* window, ClipMode mode)>;

    explicit ClipPlayer(QWidget* parent = nullptr);
    ~ClipPlayer() override;

    // A relative name is found from the current directory.
    bool Open(const std::string& fileName);
    void Close();
    bool IsOpen() const { return m_clip != nullptr; }
    // Non-zero while a clip is open.
    unsigned DeviceId() const { return m_deviceId; }
    const std::string& LastError() const { return m_error; }

    void SetModeNotify(ModeFn notify) { m_notify = std::move(notify); }

    // Stops and shows frame `frame` (clamped to the clip).
    void Seek(long frame);
    // Plays from the frame shown to the end.
    void Play();
    void PlayFrom(long frame);
    void Stop();

    ClipMode Mode() const { return m_mode; }
    long Position() const { return m_position; }
    long Length() const { return IsOpen() ? static_cast<long>(m_clip->frames.size()) : 0; }
    int FrameIntervalMs() const { return m_intervalMs; }
    QSize ClipSize() const;
    QImage CurrentFrame() const;

    // The decoded clip, shared with every other player of the same file.
    const std::shared_ptr<const media::Clip>& SharedClip() const { return m_clip; }

    // Moves to the next frame; the frame timer calls it while the clip plays. After the
    // last frame the clip stops.
    void Step();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void SetMode(ClipMode mode);
    // The frame at `index`, drawn straight from the shared clip's pixels.
    QImage FrameView(long index) const;

    std::shared_ptr<const media::Clip> m_clip;
    long m_position = 0;
    int m_intervalMs = 67;
    ClipMode m_mode = ClipMode::NotReady;
    QTimer m_timer;
    unsigned m_deviceId = 0;
    ModeFn m_notify;
    std::string m_error;
};

}  // namespace zo::ui
