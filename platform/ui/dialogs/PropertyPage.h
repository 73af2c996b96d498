#pragma once

#include <string>

#include "platform/ui/dialogs/Dialog.h"

namespace zo::ui {

class PropertySheet;

// One page of a property sheet. Its window is made the first time the page is shown
// (OnInitDialog runs then); the sheet tells it when it becomes active and when it stops
// being active, and passes on the sheet's buttons.
class PropertyPage : public Dialog {
public:
    explicit PropertyPage(int templateId);

    PropertySheet* GetSheet() const { return m_sheet; }
    // The caption of the page's template: a tab's label.
    std::string Caption() const { return Template().caption; }

    // Marks the page changed; the sheet's Apply button is available while any page is.
    void SetModified(bool changed = true);
    bool IsModified() const { return m_modified; }

    // Notifications from the sheet.
    // The page becomes the active one; false refuses.
    virtual bool OnSetActive();
    // The page stops being active; false keeps it.
    virtual bool OnKillActive();
    // Back and Next: 0 moves to the neighbouring page, -1 stays, a template id goes to
    // the page of that template.
    virtual int OnWizardBack();
    virtual int OnWizardNext();
    // Finish: false keeps the wizard open.
    virtual bool OnWizardFinish();
    // Cancel or close: false keeps the sheet open.
    virtual bool OnQueryCancel();
    virtual bool OnApply();
    virtual void OnReset();

protected:
    // A page never ends a dialog: OK and Cancel belong to the sheet.
    void OnOK() override {}
    void OnCancel() override {}

private:
    friend class PropertySheet;

    PropertySheet* m_sheet = nullptr;
    bool m_modified = false;
    bool m_firstSetActive = true;
};

}  // namespace zo::ui
