#pragma once

#include "platform/ui/Dialog.h"

namespace zo::app {

// The borderless picture that covers the configuration page's first talk with the card.
// The user's input has no effect on it; its owner destroys it when the talk is over.
class SplashDialog : public ui::Dialog {
public:
    explicit SplashDialog(QWidget* parentWindow = nullptr);

    // Creates the window and shows the picture at once: the program is busy with the card
    // right after and paints nothing until then.
    bool Create();
};

}  // namespace zo::app
