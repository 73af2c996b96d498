#include "platform/ui/dialogs/PropertySheet.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QFrame>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <algorithm>

#include "platform/ui/controls/Text.h"
#include "platform/ui/conversation/InputHold.h"
#include "platform/ui/dialogs/AfterFirstPaint.h"
#include "platform/ui/dialogs/PropertyPage.h"
#include "platform/ui/dialogs/SheetWindow.h"
#include "res/Translation.h"

namespace zo::ui {

namespace {

// The first control of the page that Tab would reach, or null.
QWidget* FirstTabStop(QWidget* page) {
    for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
            w->isVisibleTo(page) && !w->focusProxy()) {
            return w;
        }
    }
    return nullptr;
}

}  // namespace

PropertySheet::PropertySheet(std::string caption, QWidget* parentWindow, int selectPage)
    : m_caption(std::move(caption)), m_parentWindow(parentWindow), m_startPage(selectPage) {}

// The pages may be gone already (a sheet's pages are members of the derived sheet):
// only the window is deleted, and the pages' windows with it.
PropertySheet::~PropertySheet() {
    if (m_window) {
        m_window->Detach();
        delete m_window.data();
    }
}

void PropertySheet::AddPage(PropertyPage* page) {
    page->m_sheet = this;
    m_pages.push_back(page);
}

PropertyPage* PropertySheet::GetPage(int index) const {
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<std::size_t>(index)]
                                                : nullptr;
}

