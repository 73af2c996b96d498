#pragma once

#include <QPointer>
#include <QSocketNotifier>
#include <string>

#include "platform/files/SingleInstance.h"

namespace zo::app {

// Keeps one copy of the windows per user and store. A start claims the store before it
// opens a window: when another copy has it, that copy raises its window and this start
// ends. The copy that has it listens once the application object exists, and gives the
// claim up with the object. Without a private folder for the lock the windows run
// unguarded, as they did before. User-interface thread.
class InstanceGate {
public:
    InstanceGate();
    ~InstanceGate();
    InstanceGate(const InstanceGate&) = delete;
    InstanceGate& operator=(const InstanceGate&) = delete;

    enum class Start { Run, AlreadyRaised, OtherSilent };
    // Before the application object: whether this start runs the windows. A claim that
    // fails for want of a folder or file lets it run, with the reason in `warning`.
    Start Claim(const std::string& storePath, std::string* warning);
    // After it: answers later starts by raising the top window.
    void Listen();

private:
    files::InstancePlace m_place;
    files::InstanceLock m_lock;
    files::RaiseListener m_listener;
    QPointer<QSocketNotifier> m_notifier;  // the application's child
};

}  // namespace zo::app
