#include "wizard/ui/LocationPage.h"

#include <utility>
#include <vector>

#include "platform/prompt/Prompter.h"
#include "platform/registry/Hive.h"
#include "platform/ui/dialogs/AfterFirstPaint.h"
#include "platform/ui/dialogs/DataExchange.h"
#include "platform/ui/dialogs/PropertySheet.h"
#include "res/ResourceIds.h"
#include "res/Strings.h"
#include "store/ProfileStore.h"
#include "wizard/CancelQuestion.h"
#include "wizard/DefaultLocation.h"

namespace zo::wizard {

LocationPage::LocationPage(link::WorkingProfile* profile)
    : pages::AnimatedPage(res::IDD_LOCATION), m_profile(profile) {}

void LocationPage::DoDataExchange(ui::DataExchange& dx) {
    ui::DDX_Control(dx, res::IDC_LOCATION_NAME, m_locationEdit);
    ui::DDX_Text(dx, res::IDC_LOCATION_NAME, m_locationName);
    ui::DDX_Check(dx, res::IDC_NO_AUTO_DETECT, m_noAutoDetect);
}

bool LocationPage::OnInitDialog() {
    pages::AnimatedPage::OnInitDialog();
    std::vector<std::string> taken;
    const auto exists = store::StoreFileExists();
    if (!exists.Ok() || exists.Value()) {
        // Opening the PCCARD key creates it, so a first start leaves it behind, empty.
        // Only the proposed name depends on it: a store that cannot be read (or looked
        // for) is reported when the name is looked up on Next.
        m_registryKey =
            std::make_unique<store::RegistryKey>(store::HKEY_LOCAL_MACHINE, store::PccardPath());
        if (m_registryKey->ReadSubkeys().Ok()) {
            taken = m_registryKey->Results();
        }
        m_registryKey.reset();
    } else {
        // No store yet, so no name is taken. Making the store and the key costs some disk
        // flushes, which the user need not wait for before seeing the window.
        ui::AfterFirstPaint(Widget(), [] {
            store::RegistryKey key(store::HKEY_LOCAL_MACHINE, store::PccardPath());
        });
    }
    m_profile->Location = DefaultLocationName(res::LoadString(res::IDS_DEFAULT_LOCATION), taken);
    CreateAnimation();
    return true;
}

bool LocationPage::OnSetActive() {
    bool result = pages::AnimatedPage::OnSetActive();
    GetSheet()->SetWizardButtons(ui::PSWIZB_NEXT);
    if (!m_profile->Location.empty()) {
        m_locationName = m_profile->Location;
    }
    UpdateData(false);
    RestartAnimation();
    return result;
}

int LocationPage::Refuse(int stringId) {
    ShowMessage(stringId);
    m_locationEdit.SetFocus();
    return -1;
}

int LocationPage::OnWizardNext() {
    UpdateData(true);
    if (m_locationName.empty()) {
        return Refuse(res::IDS_LOCATION_REQUIRED);
    }
    // A backslash would address a nested key, an overlong name would be refused or cut by
    // the store, and a control character would break the line of a registry file; such a
    // name is never stored in part.
    if (!store::IsNewProfileName(m_locationName)) {
        return Refuse(res::IDS_NAME_NOT_STORABLE);
    }
    const store::StoreValue<bool> inUse = LookUpName();
    if (!inUse.Ok()) {
        // Whether the name is free is not known: the user is told, and may try again.
        platform::CurrentPrompter().Ask(res::LoadString(res::IDS_REGISTRY_FAILED),
                                        platform::Buttons::Ok, platform::Icon::None,
                                        inUse.Result().text);
        m_locationEdit.SetFocus();
        return -1;
    }
    if (inUse.Value()) {
        m_locationName.clear();
        UpdateData(false);
        return Refuse(res::IDS_NAME_IN_USE);
    }
    m_profile->Location = m_locationName;
    m_profile->AutoDetect = m_noAutoDetect == 0;
    return 0;
}

store::StoreValue<bool> LocationPage::LookUpName() {
    // One transaction: a profile another program imports under the name meanwhile is
    // either seen here or imported after the empty key is gone, never deleted with it.
    registry::Hive& hive = registry::DefaultHive();
    registry::Hive::Batch batch(hive);
    if (!batch.Ok()) {
        return store::HiveFailure(hive, batch.Begun());
    }
    m_registryKey = std::make_unique<store::RegistryKey>(store::HKEY_LOCAL_MACHINE,
                                                         store::ProfilePath(m_locationName));
    store::StoreResult read = m_registryKey->Opened();
    if (read.Ok()) {
        read = m_registryKey->ReadValues();
    }
    const bool inUse = read.Ok() && !m_registryKey->Results().empty();
    // Opening the key to look created it; a free name leaves no empty key behind. One with
    // subkeys of its own stays, and the name is free all the same.
    if (read.Ok() && !inUse) {
        m_registryKey->DeleteKey();
    }
    m_registryKey.reset();
    if (!read.Ok()) {
        return read;
    }
    if (const registry::Status committed = batch.Commit(); !committed.IsOk()) {
        return store::HiveFailure(hive, committed);
    }
    return inUse;
}

bool LocationPage::OnQueryCancel() {
    if (!ConfirmWizardCancel()) {
        return false;
    }
    // Only the empty key the look-up may have made goes; a stored profile of that name,
    // saved meanwhile by another run, stays.
    if (store::IsStorableName(m_locationName)) {
        LookUpName();
    }
    return true;
}

}  // namespace zo::wizard
