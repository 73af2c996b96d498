#include "platform/ui/clip/ClipPlayer.h"

#include <QPainter>
#include <algorithm>

#include "platform/media/ClipCache.h"

namespace zo::ui {
namespace {

unsigned NextDeviceId() {
    static unsigned next = 0;
    next = next == 0xFFFFFFFFu ? 1 : next + 1;
    return next;
}

// The frame in 0xAARRGGBB with every pixel of the clip's background colour made
// transparent. A palettised frame is keyed in its colour table and converted here, one
// frame at a time.
QImage WithoutBackground(const QImage& frame, QRgb background) {
    if (frame.format() == QImage::Format_Indexed8) {
        QList<QRgb> colours = frame.colorTable();
        for (QRgb& c : colours) {
            if (c == background) {
                c = 0;
            }
        }
        QImage keyed = frame;
        keyed.setColorTable(colours);
        return keyed.convertToFormat(QImage::Format_ARGB32);
    }
    QImage keyed = frame.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if (line[x] == background) {
                line[x] = 0;
            }
        }
    }
    return keyed;
}

}  // namespace

ClipPlayer::ClipPlayer(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoSystemBackground, false);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, this, [this] { Step(); });
}

ClipPlayer::~ClipPlayer() {
    m_notify = nullptr;
    Close();
}

bool ClipPlayer::Open(const std::string& fileName) {
    Close();
    std::shared_ptr<const media::Clip> clip = media::LoadSharedClip(fileName, &m_error);
    if (!clip) {
        return false;
    }
    m_clip = std::move(clip);
    m_intervalMs = std::max(10, static_cast<int>(m_clip->frameMicroseconds / 1000));
    m_position = 0;
    m_deviceId = NextDeviceId();
    m_error.clear();
    SetMode(ClipMode::Stopped);
    update();
    return true;
}

void ClipPlayer::Close() {
    m_timer.stop();
    bool wasOpen = IsOpen();
    m_clip.reset();
    m_position = 0;
    m_deviceId = 0;
    // Closing tells no one: the owner is going away.
    m_mode = ClipMode::NotReady;
    if (wasOpen) {
        update();
    }
}

void ClipPlayer::Seek(long frame) {
    if (!IsOpen()) {
        return;
    }
    m_timer.stop();
    m_position = std::clamp(frame, 0L, Length() - 1);
    update();
    SetMode(ClipMode::Stopped);
}

void ClipPlayer::Play() {
    if (!IsOpen() || m_mode == ClipMode::Playing) {
        return;
    }
    m_timer.start(m_intervalMs);
    SetMode(ClipMode::Playing);
}

void ClipPlayer::PlayFrom(long frame) {
    if (!IsOpen()) {
        return;
    }
    m_position = std::clamp(frame, 0L, Length() - 1);
    update();
    m_timer.start(m_intervalMs);
    SetMode(ClipMode::Playing);
}

void ClipPlayer::Stop() {
    if (!IsOpen()) {
        return;
    }
    m_timer.stop();
    SetMode(ClipMode::Stopped);
}

void ClipPlayer::Step() {
    if (!IsOpen() || m_mode != ClipMode::Playing) {
        return;
    }
    if (m_position + 1 >= Length()) {
        m_timer.stop();
        SetMode(ClipMode::Stopped);
        return;
    }
    ++m_position;
    update();
}

QSize ClipPlayer::ClipSize() const {
    return IsOpen() ? QSize(m_clip->width, m_clip->height) : QSize();
}

QImage ClipPlayer::FrameView(long index) const {
    const std::vector<std::uint8_t>& pixels = m_clip->frames[static_cast<std::size_t>(index)];
    const qsizetype bytesPerLine =
        static_cast<qsizetype>(m_clip->width) * static_cast<qsizetype>(m_clip->BytesPerPixel());
    if (!m_clip->Indexed()) {
        return QImage(pixels.data(), m_clip->width, m_clip->height, bytesPerLine,
                      QImage::Format_ARGB32);
    }
    QImage frame(pixels.data(), m_clip->width, m_clip->height, bytesPerLine,
                 QImage::Format_Indexed8);
    frame.setColorTable(QList<QRgb>(m_clip->colours.begin(), m_clip->colours.end()));
    return frame;
}

QImage ClipPlayer::CurrentFrame() const {
    return IsOpen() ? FrameView(m_position).convertToFormat(QImage::Format_ARGB32) : QImage();
}

void ClipPlayer::SetMode(ClipMode mode) {
    if (mode == m_mode) {
        return;
    }
    m_mode = mode;
    // The owner may start, stop or close the clip from here: nothing follows this call.
    if (m_notify) {
        ModeFn notify = m_notify;
        notify(this, mode);
    }
}

void ClipPlayer::paintEvent(QPaintEvent* /*event*/) {
    if (!IsOpen()) {
        return;
    }
    QPainter p(this);
    // The clip's background is the colour of its first pixel, as an animation control
    // takes it: the window's own background shows there instead, light or dark.
    const QImage frame = WithoutBackground(FrameView(m_position), m_clip->Pixel(0, 0));
    QSize size = frame.size();
    if (size.width() > width() || size.height() > height()) {
        size.scale(this->size(), Qt::KeepAspectRatio);
    }
    QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    // Smooth also at the frame's own size: on a screen of 1.5 or 2 device pixels to the
    // pixel the frame is scaled all the same.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, frame);
}

}  // namespace zo::ui