int PropertySheet::GetPageIndex(const PropertyPage* page) const {
    auto it = std::find(m_pages.begin(), m_pages.end(), page);
    return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

int PropertySheet::IndexOfTemplate(int templateId) const {
    for (int i = 0; i < GetPageCount(); ++i) {
        if (m_pages[static_cast<std::size_t>(i)]->TemplateId() == templateId) {
            return i;
        }
    }
    return -1;
}

QWidget* PropertySheet::Widget() const {
    return m_window.data();
}

QStackedWidget* PropertySheet::PageStack() const {
    return m_stack.data();
}

QTabBar* PropertySheet::TabBar() const {
    return m_tabBar.data();
}

QPushButton* PropertySheet::ControlWidget(int id) const {
    auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second.data();
}

void PropertySheet::SetControlText(int id, const std::string& text) {
    if (QPushButton* b = ControlWidget(id)) {
        b->setText(ToQ(text));
    }
}

bool PropertySheet::BuildWindow() {
    if (m_window || m_pages.empty()) {
        return false;
    }
    const res::DialogTemplate& first = m_pages.front()->Template();
    m_units = DialogUnits::ForTemplate(first);
    QSize pageSize;
    for (PropertyPage* p : m_pages) {
        const res::DialogTemplate& t = p->Template();
        pageSize = pageSize.expandedTo(DialogUnits::ForTemplate(t).ToPixels(t.rect.cx, t.rect.cy));
    }

    auto* w = new SheetWindow(this, m_parentWindow);
    w->setObjectName(m_wizard ? "wizardSheet" : "propertySheet");
    w->setFont(m_units.Font());
    m_window = w;
    auto* outer = new QVBoxLayout(w);
    int margin = m_units.ToPixelsX(7);
    outer->setContentsMargins(margin, margin, margin, margin);
    outer->setSpacing(m_units.ToPixelsY(7));

    auto* stack = new QStackedWidget;
    stack->setFixedSize(pageSize);
    m_stack = stack;
    if (m_wizard) {
        outer->addWidget(stack);
        auto* line = new QFrame;
        line->setFrameShape(QFrame::HLine);
        line->setFrameShadow(QFrame::Sunken);
        outer->addWidget(line);
    } else {
        auto* tabs = new QTabBar;
        tabs->setDrawBase(false);
        tabs->setExpanding(false);
        for (PropertyPage* p : m_pages) {
            tabs->addTab(ToQ(p->Caption()));
        }
        m_tabBar = tabs;
        QObject::connect(tabs, &QTabBar::currentChanged, w, [this](int i) { OnTabChanged(i); });
        w->WatchTabKeys();
        auto* frame = new QFrame;
        frame->setFrameShape(QFrame::StyledPanel);
        auto* inFrame = new QVBoxLayout(frame);
        inFrame->setContentsMargins(2, 2, 2, 2);
        inFrame->addWidget(stack);
        auto* tabArea = new QVBoxLayout;
        tabArea->setSpacing(0);
        tabArea->addWidget(tabs);
        tabArea->addWidget(frame);
        outer->addLayout(tabArea);
    }

    auto* row = new QHBoxLayout;
    row->setSpacing(m_units.ToPixelsX(4));
    row->addStretch(1);
    QSize buttonSize = m_units.ToPixels(50, 14);
    auto add = [&](int id, const char* text, Button which) {
        auto* b = new QPushButton(QString::fromUtf8(res::Tr(text)));
        b->setObjectName(QStringLiteral("sheetButton%1").arg(id));
        b->setMinimumSize(buttonSize);
        b->setAutoDefault(false);
        QObject::connect(b, &QPushButton::clicked, w, [this, which] { PressButton(which); });
        m_buttons[id] = b;
        row->addWidget(b);
        return b;
    };
    if (m_wizard) {
        add(ID_WIZBACK, N_("< &Back"), Button::Back);
        auto* next = add(ID_WIZNEXT, N_("&Next >"), Button::Next);
        row->setSpacing(0);
        auto* finish = add(ID_WIZFINISH, N_("Finish"), Button::Finish);
        finish->hide();
        row->addSpacing(m_units.ToPixelsX(6));
        add(IDCANCEL, N_("Cancel"), Button::Cancel)->setProperty(kClosesWindow, true);
        row->addSpacing(m_units.ToPixelsX(4));
        add(IDHELP, N_("&Help"), Button::Help);
        next->setDefault(true);
    } else {
        add(IDOK, N_("OK"), Button::Ok)->setDefault(true);
        add(IDCANCEL, N_("Cancel"), Button::Cancel)->setProperty(kClosesWindow, true);
        add(ID_APPLY_NOW, N_("&Apply"), Button::Apply)->setEnabled(false);
        add(IDHELP, N_("Help"), Button::Help);
    }
    outer->addLayout(row);
    outer->setSizeConstraint(QLayout::SetFixedSize);
    if (!m_bigIcon.isNull() || !m_smallIcon.isNull()) {
        SetIcon(m_bigIcon, true);
    }
    UpdateTitle();
    return true;
}

bool PropertySheet::Create() {
    if (!CreateSheet()) {
        return false;
    }
    if (m_window && !m_ended) {
        m_window->show();
    }
    return m_window != nullptr;
}

bool PropertySheet::CreateSheet() {
    // The start-up conversations of the pages are the window's first user action.
    const ActionScope action;
    m_ended = false;
    m_closeRequested = false;
    m_result = -1;
    if (!BuildWindow()) {
        return false;
    }
    if (OnCreate() == -1) {
        DestroyWindow();
        return false;
    }
    OnInitDialog();
    if (m_window && !m_ended) {
        m_window->adjustSize();
        QRect area = m_parentWindow ? m_parentWindow->window()->frameGeometry()
                                    : (QGuiApplication::primaryScreen()
                                           ? QGuiApplication::primaryScreen()->availableGeometry()
                                           : QRect(0, 0, 800, 600));
        m_window->move(area.center() - m_window->rect().center());
    }
    return m_window != nullptr;
}

int PropertySheet::DoModal() {
    if (!CreateSheet()) {
        return -1;
    }
    if (!m_ended && m_window) {
        m_modalRunning = true;
        m_window->setWindowModality(Qt::ApplicationModal);
        m_window->exec();
        m_modalRunning = false;
    }
    m_closeRequested = CloseWasHeld(m_window);
    int result = m_result;
    DestroyWindow();
    return result;
}

bool PropertySheet::CloseRequested() const {
    return m_window ? CloseWasHeld(m_window) : m_closeRequested;
}

bool PropertySheet::DestroyWindow() {
    if (!m_window) {
        return false;
    }
    for (PropertyPage* p : m_pages) {
        p->DestroyWindow();
    }
    SheetWindow* w = m_window.data();
    w->Detach();
    m_window = nullptr;
    m_buttons.clear();
    m_active = -1;
    m_activeValid = false;
    w->hide();
    delete w;
    return true;
}

void PropertySheet::EndDialog(int result) {
    m_result = result;
    m_ended = true;
    if (m_window) {
        if (m_modalRunning) {
            m_window->done(result);
        } else {
            m_window->hide();
        }
    }
}

bool PropertySheet::OnInitDialog() {
    int start = std::clamp(m_startPage, 0, GetPageCount() - 1);
    return Activate(start, -1);
}

bool PropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount()) {
        return false;
    }
    if (!m_window) {
        m_startPage = index;
        return true;
    }
    if (index == m_active && m_activeValid) {
        return true;
    }
    int previous = m_active;
    if (m_active >= 0 && m_activeValid) {
        if (!GetPage(m_active)->OnKillActive()) {
            return false;
        }
        m_activeValid = false;
    }
    return Activate(index, previous);
}

