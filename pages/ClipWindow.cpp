#include "pages/ClipWindow.h"

#include "platform/ui/clip/ClipPlayer.h"
#include "platform/ui/controls/Accessibility.h"

namespace zo::pages {

ClipWindow::~ClipWindow() {
    DestroyWindow();
}

bool ClipWindow::Create(QWidget* parent, unsigned style, const std::string& fileName,
                        MciNotifyMode notify) {
    if (!parent || m_player) {
        return false;
    }
    auto* player = new ui::ClipPlayer(parent);
    player->setObjectName("animation");
    // The turning globe only decorates the page.
    ui::MarkDecoration(player);
    m_player = player;
    // No error dialog in any case: a clip that cannot be opened shows nothing.
    if (player->Open(fileName) && !(style & MCIWNDF_NOAUTOSIZEWINDOW)) {
        player->resize(player->ClipSize());
    }
    if ((style & MCIWNDF_NOTIFYMODE) && notify) {
        player->SetModeNotify([notify](ui::ClipPlayer* window, ui::ClipMode mode) {
            notify(window, static_cast<int>(mode));
        });
    }
    player->setVisible(style & WS_VISIBLE);
    return true;
}

QWidget* ClipWindow::Widget() const {
    return m_player.data();
}

ui::ClipPlayer* ClipWindow::Player() const {
    return m_player.data();
}

void ClipWindow::MoveWindow(const QRect& rect, bool repaint) {
    if (m_player) {
        m_player->setGeometry(rect);
        if (repaint) {
            m_player->repaint();
        }
    }
}

void ClipWindow::Seek(long position) {
    if (m_player) {
        m_player->Seek(position == MCIWND_START ? 0 : position);
    }
}

void ClipWindow::Play() {
    if (m_player) {
        m_player->Play();
    }
}

void ClipWindow::PlayFrom(long position) {
    if (m_player) {
        m_player->PlayFrom(position);
    }
}

unsigned ClipWindow::GetDeviceId() const {
    return m_player ? m_player->DeviceId() : 0;
}

void ClipWindow::DestroyWindow() {
    ui::ClipPlayer* player = m_player.data();
    m_player = nullptr;
    if (player) {
        player->SetModeNotify({});
        player->Close();
        delete player;
    }
}

}  // namespace zo::pages
