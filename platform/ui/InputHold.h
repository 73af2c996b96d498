#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace zo::ui {

// Holds off the user while a card conversation runs with the event loop turning: keys,
// clicks and wheel turns meant for the windows that were open when it began are thrown
// away (never replayed later, so a double-clicked Apply programs the card once), and a
// request to close one of them is kept and carried out when the conversation has ended.
// Windows opened meanwhile, the questions the conversation asks, take input as usual.
class InputHold : public QObject {
public:
    InputHold();
    ~InputHold() override;
    InputHold(const InputHold&) = delete;
    InputHold& operator=(const InputHold&) = delete;

    // Ends the hold: removes the filter and closes the windows whose closing was held.
    void Release();

    int Discarded() const { return m_discarded; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool IsHeld(const QWidget* window) const;

    std::vector<QPointer<QWidget>> m_held;
    std::vector<QPointer<QWidget>> m_closeLater;
    bool m_active = true;
    int m_discarded = 0;
};

}  // namespace zo::ui
