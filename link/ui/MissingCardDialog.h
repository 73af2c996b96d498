#pragma once

#include <string>

#include "link/MissingCardQuestion.h"
#include "platform/ui/dialogs/Dialog.h"

namespace zo::link {

// "Missing Card": asked at the wizard's Finish when the port cannot be opened. Continue
// (the default button) ends it with 100, "Select a Port" with 101; Cancel, Esc and the
// close box with IDCANCEL.
// No process-wide seam and no message; user-interface thread.
// `details` (why the port failed, one line a port) shows under the buttons when given.
class MissingCardDialog : public ui::Dialog, public MissingCardQuestion {
public:
    explicit MissingCardDialog(std::string details = {});

    // Runs the dialog modally; a window that cannot be made counts as Cancel.
    MissingCardAnswer Ask() override;

protected:
    bool OnInitDialog() override;

private:
    std::string m_details;
};

}  // namespace zo::link
