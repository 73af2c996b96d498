#include "link/ui/MissingCardDialog.h"

#include <QLabel>
#include <utility>

#include "res/ResourceIds.h"

namespace zo::link {

MissingCardDialog::MissingCardDialog(std::string details)
    : ui::Dialog(res::IDD_MISSING_CARD, nullptr), m_details(std::move(details)) {
    MapCommand(ui::BN_CLICKED, res::IDC_CONTINUE,
               [this] { EndDialog(static_cast<int>(MissingCardAnswer::Continue)); });
    MapCommand(ui::BN_CLICKED, res::IDC_SELECT_PORT,
               [this] { EndDialog(static_cast<int>(MissingCardAnswer::SelectPort)); });
}

bool MissingCardDialog::OnInitDialog() {
    const bool result = ui::Dialog::OnInitDialog();
    QWidget* window = Widget();
    if (m_details.empty() || !window) {
        return result;
    }
    // Below the buttons, as wide as the text above them, as tall as the lines need.
    auto* details = new QLabel(QString::fromStdString(m_details), window);
    details->setObjectName("details");
    details->setTextFormat(Qt::PlainText);
    details->setWordWrap(true);
    details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const QRect area = Units().ToPixels(res::DlgRect{25, 86, 188, 8});
    details->setFixedWidth(area.width());
    details->move(area.topLeft());
    details->adjustSize();
    details->show();
    window->setFixedSize(window->width(), area.top() + details->height() + Units().ToPixelsY(7));
    return result;
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
