#pragma once

#include "pages/AnimatedPage.h"

namespace zo::pages {

// A page shown from its template with the common frame and nothing else, standing in
// for a page whose own behaviour is not built yet. In a wizard it offers Back and Next
// (Finish on the last page) by its position.
// No process-wide seam and no message; user-interface thread.
class PlaceholderPage : public AnimatedPage {
public:
    explicit PlaceholderPage(int templateId) : AnimatedPage(templateId) {}

    bool OnSetActive() override;

protected:
    bool OnInitDialog() override;
};

}  // namespace zo::pages
