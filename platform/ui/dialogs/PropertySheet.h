#pragma once

#include <QIcon>
#include <QPointer>
#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "platform/ui/dialogs/DialogUnits.h"
#include "platform/ui/dialogs/Messages.h"

class QPainter;
class QPushButton;
class QStackedWidget;
class QTabBar;

namespace zo::ui {

class PropertyPage;
class SheetWindow;

// A property sheet: pages on a stack of our own, either with tabs and OK, Cancel, Apply
// and Help, or in wizard mode with Back, Next (or Finish), Cancel and Help. Pages may
// switch to any page, also backwards, with SetActivePage.
class PropertySheet {
public:
    enum class Button { Back, Next, Finish, Ok, Apply, Cancel, Help };

    PropertySheet(std::string caption, QWidget* parentWindow = nullptr, int selectPage = 0);
    virtual ~PropertySheet();
    PropertySheet(const PropertySheet&) = delete;
    PropertySheet& operator=(const PropertySheet&) = delete;

    void AddPage(PropertyPage* page);
    void SetWizardMode() { m_wizard = true; }
    bool IsWizard() const { return m_wizard; }
    const std::string& Caption() const { return m_caption; }

    // Runs the sheet; IDCANCEL when it was cancelled, ID_WIZFINISH when a wizard was
    // finished, IDOK after OK; -1 when no window could be made.
    virtual int DoModal();
    // Makes and shows the window without a modal loop, for tests and pictures.
    bool Create();
    virtual bool DestroyWindow();
    // Ends the sheet with `result`, as its buttons do.
    void EndDialog(int result);
    bool HasEnded() const { return m_ended; }
    // Whether the user asked to close the window while the action that ended it ran (the
    // title bar's close during a wizard's Finish): the result stands, the user wants out.
    bool CloseRequested() const;
    int Result() const { return m_result; }

    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    PropertyPage* GetPage(int index) const;
    int GetPageIndex(const PropertyPage* page) const;
    int GetActiveIndex() const { return m_active; }
    // The index of the page made from dialog template `templateId`; -1 when there is none.
    int IndexOfTemplate(int templateId) const;
    PropertyPage* GetActivePage() const { return GetPage(m_active); }
    // Activates another page: the active one is asked to let go first (OnKillActive).
    // Before the window exists it chooses the first page shown.
    bool SetActivePage(int index);
    bool SetActivePage(PropertyPage* page) { return SetActivePage(GetPageIndex(page)); }

    void SetWizardButtons(unsigned flags);
    unsigned WizardButtons() const { return m_wizardButtons; }
    // Acts as a click on the button; nothing happens when it is hidden or disabled.
    void PressButton(Button button);
    // What Return does away from a push button: Next or Finish in a wizard, OK in a
    // tabbed sheet while it has one.
    void PressDefaultButton();

    QWidget* Widget() const;
    // The sheet's own buttons by command id (IDOK, IDCANCEL, ID_APPLY_NOW, IDHELP,
    // ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH); null once removed.
    QPushButton* ControlWidget(int id) const;
    void SetControlText(int id, const std::string& text);
    QStackedWidget* PageStack() const;
    QTabBar* TabBar() const;

    void SetIcon(const QIcon& icon, bool big);
    bool IsIconic() const;

    // Help for the sheet: `data` names the active page's help topic; the sheets of the
    // program decide which file and context to open.
    virtual void WinHelp(unsigned long data, unsigned command = HELP_CONTEXT);

    // Called by pages when their modified state changes.
    void PageModifiedChanged();

protected:
    // The window exists, its pages not yet; -1 abandons it.
    virtual int OnCreate() { return 0; }
    // The base activates the first page.
    virtual bool OnInitDialog();
    // Painting the sheet's own surface; false leaves it to the default.
    virtual bool OnPaint(QPainter& /*painter*/) { return false; }
    // The picture shown while the minimised window is dragged.
    virtual QIcon OnQueryDragIcon() const { return m_smallIcon; }

    const DialogUnits& Units() const { return m_units; }

private:
    // Hands the icons to the window, one as it is or both merged.
    void ApplyIcon();
    friend class SheetWindow;

    bool BuildWindow();
    bool CreateSheet();
    bool Activate(int index, int previous);
    void UpdateButtons();
    void UpdateTitle();
    void OnTabChanged(int index);
    void StepTab(int by);
    void PutButtonsAfter(QWidget* page);
    void FocusPage(PropertyPage* page, QWidget* focusBefore, bool again);
    void Back();
    void Next();
    void Finish();
    void Cancel();
    bool Apply(bool thenClose);
    void Help();

    std::string m_caption;
    QWidget* m_parentWindow;
    int m_startPage;
    bool m_wizard = false;
    std::vector<PropertyPage*> m_pages;
    int m_active = -1;
    bool m_activeValid = false;  // the active page was told so and has not let go since
    unsigned m_wizardButtons = PSWIZB_BACK | PSWIZB_NEXT;
    DialogUnits m_units;
    QPointer<SheetWindow> m_window;
    QPointer<QStackedWidget> m_stack;
    QPointer<QTabBar> m_tabBar;
    std::map<int, QPointer<QPushButton>> m_buttons;
    QIcon m_bigIcon;
    QIcon m_smallIcon;
    bool m_iconPending = false;
    bool m_modalRunning = false;
    bool m_ended = false;
    bool m_closeRequested = false;
    int m_result = -1;
};

}  // namespace zo::ui
