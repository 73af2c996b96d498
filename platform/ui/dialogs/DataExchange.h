#pragma once

#include <string>

class QWidget;

namespace zo::ui {

class Control;
class Dialog;

// One transfer between a dialog's members and its controls: saving takes the
// controls' contents into the members, loading pushes the members into the controls.
// Loading raises no control notification.
class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate)
        : m_dialog(&dialog), m_saveAndValidate(saveAndValidate) {}

    QWidget* ControlWindow(int id) const;

    Dialog* m_dialog;
    bool m_saveAndValidate;
};

// Binds a control handle to the control with that id.
void DDX_Control(DataExchange& dx, int id, Control& control);
// An edit's or a static's text.
void DDX_Text(DataExchange& dx, int id, std::string& value);
// A check box: 0 or 1.
void DDX_Check(DataExchange& dx, int id, int& value);
void DDX_Check(DataExchange& dx, int id, bool& value);
// A list box's selected entry: saving gives "" when nothing is selected; loading selects
// the first entry that begins with the text.
void DDX_LBString(DataExchange& dx, int id, std::string& value);
// The same for a drop-down list combo box.
void DDX_CBString(DataExchange& dx, int id, std::string& value);
// The selected index (-1: none).
void DDX_LBIndex(DataExchange& dx, int id, int& index);
void DDX_CBIndex(DataExchange& dx, int id, int& index);

}  // namespace zo::ui
