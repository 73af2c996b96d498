#include "platform/ui/controls/Controls.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSignalBlocker>

#include "platform/ui/controls/Text.h"

namespace zo::ui {
namespace {

// A multi-line edit breaks lines at "\r\n" and takes "\r\r\n" for a line break too (the
// mark of a wrapped line); a carriage return on its own breaks nothing.
QString MultiLineText(QString text) {
    text.replace(QStringLiteral("\r\r\n"), QStringLiteral("\n"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.remove(QLatin1Char('\r'));
    return text;
}

QListWidget* AsList(QWidget* w) {
    return qobject_cast<QListWidget*>(w);
}
QComboBox* AsCombo(QWidget* w) {
    return qobject_cast<QComboBox*>(w);
}

bool StartsWithNoCase(const QString& text, const QString& prefix) {
    return text.startsWith(prefix, Qt::CaseInsensitive);
}

}  // namespace

void Control::EnableWindow(bool enable) {
    if (m_wnd) {
        m_wnd->setEnabled(enable);
    }
}

bool Control::IsWindowEnabled() const {
    return m_wnd && m_wnd->isEnabled();
}

void Control::ShowWindow(bool show) {
    if (m_wnd) {
        m_wnd->setVisible(show);
    }
}

bool Control::IsWindowVisible() const {
    return m_wnd && m_wnd->isVisible();
}

void Control::SetWindowText(const std::string& text) {
    QWidget* w = m_wnd.data();
    if (!w) {
        return;
    }
    const QSignalBlocker block(w);
    QString q = ToQ(text);
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(q);
    } else if (auto* t = qobject_cast<QPlainTextEdit*>(w)) {
        t->setPlainText(MultiLineText(q));
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(q);
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(q);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(q);
    } else if (w->isWindow()) {
        w->setWindowTitle(q);
    }
}

std::string Control::GetWindowText() const {
    QWidget* w = m_wnd.data();
    if (!w) {
        return {};
    }
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        return FromQ(e->text());
    }
    if (auto* t = qobject_cast<QPlainTextEdit*>(w)) {
        return FromQ(t->toPlainText());
    }
    if (auto* l = qobject_cast<QLabel*>(w)) {
        return FromQ(l->text());
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        return FromQ(b->text());
    }
    if (auto* g = qobject_cast<QGroupBox*>(w)) {
        return FromQ(g->title());
    }
    if (auto* c = AsCombo(w)) {
        return FromQ(c->currentText());
    }
    return FromQ(w->windowTitle());
}

void Control::SetFocus() {
    if (m_wnd) {
        m_wnd->setFocus(Qt::OtherFocusReason);
    }
}

void Control::SetAccessibleText(const std::string& name, const std::string& description) {
    if (m_wnd) {
        m_wnd->setAccessibleName(ToQ(name));
        m_wnd->setAccessibleDescription(ToQ(description));
    }
}

void Edit::SetSel(int start, int end) {
    if (auto* e = qobject_cast<QLineEdit*>(m_wnd.data())) {
        int len = static_cast<int>(e->text().size());
        start = std::clamp(start, 0, len);
        end = std::clamp(end < 0 ? len : end, 0, len);
        e->setSelection(start, end - start);
    } else if (auto* t = qobject_cast<QPlainTextEdit*>(m_wnd.data())) {
        QTextCursor c = t->textCursor();
        int len = static_cast<int>(t->toPlainText().size());
        c.setPosition(std::clamp(start, 0, len));
        c.setPosition(std::clamp(end < 0 ? len : end, 0, len), QTextCursor::KeepAnchor);
        t->setTextCursor(c);
        t->ensureCursorVisible();
    }
}

void ShowReadOnly(QWidget* edit, bool readOnly) {
    if (!edit) {
        return;
    }
    QPalette inherited = edit->parentWidget() ? edit->parentWidget()->palette() : QPalette();
    QPalette pal = edit->palette();
    pal.setColor(QPalette::Base,
                 readOnly ? inherited.color(QPalette::Window) : inherited.color(QPalette::Base));
    edit->setPalette(pal);
}

void Edit::SetReadOnly(bool readOnly) {
    if (auto* e = qobject_cast<QLineEdit*>(m_wnd.data())) {
        e->setReadOnly(readOnly);
    } else if (auto* t = qobject_cast<QPlainTextEdit*>(m_wnd.data())) {
        t->setReadOnly(readOnly);
    } else {
        return;
    }
    ShowReadOnly(m_wnd.data(), readOnly);
}

bool Edit::IsReadOnly() const {
    if (auto* e = qobject_cast<QLineEdit*>(m_wnd.data())) {
        return e->isReadOnly();
    }
    if (auto* t = qobject_cast<QPlainTextEdit*>(m_wnd.data())) {
        return t->isReadOnly();
    }
    return false;
}

bool ItemList::IsSorted() const {
    return m_wnd && m_wnd->property("zo_sorted").toBool();
}

int ItemList::GetCount() const {
    if (auto* l = AsList(m_wnd.data())) {
        return l->count();
    }
    if (auto* c = AsCombo(m_wnd.data())) {
        return c->count();
    }
    return 0;
}

std::string ItemList::GetText(int index) const {
    if (index < 0 || index >= GetCount()) {
        return {};
    }
    if (auto* l = AsList(m_wnd.data())) {
        return FromQ(l->item(index)->text());
    }
    return FromQ(AsCombo(m_wnd.data())->itemText(index));
}

int ItemList::InsertString(int index, const std::string& text) {
    int count = GetCount();
    if (!m_wnd || index > count) {
        return kError;
    }
    if (index < 0) {
        index = count;
    }
    const QSignalBlocker block(m_wnd.data());
    if (auto* l = AsList(m_wnd.data())) {
        l->insertItem(index, ToQ(text));
    } else if (auto* c = AsCombo(m_wnd.data())) {
        int selected = c->currentIndex();
        c->insertItem(index, ToQ(text));
        // A drop-down list shows nothing until something is selected.
        c->setCurrentIndex(selected < 0 ? -1 : (selected >= index ? selected + 1 : selected));
    } else {
        return kError;
    }
    return index;
}

int ItemList::AddString(const std::string& text) {
    int index = GetCount();
    if (IsSorted()) {
        // A sorted list is kept in order, so the place is found by halving: filling it
        // with a thousand profiles must not compare each with all the others.
        const QString q = ToQ(text);
        auto* l = AsList(m_wnd.data());
        auto* c = AsCombo(m_wnd.data());
        auto itemText = [&](int i) { return l ? l->item(i)->text() : c->itemText(i); };
        int low = 0;
        int high = index;
        while (low < high) {
            const int mid = low + (high - low) / 2;
            if (itemText(mid).compare(q, Qt::CaseInsensitive) > 0) {
                high = mid;
            } else {
                low = mid + 1;
            }
        }
        index = low;
    }
    return InsertString(index, text);
}

int ItemList::DeleteString(int index) {
    if (index < 0 || index >= GetCount()) {
        return kError;
    }
    const QSignalBlocker block(m_wnd.data());
    if (auto* l = AsList(m_wnd.data())) {
        delete l->takeItem(index);
    } else {
        AsCombo(m_wnd.data())->removeItem(index);
    }
    return GetCount();
}

void ItemList::ResetContent() {
    if (!m_wnd) {
        return;
    }
    const QSignalBlocker block(m_wnd.data());
    if (auto* l = AsList(m_wnd.data())) {
        l->clear();
    } else if (auto* c = AsCombo(m_wnd.data())) {
        c->clear();
    }
}

int ItemList::GetCurSel() const {
    if (auto* l = AsList(m_wnd.data())) {
        const QList<QListWidgetItem*> selected = l->selectedItems();
        return selected.isEmpty() ? -1 : l->row(selected.front());
    }
    if (auto* c = AsCombo(m_wnd.data())) {
        return c->currentIndex();
    }
    return -1;
}

int ItemList::SetCurSel(int index) {
    if (!m_wnd || index >= GetCount() || index < -1) {
        return kError;
    }
    const QSignalBlocker block(m_wnd.data());
    if (auto* l = AsList(m_wnd.data())) {
        const QSignalBlocker blockModel(l->selectionModel());
        if (index < 0) {
            l->clearSelection();
            l->setCurrentItem(nullptr);
        } else {
            l->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
            l->scrollToItem(l->item(index));
        }
        l->viewport()->update();
    } else if (auto* c = AsCombo(m_wnd.data())) {
        c->setCurrentIndex(index);
    }
    return index;
}

int ItemList::FindString(int startAfter, const std::string& prefix) const {
    int count = GetCount();
    QString p = ToQ(prefix);
    for (int n = 0; n < count; ++n) {
        int i = (startAfter + 1 + n) % count;
        if (i < 0) {
            i += count;
        }
        if (StartsWithNoCase(ToQ(GetText(i)), p)) {
            return i;
        }
    }
    return kError;
}

int ItemList::FindStringExact(int startAfter, const std::string& text) const {
    int count = GetCount();
    QString t = ToQ(text);
    for (int n = 0; n < count; ++n) {
        int i = (startAfter + 1 + n) % count;
        if (i < 0) {
            i += count;
        }
        if (ToQ(GetText(i)).compare(t, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return kError;
}

int ItemList::SelectString(int startAfter, const std::string& prefix) {
    int i = FindString(startAfter, prefix);
    if (i != kError) {
        SetCurSel(i);
    }
    return i;
}

int Button::GetCheck() const {
    auto* b = qobject_cast<QAbstractButton*>(m_wnd.data());
    return b && b->isChecked() ? 1 : 0;
}

void Button::SetCheck(int check) {
    if (auto* b = qobject_cast<QAbstractButton*>(m_wnd.data())) {
        const QSignalBlocker block(b);
        b->setChecked(check != 0);
    }
}

void Static::SetBitmap(const QPixmap& picture) {
    if (auto* l = qobject_cast<QLabel*>(m_wnd.data())) {
        l->setPixmap(picture);
        if (!l->property("zo_clip_image").toBool()) {
            l->resize(picture.size());
        }
    }
}

void ProgressCtrl::SetRange(int lower, int upper) {
    if (auto* p = qobject_cast<QProgressBar*>(m_wnd.data())) {
        p->setRange(lower, upper);
    }
}

void ProgressCtrl::SetStep(int step) {
    if (m_wnd) {
        m_wnd->setProperty("zo_step", step);
    }
}

void ProgressCtrl::SetPos(int pos) {
    if (auto* p = qobject_cast<QProgressBar*>(m_wnd.data())) {
        p->setValue(std::clamp(pos, p->minimum(), p->maximum()));
    }
}

int ProgressCtrl::GetPos() const {
    auto* p = qobject_cast<QProgressBar*>(m_wnd.data());
    return p ? p->value() : 0;
}

int ProgressCtrl::StepIt() {
    auto* p = qobject_cast<QProgressBar*>(m_wnd.data());
    if (!p) {
        return 0;
    }
    QVariant v = p->property("zo_step");
    int step = v.isValid() ? v.toInt() : 10;
    int old = p->value();
    int lower = p->minimum();
    int range = p->maximum() - lower;
    int next = old + step;
    if (range > 0 && (next > p->maximum() || next < lower)) {
        next = lower + ((next - lower) % range + range) % range;
    }
    p->setValue(next);
    return old;
}

}  // namespace zo::ui
