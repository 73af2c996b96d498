#pragma once

#include <vector>

#include "res/DialogTemplate.h"

class QWidget;

namespace zo::ui {

// Makes the windows' accessibility tree leave out the pictures marked as decoration and
// name drop-down lists by their labels. Runs once; call it before the first dialog window
// is made, so that no window's accessible interface is made without it.
void EnableAccessibility();

// Gives the controls of a template, `made[i]` being the window of `t.controls[i]`, the
// names a screen reader speaks. A control without a text of its own takes its name from
// the static text just before it in the template, the one whose mnemonic leads to it; a
// name in the template goes first, and then that label becomes its description.
void NameControls(const res::DialogTemplate& t, const std::vector<QWidget*>& made);

// A picture that only decorates: screen readers do not see it.
void MarkDecoration(QWidget* picture);
bool IsDecoration(const QWidget* w);

}  // namespace zo::ui
