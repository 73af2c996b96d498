#pragma once

#include "link/ModemChannel.h"
#include "link/WorkingProfile.h"
#include "platform/registry/Hive.h"
#include "platform/ui/dialogs/SheetRunner.h"
#include "res/Translation.h"

namespace zo::app {

// The wizard's caption at a first start.
inline constexpr const char* kFirstTimeCaption = N_("First Time");

// The application: it owns the channel and the working profile every page uses and decides
// once, at start, whether the wizard runs before the configuration window. Nothing reaches
// it through a global: the sheets are handed the channel, the profile and this sheet runner.
// Seams: the prompter (message 130 when the window system lacks what the windows need)
// and the hive it is handed (the first-start test). User-interface thread.
class ConfigApp : public ui::SheetRunner {
public:
    // The channel talks through `context` and the configuration window keeps its profiles in
    // `hive`; the program's are the defaults, the seams in force.
    explicit ConfigApp(link::LinkContext context = {},
                       registry::Hive& hive = registry::DefaultHive())
        : m_channel(context), m_hive(hive) {}
    ~ConfigApp() override = default;
    ConfigApp(const ConfigApp&) = delete;
    ConfigApp& operator=(const ConfigApp&) = delete;

    // Runs the wizard when no profile was ever applied to the card, then the
    // configuration window. Always false: the program ends when it returns.
    bool InitInstance();

    // The channel every page uses.
    link::ModemChannel& Channel() { return m_channel; }
    // The profile the wizard makes, which the configuration window takes over.
    link::WorkingProfile& Profile() { return m_profile; }

    // Runs a sheet modally and returns its result; the configuration page runs the
    // new-profile wizard through it too.
    int RunSheet(ui::PropertySheet& sheet) override;

protected:
    // Whether the window system offers what the windows use (dialogs, the clipboard).
    virtual bool WindowSystemReady();

private:
    link::ModemChannel m_channel;
    link::WorkingProfile m_profile;
    registry::Hive& m_hive;
};

}  // namespace zo::app
