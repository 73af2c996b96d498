#include "pages/AnimatedPage.h"

#include "platform/files/DataFile.h"
#include "platform/ui/dialogs/PropertySheet.h"
#include "res/ResourceIds.h"

namespace zo::pages {

void AnimatedPage::CreateAnimation() {
    QWidget* placeholder = ControlWidget(res::IDC_ANIMATION);
    if (!placeholder || !Widget()) {
        return;
    }
    QRect r = placeholder->geometry();
    m_mciWnd.Create(Widget(),
                    WS_CHILD | WS_VISIBLE | MCIWNDF_NOERRORDLG | MCIWNDF_NOTIFYMODE |
                        MCIWNDF_NOMENU | MCIWNDF_NOPLAYBAR,
                    files::DataFilePath(kAnimationClip),
                    [this](QWidget* window, int mode) { OnNotifyMode(window, mode); });
    m_mciWnd.MoveWindow(r, false);
}

void AnimatedPage::RestartAnimation() {
    m_mciWnd.Seek(MCIWND_START);
    m_mciWnd.Play();
}

long AnimatedPage::OnNotifyMode(QWidget* window, int /*mode*/) {
    if (!window || window != m_mciWnd.Widget()) {
        return 0;
    }
    if (!GetSheet() || GetSheet()->GetActivePage() != this) {
        return 0;
    }
    m_mciWnd.PlayFrom(0);
    return 0;
}

void AnimatedPage::OnDestroy() {
    m_mciWnd.DestroyWindow();
    ui::PropertyPage::OnDestroy();
}

}  // namespace zo::pages
