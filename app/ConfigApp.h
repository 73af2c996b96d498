#pragma once

#include "link/ModemChannel.h"
#include "platform/ui/SheetRunner.h"

namespace zo::summary {
class CSummarySheet;
}

namespace zo::app {

// The wizard's caption at a first start.
inline constexpr const char* kFirstTimeCaption = "First Time";

// The application: it owns the channel every page uses and decides once, at start,
// whether the wizard runs before the configuration window.
class ConfigApp : public ui::SheetRunner {
public:
    ConfigApp();
    virtual ~ConfigApp();
    ConfigApp(const ConfigApp&) = delete;
    ConfigApp& operator=(const ConfigApp&) = delete;

    // The application object while one exists.
    static ConfigApp* Instance();

    // Runs the wizard when no profile was ever applied to the card, then the
    // configuration window. Always false: the program ends when it returns.
    bool InitInstance();

    link::ModemChannel m_channel;
    // The configuration window while it runs.
    summary::CSummarySheet* m_summarySheet = nullptr;

    // Runs a sheet modally and returns its result; the configuration page runs the
    // new-profile wizard through it too.
    int RunSheet(ui::PropertySheet& sheet) override;

protected:
    // Whether the window system offers what the windows use (dialogs, the clipboard).
    virtual bool InitOle();
};

}  // namespace zo::app
