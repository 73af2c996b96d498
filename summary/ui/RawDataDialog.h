#pragma once

#include <string>

#include "platform/ui/controls/Controls.h"
#include "platform/ui/dialogs/Dialog.h"

namespace zo::summary {

// "Product Information": the card's raw identification text in a fixed-pitch font, with
// a button that puts exactly that text on the clipboard.
class RawDataDialog : public ui::Dialog {
public:
    // `rawIdentification` is the sheet's text; it must outlive the dialog.
    explicit RawDataDialog(const std::string& rawIdentification, QWidget* parentWindow = nullptr);

    // "&Copy to Clipboard": the text as plain text; nothing when it is empty.
    void OnCopyToClipboard();

    ui::Edit m_rawText;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;

private:
    // A copy: a caller may hand in a temporary, and the dialog shows the text only once.
    const std::string m_rawIdentification;
};

}  // namespace zo::summary