// Shows page `index` and tells it so. A page that refuses leaves the sheet on the page
// it came from; a page that moves on to another page by itself is left to do so.
bool PropertySheet::Activate(int index, int previous) {
    PropertyPage* page = GetPage(index);
    if (!page || !m_window) {
        return false;
    }
    if (!page->Widget()) {
        if (!page->CreateFromTemplate(m_stack, true)) {
            return false;
        }
        page->m_firstSetActive = true;
        m_stack->addWidget(page->Widget());
        page->OnInitDialog();
        if (!m_window || !page->Widget()) {
            return false;
        }
        PutButtonsAfter(page->Widget());
    }
    bool again = index == m_active && m_stack->currentWidget() == page->Widget();
    m_active = index;
    m_activeValid = false;
    m_stack->setCurrentWidget(page->Widget());
    if (m_tabBar) {
        const QSignalBlocker block(m_tabBar.data());
        m_tabBar->setCurrentIndex(index);
    }
    UpdateTitle();
    QWidget* focusBefore = m_window->focusWidget();
    bool accepted = page->OnSetActive();
    if (!m_window) {
        return false;
    }
    if (m_active != index || m_activeValid) {
        return true;  // the page went on to another page itself
    }
    if (accepted || previous < 0 || previous == index) {
        m_activeValid = true;
        UpdateButtons();
        FocusPage(page, focusBefore, again);
        return accepted;
    }
    Activate(previous, -1);
    return false;
}

// A page on view gets the focus on its first tab stop, unless its activation put the
// focus elsewhere on it or the user is moving along the tabs themselves. A page
// activated again after Apply keeps the focus it had.
void PropertySheet::FocusPage(PropertyPage* page, QWidget* focusBefore, bool again) {
    QWidget* pageWindow = page->Widget();
    QWidget* now = m_window ? m_window->focusWidget() : nullptr;
    if (!pageWindow || (now && now == m_tabBar.data())) {
        return;
    }
    bool inPage = now && pageWindow->isAncestorOf(now);
    if (inPage && (now != focusBefore || again)) {
        return;
    }
    if (QWidget* first = FirstTabStop(pageWindow)) {
        page->FocusControl(first);
    }
}

void PropertySheet::OnTabChanged(int index) {
    const ActionScope action;
    if (index != m_active) {
        SetActivePage(index);
    }
    if (m_tabBar && m_tabBar->currentIndex() != m_active) {
        const QSignalBlocker block(m_tabBar.data());
        m_tabBar->setCurrentIndex(m_active);
    }
}

// Ctrl+Tab and its friends: the next or previous tab, round the end.
void PropertySheet::StepTab(int by) {
    const ActionScope action;
    int count = GetPageCount();
    if (m_wizard || count < 2 || m_active < 0) {
        return;
    }
    SetActivePage(((m_active + by) % count + count) % count);
}

