#include "summary/ui/ProductPage.h"

#include <QMetaObject>

#include "link/CardIdentity.h"
#include "link/CardRefresh.h"
#include "link/ModemChannel.h"
#include "platform/ui/conversation/Conversation.h"
#include "platform/ui/dialogs/DataExchange.h"
#include "res/ResourceIds.h"
#include "res/Translation.h"
#include "res/ui/Artwork.h"
#include "summary/ui/RawDataDialog.h"
#include "summary/ui/SummarySheet.h"

namespace zo::summary {
namespace {

// A sign's bitmap and what a screen reader says of it instead.
struct SignLook {
    int bitmap;
    const char* name;
    const char* description;
};

SignLook SignLookFor(const std::string& lineStatus) {
    switch (link::SignFor(lineStatus)) {
        case link::LineSign::Stop:
            return {res::IDB_SIGN_STOP, N_("Line inactive"),
                    N_("Stop sign: the card reports its physical interface to the ISDN line "
                       "inactive.")};
        case link::LineSign::Go:
            return {res::IDB_SIGN_ACTIVE, N_("Line active"),
                    N_("Green sign: the card reports the ISDN line active.")};
        case link::LineSign::Yield:
            break;
    }
    return {res::IDB_SIGN_YIELD, N_("Line state unknown"),
            N_("Yield sign: the card reports the ISDN line neither active nor inactive.")};
}

}  // namespace

ProductPage::ProductPage() : pages::AnimatedPage(res::IDD_PRODUCT) {
    MapCommand(ui::BN_CLICKED, res::IDC_RAW_DATA, [this] { OnRawData(); });
}

ProductPage::~ProductPage() {
    StopRefresh();
}

summary::SummarySheet* ProductPage::Sheet() const {
    return dynamic_cast<summary::SummarySheet*>(GetSheet());
}

link::ModemChannel* ProductPage::Channel() const {
    summary::SummarySheet* sheet = Sheet();
    return sheet ? sheet->Channel() : nullptr;
}

void ProductPage::DoDataExchange(ui::DataExchange& dx) {
    pages::AnimatedPage::DoDataExchange(dx);
    ui::DDX_Control(dx, res::IDC_STATUS_SIGN, m_statusSign);
    ui::DDX_Text(dx, res::IDC_LINE_STATUS, m_lineStatus);
    ui::DDX_Text(dx, res::IDC_PRODUCT_NAME, m_productName);
    ui::DDX_Text(dx, res::IDC_RELEASE_DATE, m_releaseDate);
    ui::DDX_Text(dx, res::IDC_SOFTWARE_REVISION, m_softwareRevision);
}

bool ProductPage::OnInitDialog() {
    pages::AnimatedPage::OnInitDialog();
    m_mailbox = std::make_unique<RefreshMailbox>(
        [this](const std::shared_ptr<RefreshRequest>& request) { Serve(request); });
    ParseFields();
    m_signId = 0;
    ShowSign();
    // The values found by the configuration page's first query are shown at once, not
    // only after the first refresh.
    UpdateData(false);
    CreateAnimation();
    return true;
}

void ProductPage::ParseFields() {
    summary::SummarySheet* sheet = Sheet();
    const std::string raw = sheet ? sheet->RawIdentification() : std::string();
    link::ApplyFieldRule(raw, "Product Name:", &m_productName);
    link::ApplyFieldRule(raw, "Software Revision:", &m_softwareRevision);
    link::ApplyFieldRule(raw, "Software Release Date:", &m_releaseDate);
    m_lineStatus = link::LineStatusOf(raw);
}

void ProductPage::ShowSign() {
    const SignLook sign = SignLookFor(m_lineStatus);
    if (sign.bitmap == m_signId) {
        return;
    }
    m_signId = sign.bitmap;
    // The pictures are drawn once and shared: the label holds the only other reference,
    // which the new picture replaces and so releases.
    m_statusSign.SetBitmap(res::LoadBitmap(sign.bitmap));
    m_statusSign.SetAccessibleText(res::Tr(sign.name), res::Tr(sign.description));
}

bool ProductPage::OnSetActive() {
    bool result = pages::AnimatedPage::OnSetActive();
    if (!m_timer) {
        m_timer = std::make_unique<QTimer>();
        m_timer->setInterval(kRefreshIntervalMs);
        QObject::connect(m_timer.get(), &QTimer::timeout, [this] { OnTimer(); });
    }
    m_timer->start();

    RefreshMailbox* mailbox = m_mailbox.get();
    m_workerRunning = m_worker.Start([this, mailbox](std::shared_ptr<RefreshRequest> request) {
        // Runs on the worker: the request is served when the user-interface thread next
        // dispatches, or dropped with the mailbox.
        ++m_requestsPosted;
        mailbox->Post(std::move(request));
    });
    SetModified(true);
    RestartAnimation();
    return result;
}

void ProductPage::OnTimer() {
    m_worker.Tick();
}

void ProductPage::Serve(const std::shared_ptr<RefreshRequest>& request) {
    if (!request->Begin()) {
        return;  // the worker that asked has been stopped
    }
    ++m_requestsServed;
    if (!StartRefresh([request](long result) { request->Finish(result); })) {
        request->Finish(0);
    }
}

bool ProductPage::StartRefresh(std::function<void(long)> finished) {
    link::ModemChannel* channel = Channel();
    if (!channel || !Widget()) {
        return false;
    }
    struct Outcome {
        std::string raw;
        link::RefreshResult result = link::RefreshResult::Unreachable;
    };
    auto outcome = std::make_shared<Outcome>();
    const int prompts = channel->WritePrompts();
    return m_refresh.Start(
        [channel, outcome] {
            outcome->result = link::RefreshIdentification(*channel, &outcome->raw);
        },
        [this, channel, outcome, prompts, finished = std::move(finished)] {
            // Ticks that came while the card kept silent, or while the write question was
            // open, would start the next refresh at once, and with it the wait or the
            // question again.
            if (outcome->result != link::RefreshResult::Done ||
                channel->WritePrompts() != prompts) {
                PostponeNextRefresh();
            }
            if (outcome->result != link::RefreshResult::Done) {
                // The line state is unknown while the card cannot be reached; what the
                // card said about itself stays.
                m_lineStatus.clear();
            } else if (summary::SummarySheet* sheet = Sheet()) {
                sheet->SetRawIdentification(outcome->raw);
                ParseFields();
            }
            ShowSign();
            UpdateData(false);
            finished(outcome->result == link::RefreshResult::NotSent ? 0 : 1);
        });
}

void ProductPage::PostponeNextRefresh() {
    m_worker.DropTicks();
    if (m_timer && m_timer->isActive()) {
        m_timer->start();
    }
}

void ProductPage::StopRefresh() {
    if (m_timer) {
        m_timer->stop();
    }
    // The card may keep silent for seconds: the page goes on without waiting for it.
    m_refresh.Abandon();
    if (m_workerRunning) {
        m_worker.Stop();
        m_workerRunning = false;
    }
}

bool ProductPage::OnKillActive() {
    StopRefresh();
    return pages::AnimatedPage::OnKillActive();
}

void ProductPage::OnReset() {
    if (m_workerRunning) {
        StopRefresh();
    }
    pages::AnimatedPage::OnReset();
}

void ProductPage::OnDestroy() {
    StopRefresh();
    pages::AnimatedPage::OnDestroy();
}

void ProductPage::OnRawData() {
    summary::SummarySheet* sheet = Sheet();
    static const std::string kNone;
    RawDataDialog dialog(sheet ? sheet->RawIdentification() : kNone);
    dialog.DoModal();
}

}  // namespace zo::summary
