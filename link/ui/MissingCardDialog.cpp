#include "link/ui/MissingCardDialog.h"

#include "res/ResourceIds.h"

namespace zo::link {

MissingCardDialog::MissingCardDialog() : ui::Dialog(res::IDD_MISSING_CARD, nullptr) {
    MapCommand(ui::BN_CLICKED, res::IDC_CONTINUE,
               [this] { EndDialog(static_cast<int>(MissingCardAnswer::Continue)); });
    MapCommand(ui::BN_CLICKED, res::IDC_SELECT_PORT,
               [this] { EndDialog(static_cast<int>(MissingCardAnswer::SelectPort)); });
}

MissingCardAnswer MissingCardDialog::Ask() {
    switch (DoModal()) {
        case static_cast<int>(MissingCardAnswer::Continue):
            return MissingCardAnswer::Continue;
        case static_cast<int>(MissingCardAnswer::SelectPort):
            return MissingCardAnswer::SelectPort;
        default:
            return MissingCardAnswer::Cancel;
    }
}

}  // namespace zo::link
