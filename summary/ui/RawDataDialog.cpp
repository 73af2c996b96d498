#include "summary/ui/RawDataDialog.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "platform/ui/controls/FixedPitchFont.h"
#include "platform/ui/controls/Text.h"
#include "platform/ui/dialogs/DataExchange.h"
#include "res/ResourceIds.h"

namespace zo::summary {

RawDataDialog::RawDataDialog(const std::string& rawIdentification, QWidget* parentWindow)
    : ui::Dialog(res::IDD_RAW_DATA, parentWindow), m_rawIdentification(rawIdentification) {
    MapCommand(ui::BN_CLICKED, res::IDC_COPY_TO_CLIPBOARD, [this] { OnCopyToClipboard(); });
}

void RawDataDialog::DoDataExchange(ui::DataExchange& dx) {
    ui::Dialog::DoDataExchange(dx);
    ui::DDX_Control(dx, res::IDC_RAW_TEXT, m_rawText);
}

bool RawDataDialog::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    if (QWidget* edit = m_rawText.Widget()) {
        // The card lays its answers out in columns.
        edit->setFont(ui::FixedPitchFont());
    }
    m_rawText.SetWindowText(m_rawIdentification);
    return true;
}

void RawDataDialog::OnCopyToClipboard() {
    if (m_rawIdentification.empty()) {
        return;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        return;
    }
    // Taken from the sheet's text, not from the edit, as the text the clipboard offers.
    auto* data = new QMimeData;
    data->setText(ui::ToQ(m_rawIdentification));
    clipboard->setMimeData(data);  // the clipboard owns it from here
}

}  // namespace zo::summary
