#include "app/InstanceGate.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <chrono>

#include "app/RaiseWindow.h"

namespace zo::app {
namespace {

// A copy that holds the lock but is still starting has not listened yet.
constexpr std::chrono::seconds kAnswerLimit{10};

}  // namespace

InstanceGate::InstanceGate() = default;

InstanceGate::~InstanceGate() {
    delete m_notifier;
}

InstanceGate::Start InstanceGate::Claim(const std::string& storePath, std::string* warning) {
    std::string error;
    if (!files::FindInstancePlace(storePath, &m_place, &error)) {
        *warning = error;
        return Start::Run;
    }
    switch (files::ClaimWindows(m_place, &m_lock, kAnswerLimit, &error)) {
        case files::Claim::First:
            return Start::Run;
        case files::Claim::Raised:
            return Start::AlreadyRaised;
        case files::Claim::Unanswered:
            return Start::OtherSilent;
        case files::Claim::Failed:
            break;
    }
    *warning = error;
    return Start::Run;
}

void InstanceGate::Listen() {
    std::string error;
    if (!m_lock.Held() || !m_listener.Listen(m_place.socketPath, &error)) {
        return;
    }
    m_notifier = new QSocketNotifier(m_listener.Fd(), QSocketNotifier::Read, qApp);
    QObject::connect(m_notifier, &QSocketNotifier::activated,
                     [this] { m_listener.ServeWaiting(RaiseTopWindow); });
}

}  // namespace zo::app