void PropertySheet::PressDefaultButton() {
    if (!m_wizard) {
        PressButton(Button::Ok);
        return;
    }
    QPushButton* finish = ControlWidget(ID_WIZFINISH);
    PressButton(finish && !finish->isHidden() ? Button::Finish : Button::Next);
}

// The page's controls come before the sheet's buttons in tab order: each new page's
// controls are created after the buttons, so the buttons move behind them. The tabs come
// after the buttons, which in the cycle is before the page: the tabs first, as they show.
void PropertySheet::PutButtonsAfter(QWidget* page) {
    QWidget* last = nullptr;
    QWidget* start = m_window.data();
    for (QWidget* w = start->nextInFocusChain(); w && w != start; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w)) {
            last = w;
        }
    }
    if (!last) {
        return;
    }
    static const int order[] = {ID_WIZBACK, ID_WIZNEXT,   ID_WIZFINISH, IDOK,
                                IDCANCEL,   ID_APPLY_NOW, IDHELP};
    for (int id : order) {
        if (QPushButton* b = ControlWidget(id)) {
            QWidget::setTabOrder(last, b);
            last = b;
        }
    }
    if (m_tabBar) {
        QWidget::setTabOrder(last, m_tabBar);
    }
}

void PropertySheet::SetWizardButtons(unsigned flags) {
    m_wizardButtons = flags;
    UpdateButtons();
}

void PropertySheet::UpdateButtons() {
    if (!m_window) {
        return;
    }
    if (m_wizard) {
        QPushButton* back = ControlWidget(ID_WIZBACK);
        QPushButton* next = ControlWidget(ID_WIZNEXT);
        QPushButton* finish = ControlWidget(ID_WIZFINISH);
        if (back) {
            back->setEnabled(m_wizardButtons & PSWIZB_BACK);
        }
        // Finish takes the place of Next.
        bool showFinish = m_wizardButtons & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH);
        if (next) {
            next->setVisible(!showFinish);
            next->setEnabled(m_wizardButtons & PSWIZB_NEXT);
            next->setDefault(!showFinish);
        }
        if (finish) {
            finish->setVisible(showFinish);
            finish->setEnabled(m_wizardButtons & PSWIZB_FINISH);
            finish->setDefault(showFinish);
        }
    } else if (QPushButton* apply = ControlWidget(ID_APPLY_NOW)) {
        bool any = std::any_of(m_pages.begin(), m_pages.end(),
                               [](const PropertyPage* p) { return p->IsModified(); });
        apply->setEnabled(any);
    }
}

void PropertySheet::UpdateTitle() {
    if (!m_window) {
        return;
    }
    std::string title = m_caption;
    // A wizard shows the caption of the page on view.
    if (m_wizard && GetActivePage() && !GetActivePage()->Caption().empty()) {
        title = GetActivePage()->Caption();
    }
    m_window->setWindowTitle(ToQ(title));
}

void PropertySheet::PageModifiedChanged() {
    UpdateButtons();
}

void PropertySheet::PressButton(Button button) {
    static const std::map<Button, int> ids{
        {Button::Back, ID_WIZBACK}, {Button::Next, ID_WIZNEXT},    {Button::Finish, ID_WIZFINISH},
        {Button::Ok, IDOK},         {Button::Apply, ID_APPLY_NOW}, {Button::Cancel, IDCANCEL},
        {Button::Help, IDHELP}};
    const ActionScope action;
    QPushButton* b = ControlWidget(ids.at(button));
    // Esc and the close box cancel even when the cancel button was taken away.
    bool available = b && b->isEnabled() && !b->isHidden();
    if (!available && !(button == Button::Cancel && !b)) {
        return;
    }
    switch (button) {
        case Button::Back:
            Back();
            break;
        case Button::Next:
            Next();
            break;
        case Button::Finish:
            Finish();
            break;
        case Button::Ok:
            if (Apply(true)) {
                EndDialog(IDOK);
            }
            break;
        case Button::Apply:
            Apply(false);
            break;
        case Button::Cancel:
            Cancel();
            break;
        case Button::Help:
            Help();
            break;
    }
}

