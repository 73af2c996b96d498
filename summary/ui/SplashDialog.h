#pragma once

#include "platform/ui/dialogs/Dialog.h"

namespace zo::summary {

// The borderless picture that covers the configuration page's first talk with the card.
// The user's input has no effect on it; its owner destroys it when the talk is over.
class SplashDialog : public ui::Dialog {
public:
    explicit SplashDialog(QWidget* parentWindow = nullptr);

    // Creates and shows the window; the event loop that keeps turning while the card is
    // asked paints it as soon as the window manager has mapped it.
    bool Create();
};

}  // namespace zo::summary
