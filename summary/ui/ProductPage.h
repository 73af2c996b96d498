#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "pages/AnimatedPage.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/conversation/Conversation.h"
#include "summary/RefreshWorker.h"
#include "summary/ui/RefreshMailbox.h"

namespace zo::link {
class ModemChannel;
}

namespace zo::summary {

class SummarySheet;

// The refresh period of the product page.
inline constexpr int kRefreshIntervalMs = 5000;

// "Product Info": what the card says about itself and the state of its ISDN line, with a
// sign for the line state. While the page is active a timer ticks every five seconds and
// a worker thread asks the page, on the user-interface thread, to query the card again.
// Seams: the refresh events, through its RefreshWorker. Each refresh is a background card
// conversation: the window stays live while the card is asked, and leaving the page or
// closing the window gives the refresh up at once. The clock, the port map and the
// prompter go through the channel: message 110 (Retry or Cancel) is the only one it shows.
class ProductPage : public pages::AnimatedPage {
public:
    ProductPage();
    ~ProductPage() override;

    bool OnSetActive() override;
    bool OnKillActive() override;
    void OnReset() override;

    // The timer's tick.
    void OnTimer();
    // Starts one refresh; when it ends the page shows what the card said and `finished`
    // hears 1, or 0 when the first command could not be sent. While the card cannot be
    // reached the line status is empty and the sign is 142. False, nothing started, when
    // the card is busy with another conversation or the page has no window.
    bool StartRefresh(std::function<void(long)> finished);
    // A refresh of this page is on its way to the card.
    bool Refreshing() const { return m_refresh.InFlight(); }
    // The five-second timer runs.
    bool Ticking() const { return m_timer && m_timer->isActive(); }
    // "Raw Data ...".
    void OnRawData();

    // The sign shown: bitmap 140, 141 or 142.
    int SignShown() const { return m_signId; }
    // Requests the worker asked, and those that reached the page while their worker
    // still waited.
    int RequestsPosted() const { return m_requestsPosted; }
    int RequestsServed() const { return m_requestsServed; }
    // The refresh worker runs: from the page's activation until it is left or closed.
    bool WorkerRunning() const { return m_workerRunning; }

    ui::Static m_statusSign;
    std::string m_lineStatus;
    std::string m_productName;
    std::string m_releaseDate;
    std::string m_softwareRevision;

protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    bool OnInitDialog() override;
    void OnDestroy() override;

private:
    summary::SummarySheet* Sheet() const;
    link::ModemChannel* Channel() const;
    // Fills the four fields from the sheet's raw identification text.
    void ParseFields();
    void ShowSign();
    void StopRefresh();
    // The next refresh comes a full period from now.
    void PostponeNextRefresh();
    void Serve(const std::shared_ptr<RefreshRequest>& request);

    RefreshWorker m_worker;
    std::unique_ptr<QTimer> m_timer;
    // Lives on the user-interface thread; the worker's requests are delivered to it.
    std::unique_ptr<RefreshMailbox> m_mailbox;
    int m_signId = 0;
    bool m_workerRunning = false;
    std::atomic<int> m_requestsPosted{0};
    int m_requestsServed = 0;
    // Last, so that it gives its worker up and waits for it before the rest goes.
    ui::BackgroundConversation m_refresh;
};

}  // namespace zo::summary
