#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace zo::ui {

// A window property: set on a window that only shows a conversation's progress (the
// progress window, the splash), which a hold leaves alone so that it keeps its look.
inline constexpr const char* kConversationWindow = "zoConversationWindow";
// A button property: a click on it asks its window to close (a sheet's Close or Cancel).
inline constexpr const char* kClosesWindow = "zoClosesWindow";

// Holds off the user while a card conversation runs with the event loop turning. The
// windows that were open when it began are disabled, so no key, click, focus change or
// accessibility action reaches their handlers, and the user sees it. Keys and clicks
// meant for them are thrown away, never replayed (a double-clicked Apply programs the
// card once). A request to close one of them (the title bar, Esc, its Close button) is
// kept and carried out once the user action that started the conversation has returned,
// never inside it. Windows opened meanwhile, the questions the conversation asks, take
// input as usual. User-interface thread.
class InputHold : public QObject {
public:
    InputHold();
    ~InputHold() override;
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

    // Ends the hold: enables the windows again, gives the focus back and hands the
    // requests to close on (carried out by CarryOutHeldCloses).
    void Release();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Held {
        QPointer<QWidget> window;
        QPointer<QWidget> focus;
        // Its contents, disabled: the window itself stays enabled, or the window system's
        // request to close it would never reach it.
        std::vector<QPointer<QWidget>> disabled;
    };

    bool IsHeld(const QWidget* window) const;

    std::vector<Held> m_held;
    bool m_active = true;
};

// Marks a user action's handler on the stack (a button, a tab, a page's command): the
// requests to close held during a conversation it started wait until it has returned.
class ActionScope {
public:
    ActionScope();
    ~ActionScope();
    ActionScope(const ActionScope&) = delete;
    ActionScope& operator=(const ActionScope&) = delete;
};

// True while a user action's handler runs, also in a nested loop inside it.
bool InUserAction();
// Closes the windows whose closing was held, unless a conversation or a user action is
// still under way; then the one that ends later does it. The request is carried out
// from the event loop, never from inside the caller.
void CarryOutHeldCloses();
// The windows waiting to be closed; tests.
int HeldCloses();
// Whether the user asked to close `window` while it was held and the request has not been
// carried out: a window that ended itself meanwhile (a wizard's Finish) still has it.
bool CloseWasHeld(const QWidget* window);

}  // namespace zo::ui
