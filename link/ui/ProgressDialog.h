#pragma once

#include "link/ProgressWindow.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/dialogs/Dialog.h"

namespace zo::link {

// The "Progress" window card programming advances stage by stage: modeless, without a
// parent, made at construction and closed when the object goes.
// No message. User-interface thread, except StepIt: any thread, handed over through the
// UI call queue (ui::CallOnUiThread).
class ProgressDialog : public ui::Dialog, public ProgressWindow {
public:
    ProgressDialog();
    ~ProgressDialog() override;

    // One step of the bar. Programming steps it from its worker thread; the bar is moved
    // on the user-interface thread, whose loop paints it.
    void StepIt() override;
    int Position() const { return m_progress.GetPos(); }

    ui::ProgressCtrl m_progress;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
};

}  // namespace zo::link
