#pragma once

#include <QWidget>
#include <functional>

namespace zo::ui {

// Runs `work` once, from the event loop, after `widget` has first been painted: for what a
// start must do but the user need not wait for before seeing the window. Nothing runs if
// the widget goes away unpainted. User-interface thread.
void AfterFirstPaint(QWidget* widget, std::function<void()> work);

}  // namespace zo::ui
