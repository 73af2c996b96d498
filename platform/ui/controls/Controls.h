#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

class QPixmap;

namespace zo::ui {

// A dialog control as the program addresses it; a page binds one with DDX_Control.
// Changes made through these handles raise no notification: only the user's own
// actions do.
class Control {
public:
    Control() = default;
    virtual ~Control() = default;

    void Attach(QWidget* window) { m_wnd = window; }
    QWidget* Widget() const { return m_wnd.data(); }
    bool IsWindow() const { return !m_wnd.isNull(); }

    void EnableWindow(bool enable = true);
    bool IsWindowEnabled() const;
    void ShowWindow(bool show);
    bool IsWindowVisible() const;
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    void SetFocus();
    // What a screen reader says of the control, for a control whose meaning changes
    // (a picture that shows a state).
    void SetAccessibleText(const std::string& name, const std::string& description);

protected:
    QPointer<QWidget> m_wnd;
};

// A read-only edit shows the dialog's own surface instead of the white of a field the user
// can type into.
void ShowReadOnly(QWidget* edit, bool readOnly);

class Edit : public Control {
public:
    // Selects characters [start, end) and scrolls the caret into view.
    void SetSel(int start, int end);
    void SetReadOnly(bool readOnly = true);
    bool IsReadOnly() const;
};

// The list of a list box or of a drop-down list combo box. Sorted controls insert in
// alphabetical order without regard to case; searches match the start of an entry
// without regard to case, as the window system's list controls do.
class ItemList : public Control {
public:
    static constexpr int kError = -1;

    int AddString(const std::string& text);
    int InsertString(int index, const std::string& text);
    // The count left, or kError for a bad index.
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    int GetCurSel() const;
    // -1 clears the selection; kError for a bad index.
    int SetCurSel(int index);
    std::string GetText(int index) const;
    // Entries after `startAfter` (-1: from the top), wrapping round; kError when none.
    int FindString(int startAfter, const std::string& prefix) const;
    int FindStringExact(int startAfter, const std::string& text) const;
    // Selects the entry FindString finds; the selection stays as it was when none does.
    int SelectString(int startAfter, const std::string& prefix);

private:
    bool IsSorted() const;
};

class ListBox : public ItemList {};
class ComboBox : public ItemList {};

class Button : public Control {
public:
    int GetCheck() const;
    void SetCheck(int check);
};

class Static : public Control {
public:
    void SetBitmap(const QPixmap& picture);
};

// A progress bar with the window system's defaults: range 0 to 100, step 10; a step
// past the end starts again from the beginning.
class ProgressCtrl : public Control {
public:
    void SetRange(int lower, int upper);
    void SetStep(int step);
    void SetPos(int pos);
    int GetPos() const;
    // The position before the step.
    int StepIt();
};

}  // namespace zo::ui
