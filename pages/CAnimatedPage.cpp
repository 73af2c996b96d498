#include "pages/CAnimatedPage.h"

#include "platform/files/DataFile.h"
#include "platform/ui/PropertySheet.h"
#include "res/ResourceIds.h"

namespace zo::pages {

void CAnimatedPage::CreateAnimation() {
    QWidget* placeholder = GetDlgItem(res::IDC_ANIMATION);
    if (!placeholder || !GetSafeHwnd()) {
        return;
    }
    QRect r = placeholder->geometry();
    m_mciWnd.Create(GetSafeHwnd(),
                    WS_CHILD | WS_VISIBLE | MCIWNDF_NOERRORDLG | MCIWNDF_NOTIFYMODE |
                        MCIWNDF_NOMENU | MCIWNDF_NOPLAYBAR,
                    files::DataFilePath(kAnimationClip),
                    [this](QWidget* window, int mode) { OnNotifyMode(window, mode); });
    m_mciWnd.MoveWindow(r, false);
}

void CAnimatedPage::RestartAnimation() {
    m_mciWnd.Seek(MCIWND_START);
    m_mciWnd.Play();
}

long CAnimatedPage::OnNotifyMode(QWidget* window, int /*mode*/) {
    if (!window || window != m_mciWnd.GetSafeHwnd()) {
        return 0;
    }
    if (!GetSheet() || GetSheet()->GetActivePage() != this) {
        return 0;
    }
    m_mciWnd.PlayFrom(0);
    return 0;
}

void CAnimatedPage::OnDestroy() {
    m_mciWnd.DestroyWindow();
    ui::PropertyPage::OnDestroy();
}

}  // namespace zo::pages
