#include "support/ui/SummaryFixture.h"

#include "res/Strings.h"
#include "store/ProfileStore.h"
#include "store/RegistryKey.h"

namespace zo::test {

int TestApp::RunSheet(ui::PropertySheet& sheet) {
    captions.push_back(sheet.Caption());
    return runSheet ? runSheet(sheet) : ui::IDCANCEL;
}

void CountingProgress::StepIt() {
    if (steps) {
        ++*steps;
    }
    if (onStep) {
        onStep();
    }
}

SummaryFixture::SummaryFixture()
    : m_previousClock(&platform::CurrentClock()), m_previousPorts(&comm::CurrentPortMap()) {
    platform::SetClock(&clock);
    comm::SetPortMap(&ports);
    ports.MapToDevice("COM3", card.Opener());
}

SummaryFixture::~SummaryFixture() {
    Close();
    app.Channel().ClosePort();
    comm::SetPortMap(m_previousPorts);
    platform::SetClock(m_previousClock);
}

void SummaryFixture::AddProfile(const std::string& name, const std::string& phone1,
                                const std::string& spid1, const std::string& port,
                                const std::string& switchType, const std::string& phone2,
                                const std::string& spid2) {
    store::Profile r;
    r.Location = name;
    r.Switch = switchType;
    r.Phone1 = phone1;
    r.SPID1 = spid1;
    r.Port = port;
    r.Baud = "115200";
    r.Bits = "8";
    r.Parity = "None";
    r.Stop = "1";
    r.Flow = "Hardware";
    r.terminal2 = !phone2.empty();
    r.Phone2 = phone2;
    r.SPID2 = spid2;
    store::RegistryKey key(store::HKEY_LOCAL_MACHINE, store::PccardPath());
    store::WriteProfile(key, r);
}

void SummaryFixture::MarkApplied(const std::string& name) {
    store::RegistryKey key(store::HKEY_LOCAL_MACHINE,
                           store::WithoutTrailingBackslash(store::CurrentPath()));
    store::MarkProfileActive(key, name);
}

std::vector<std::string> SummaryFixture::Applied() {
    store::RegistryKey key(store::HKEY_LOCAL_MACHINE,
                           store::WithoutTrailingBackslash(store::CurrentPath()));
    key.ReadSubkeys();
    return key.Results();
}

bool SummaryFixture::Open(const std::string& profile) {
    sheet = std::make_unique<summary::SummarySheet>(res::LoadString(res::IDS_TITLE));
    sheet->SetChannel(&app.Channel());
    sheet->SetWorkingProfile(&app.Profile());
    sheet->SetSheetRunner(&app);
    sheet->SetStartProfile(profile);
    sheet->m_configPage.SetProgressWindowMaker([this] {
        auto p = std::make_unique<CountingProgress>();
        p->steps = &progressSteps;
        p->onStep = [this] {
            if (onProgressStep) {
                onProgressStep();
            }
        };
        return p;
    });
    return sheet->Create();
}

void SummaryFixture::Close() {
    if (sheet) {
        sheet->DestroyWindow();
        sheet.reset();
    }
}

void SummaryFixture::PressClose() {
    sheet->PressButton(ui::PropertySheet::Button::Cancel);
}

std::vector<std::string> SummaryFixture::TakeTexts() {
    std::vector<std::string> t;
    t.swap(prompter.texts);
    prompter.details.clear();
    return t;
}

std::vector<std::string> SummaryFixture::TakeCardLines() {
    const auto& lines = card.Model().Lines();
    std::vector<std::string> fresh(lines.begin() + static_cast<std::ptrdiff_t>(m_linesSeen),
                                   lines.end());
    m_linesSeen = lines.size();
    return fresh;
}

std::string SummaryFixture::Text(int id) {
    return res::LoadString(id);
}

}  // namespace zo::test