void PropertySheet::Back() {
    PropertyPage* page = GetActivePage();
    if (!page) {
        return;
    }
    int before = m_active;
    int r = page->OnWizardBack();
    if (m_active != before || r == -1 || !m_window) {
        return;
    }
    int target = r == 0 ? before - 1 : IndexOfTemplate(r);
    if (target >= 0) {
        SetActivePage(target);
    }
}

void PropertySheet::Next() {
    PropertyPage* page = GetActivePage();
    if (!page) {
        return;
    }
    int before = m_active;
    int r = page->OnWizardNext();
    if (m_active != before || r == -1 || !m_window) {
        return;
    }
    int target = r == 0 ? before + 1 : IndexOfTemplate(r);
    if (target >= 0 && target < GetPageCount()) {
        SetActivePage(target);
    }
}

void PropertySheet::Finish() {
    PropertyPage* page = GetActivePage();
    if (page && page->OnWizardFinish() && m_window) {
        EndDialog(ID_WIZFINISH);
    }
}

void PropertySheet::Cancel() {
    PropertyPage* page = GetActivePage();
    if (page && !page->OnQueryCancel()) {
        return;
    }
    for (PropertyPage* p : m_pages) {
        if (p->Widget()) {
            p->OnReset();
        }
    }
    EndDialog(IDCANCEL);
}

// Apply asks the active page to let go, then every page that was ever shown to apply.
// The page on view is told it is active again afterwards unless it was changed.
bool PropertySheet::Apply(bool thenClose) {
    PropertyPage* active = GetActivePage();
    if (active && m_activeValid) {
        if (!active->OnKillActive()) {
            return false;
        }
        m_activeValid = false;
    }
    bool ok = true;
    for (PropertyPage* p : m_pages) {
        if (!p->Widget()) {
            continue;
        }
        p->m_modified = false;
        if (!p->OnApply()) {
            ok = false;
            break;
        }
        if (!m_window) {
            return false;
        }
    }
    UpdateButtons();
    if (m_window && !m_activeValid && m_active >= 0 && !(ok && thenClose)) {
        Activate(m_active, -1);
    }
    return ok;
}

void PropertySheet::Help() {
    PropertyPage* page = GetActivePage();
    WinHelp(0x20000ul + static_cast<unsigned long>(page ? page->TemplateId() : 0), HELP_CONTEXT);
}

void PropertySheet::WinHelp(unsigned long /*data*/, unsigned /*command*/) {}

void PropertySheet::SetIcon(const QIcon& icon, bool big) {
    (big ? m_bigIcon : m_smallIcon) = icon;
    if (!m_window) {
        return;
    }
    // A window system may draw the icon as the window is made; given once the window has
    // been painted, it costs the user no wait. Both icons go together then.
    if (!m_window->isVisible()) {
        if (!m_iconPending) {
            m_iconPending = true;
            ui::AfterFirstPaint(m_window, [this] {
                m_iconPending = false;
                ApplyIcon();
            });
        }
        return;
    }
    ApplyIcon();
}

void PropertySheet::ApplyIcon() {
    if (!m_window) {
        return;
    }
    // One icon, or the same for both, is handed on as it is, so that it is drawn only
    // where it is shown.
    if (m_smallIcon.isNull() || m_bigIcon.cacheKey() == m_smallIcon.cacheKey()) {
        m_window->setWindowIcon(m_bigIcon);
    } else if (m_bigIcon.isNull()) {
        m_window->setWindowIcon(m_smallIcon);
    } else {
        QIcon merged;
        for (const QIcon* i : {&m_bigIcon, &m_smallIcon}) {
            for (QSize s : i->availableSizes()) {
                merged.addPixmap(i->pixmap(s));
            }
        }
        m_window->setWindowIcon(merged);
    }
}

bool PropertySheet::IsIconic() const {
    return m_window && (m_window->windowState() & Qt::WindowMinimized);
}

}  // namespace zo::ui
