#pragma once

#include <QIcon>
#include <string>

#include "platform/ui/PropertySheet.h"
#include "platform/ui/SheetRunner.h"
#include "summary/ui/CConfigPage.h"
#include "summary/ui/CGeneralPage.h"
#include "summary/ui/CProductPage.h"

namespace zo::link {
class ModemChannel;
}

namespace zo::summary {

// The tabbed configuration window: "Configure", "Product Info" and " General", with
// "Close" and Apply and no OK button. On opening it makes sure the card's port can be
// opened, looking for the card first when no port is known. It holds what its pages
// share.
class CSummarySheet : public ui::PropertySheet {
public:
    CSummarySheet(const std::string& title, QWidget* parentWindow = nullptr, int selectPage = 0);

    // Opens the product help at 3000 + the active tab's index, whatever was asked.
    void WinHelp(unsigned long data, unsigned command) override;

    summary::CConfigPage m_configPage;
    summary::CProductPage m_productPage;
    summary::CGeneralPage m_generalPage;
    // True while the profile shown is not the one last applied to the card.
    bool m_profileModified = false;
    // The port of the profile shown, for the " General" page.
    std::string m_portName;
    // The card's answers to "ATI9" and "ATI10".
    std::string m_rawIdentification;
    link::ModemChannel* m_pChannel = nullptr;
    // Runs the new-profile wizard; without one the wizard runs modally by itself.
    ui::SheetRunner* m_sheetRunner = nullptr;
    QIcon m_hIcon;
    // Conversations with the card under way; the product page's refresh waits its turn.
    int m_cardInUse = 0;

protected:
    int OnCreate() override;
    bool OnInitDialog() override;
    bool OnPaint(QPainter& painter) override;
    QIcon OnQueryDragIcon() const override { return m_hIcon; }
};

// Marks one conversation with the card for its lifetime, so that no other starts inside
// it when a message box lets queued requests through.
class CardConversation {
public:
    explicit CardConversation(CSummarySheet& sheet) : m_sheet(sheet) { ++m_sheet.m_cardInUse; }
    ~CardConversation() { --m_sheet.m_cardInUse; }
    CardConversation(const CardConversation&) = delete;
    CardConversation& operator=(const CardConversation&) = delete;

private:
    CSummarySheet& m_sheet;
};

}  // namespace zo::summary
