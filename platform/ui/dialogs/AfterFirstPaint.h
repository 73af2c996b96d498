#pragma once

#include <QObject>
#include <functional>

namespace zo::ui {

// Runs `work` once, from the event loop, after `watched` (a widget, or the application for
// any window) has first been painted: for what a start must do but the user need not wait
// for before seeing the window. Nothing runs if it goes away unpainted. User-interface
// thread.
void AfterFirstPaint(QObject* watched, std::function<void()> work);

}  // namespace zo::ui
