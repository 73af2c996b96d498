#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>

#include "platform/ui/dialogs/DialogUnits.h"
#include "res/DialogTemplate.h"

namespace zo::ui {

// Receives a control's notification: its id and the notification code.
using NotifyFn = std::function<void(int id, int code)>;

// Creates the controls of a template inside `parent`, in template order (which is the
// tab order), and wires the user's actions on them to `notify`. Returns the controls
// that have an id.
std::map<int, QPointer<QWidget>> CreateControls(const res::DialogTemplate& t,
                                                const DialogUnits& units, QWidget* parent,
                                                const NotifyFn& notify);

}  // namespace zo::ui
