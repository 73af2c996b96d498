#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <string>
#include <utility>

#include "platform/ui/dialogs/DialogUnits.h"
#include "platform/ui/dialogs/Messages.h"
#include "res/DialogTemplate.h"

namespace zo::ui {

class DataExchange;

// A dialog built from one of the program's templates. The object lives longer than its
// window: the window exists from Create (or DoModal) until DestroyWindow, as a modal or
// modeless top-level window, or as a page inside a property sheet.
class Dialog {
public:
    explicit Dialog(int templateId, QWidget* parentWindow = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    int TemplateId() const { return m_templateId; }
    // The template; an empty one when the id names none.
    const res::DialogTemplate& Template() const;
    const DialogUnits& Units() const { return m_units; }

    // Creates the window, initialises it, shows it and returns what EndDialog was given;
    // -1 when the window cannot be made.
    virtual int DoModal();
    // Creates and initialises the window without a modal loop; it shows itself when its
    // template says so.
    bool Create(QWidget* parentWindow = nullptr);
    virtual bool DestroyWindow();
    void EndDialog(int result);

    QWidget* Widget() const { return m_widget.data(); }
    QWidget* ControlWidget(int id) const;
    bool UpdateData(bool saveAndValidate = true);
    void SetControlText(int id, const std::string& text);
    std::string ControlText(int id) const;
    // Moves the focus to `control` as the dialog manager does (an edit gets its text
    // selected).
    void FocusControl(QWidget* control);
    // Moves the focus to the next control in tab order.
    void FocusNextControl();

    // The command map: `handler` runs when control `id` sends `code`.
    void MapCommand(int code, int id, std::function<void()> handler);
    // Delivers a command as if control `id` had sent it.
    bool SendCommand(int id, int code = BN_CLICKED) { return OnCommand(id, code); }

protected:
    virtual void DoDataExchange(DataExchange& dx);
    // Runs once the controls exist; the base pushes the members into them.
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual bool OnCommand(int id, int code);
    // The window is going: the last moment its controls exist.
    virtual void OnDestroy() {}

    // Builds the window and its controls, as a child of `parent` (a page) or as a
    // top-level window owned by it. False when the template is unknown.
    bool CreateFromTemplate(QWidget* parent, bool child);

private:
    friend class DialogWindow;

    int m_templateId;
    QWidget* m_parentWindow;
    DialogUnits m_units;
    QPointer<QWidget> m_widget;
    std::map<int, QPointer<QWidget>> m_controls;
    std::map<std::pair<int, int>, std::function<void()>> m_commandMap;
    bool m_modalRunning = false;
    bool m_ended = false;
    int m_result = -1;
};

}  // namespace zo::ui
