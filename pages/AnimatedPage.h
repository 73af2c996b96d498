#pragma once

#include <QWidget>

#include "pages/ClipWindow.h"
#include "platform/ui/dialogs/PropertyPage.h"

namespace zo::pages {

// The clip every page shows in its top right corner.
inline constexpr const char* kAnimationClip = "globe.avi";

// The frame all pages of both sheets share: the banner of their template and the clip
// "globe.avi" over the hidden placeholder 1041, restarted whenever the page becomes
// active and kept looping only while it is the active page.
// No process-wide seam and no message; user-interface thread.
class AnimatedPage : public ui::PropertyPage {
public:
    explicit AnimatedPage(int templateId) : ui::PropertyPage(templateId) {}

    // The mode notification of an animation window: a change of the active page's own
    // clip plays it again from the start; anything else is ignored.
    virtual long OnNotifyMode(QWidget* window, int mode);

    ClipWindow m_mciWnd;

protected:
    // The end of each page's OnInitDialog: the window goes over the placeholder.
    void CreateAnimation();
    // The end of each page's OnSetActive: rewind, then play.
    void RestartAnimation();
    void OnDestroy() override;
};

}  // namespace zo::pages
