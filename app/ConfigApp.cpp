#include "app/ConfigApp.h"

#include <QClipboard>
#include <QGuiApplication>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/prompt/Prompter.h"
#include "platform/registry/Hive.h"
#include "res/Strings.h"
#include "res/Translation.h"
#include "store/ProfileStore.h"
#include "summary/ui/SummarySheet.h"
#include "wizard/ui/WizardSheet.h"

namespace zo::app {

bool ConfigApp::WindowSystemReady() {
    return qGuiApp != nullptr && QGuiApplication::clipboard() != nullptr;
}

int ConfigApp::RunSheet(ui::PropertySheet& sheet) {
    return sheet.DoModal();
}

bool ConfigApp::InitInstance() {
    if (!WindowSystemReady()) {
        platform::CurrentPrompter().Ask(res::LoadString(res::IDS_OLE_FAILED),
                                        platform::Buttons::Ok);
        return false;
    }

    // A profile was applied to the card once exactly when CURRENT has a subkey. Looked up
    // without creating the key, nor the store when there is none: a first start writes
    // nothing before its window shows.
    // A store that cannot be read is no first start: the user is told, and nothing is
    // shown that could save over what it holds.
    const auto storeFailed = [](const store::StoreResult& why) {
        platform::CurrentPrompter().Ask(res::LoadString(res::IDS_REGISTRY_FAILED),
                                        platform::Buttons::Ok, platform::Icon::None, why.text);
        return false;
    };
    const auto exists = store::StoreFileExists(m_hive);
    if (!exists.Ok()) {
        return storeFailed(exists.Result());
    }
    bool applied = false;
    if (exists.Value()) {
        const auto active = store::ActiveProfileName(m_hive);
        if (!active.Ok()) {
            return storeFailed(active.Result());
        }
        applied = !active.Value().empty();
    }

    if (!applied) {
        std::unique_ptr<wizard::WizardSheet> wizard(new (std::nothrow) wizard::WizardSheet(
            res::Tr(kFirstTimeCaption), nullptr, 0, &m_channel, &m_profile));
        if (!wizard) {
            return false;
        }
        int result = RunSheet(*wizard);
        // Closed while Finish programmed the card: the user asked to leave, not for more.
        const bool closed = wizard->CloseRequested();
        wizard.reset();
        if (result == ui::IDCANCEL || closed) {
            return false;
        }
        // The configuration window opens the port the wizard chose or found.
        m_channel.SetLine(m_profile.Line());
    }

    std::unique_ptr<summary::SummarySheet> summary(new (std::nothrow) summary::SummarySheet(
        res::LoadString(res::IDS_TITLE), nullptr, 0, m_hive));
    if (!summary) {
        return false;
    }
    summary->SetChannel(&m_channel);
    summary->SetWorkingProfile(&m_profile);
    summary->SetSheetRunner(this);
    summary->SetStartProfile(m_profile.Location);
    RunSheet(*summary);
    return false;
}

}  // namespace zo::app
