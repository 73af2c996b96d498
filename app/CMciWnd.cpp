#include "app/CMciWnd.h"

#include "platform/media/ClipPlayer.h"
#include "platform/ui/Accessibility.h"

namespace zo::app {

CMciWnd::~CMciWnd() { DestroyWindow(); }

bool CMciWnd::Create(QWidget* parent, unsigned style, const std::string& fileName,
                     MciNotifyMode notify) {
    if (!parent || m_player) {
        return false;
    }
    auto* player = new media::ClipPlayer(parent);
    player->setObjectName("animation");
    // The turning globe only decorates the page.
    ui::MarkDecoration(player);
    m_player = player;
    // No error dialog in any case: a clip that cannot be opened shows nothing.
    if (player->Open(fileName) && !(style & MCIWNDF_NOAUTOSIZEWINDOW)) {
        player->resize(player->ClipSize());
    }
    if ((style & MCIWNDF_NOTIFYMODE) && notify) {
        player->SetModeNotify([notify](media::ClipPlayer* window, media::ClipMode mode) {
            notify(window, static_cast<int>(mode));
        });
    }
    player->setVisible(style & WS_VISIBLE);
    return true;
}

QWidget* CMciWnd::GetSafeHwnd() const { return m_player.data(); }

media::ClipPlayer* CMciWnd::Player() const { return m_player.data(); }

void CMciWnd::MoveWindow(const QRect& rect, bool repaint) {
    if (m_player) {
        m_player->setGeometry(rect);
        if (repaint) {
            m_player->repaint();
        }
    }
}

void CMciWnd::Seek(long position) {
    if (m_player) {
        m_player->Seek(position == MCIWND_START ? 0 : position);
    }
}

void CMciWnd::Play() {
    if (m_player) {
        m_player->Play();
    }
}

void CMciWnd::PlayFrom(long position) {
    if (m_player) {
        m_player->PlayFrom(position);
    }
}

unsigned CMciWnd::GetDeviceId() const { return m_player ? m_player->DeviceId() : 0; }

void CMciWnd::DestroyWindow() {
    media::ClipPlayer* player = m_player.data();
    m_player = nullptr;
    if (player) {
        player->SetModeNotify({});
        player->Close();
        delete player;
    }
}

}  // namespace zo::app
