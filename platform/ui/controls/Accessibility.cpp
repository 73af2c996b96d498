#include "platform/ui/controls/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QWidget>
#include <cctype>
#include <string>

#include "platform/ui/controls/Text.h"

namespace zo::ui {
namespace {

constexpr const char* kDecorationProperty = "zo_decoration";

// A plain window or dialog whose children, as a screen reader sees them, leave out the
// decorative pictures. Filtered on every call: the animation is added after the page.
class DecorationFilter : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    int childCount() const override { return int(Children().size()); }

    QAccessibleInterface* child(int index) const override {
        std::vector<QAccessibleInterface*> shown = Children();
        return index >= 0 && index < int(shown.size()) ? shown[std::size_t(index)] : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        std::vector<QAccessibleInterface*> shown = Children();
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (shown[i] == child) {
                return int(i);
            }
        }
        return -1;
    }

private:
    std::vector<QAccessibleInterface*> Children() const {
        std::vector<QAccessibleInterface*> shown;
        const int count = QAccessibleWidget::childCount();
        for (int i = 0; i < count; ++i) {
            QAccessibleInterface* c = QAccessibleWidget::child(i);
            if (c && !(c->object() && c->object()->isWidgetType() &&
                       IsDecoration(static_cast<QWidget*>(c->object())))) {
                shown.push_back(c);
            }
        }
        return shown;
    }
};

// A drop-down list named by its label, the entry it shows being its value. On this
// desktop Qt names it by the entry, so a listener hears "Home" and not which list it is.
class LabelledDropDown : public QAccessibleWidget {
public:
    explicit LabelledDropDown(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value ||
            (t == QAccessible::Name && Combo()->accessibleName().isEmpty())) {
            return Combo()->currentText();
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.expandable = true;
        s.expanded = Combo()->view()->isVisible();
        return s;
    }

    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(Combo()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child && child->object() == Combo()->view() ? 0 : -1;
    }

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << showMenuAction() << pressAction();
    }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) {
            QAccessibleWidget::doAction(action);
        } else if (Combo()->view()->isVisible()) {
            Combo()->hidePopup();
        } else {
            Combo()->showPopup();
        }
    }

private:
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

// Takes over the interfaces Qt gives plain widgets, dialogs and drop-down lists, keeping
// their roles.
QAccessibleInterface* InterfaceFactory(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType()) {
        return nullptr;
    }
    auto* w = static_cast<QWidget*>(object);
    if (className == QLatin1String("QComboBox")) {
        auto* combo = static_cast<QComboBox*>(w);
        return combo->isEditable() ? nullptr : new LabelledDropDown(combo);
    }
    if (className == QLatin1String("QWidget")) {
        return new DecorationFilter(w);
    }
    if (className == QLatin1String("QDialog")) {
        return new DecorationFilter(w, QAccessible::Dialog);
    }
    return nullptr;
}

bool HasWords(const std::string& text) {
    for (unsigned char ch : text) {
        if (std::isalnum(ch)) {
            return true;
        }
    }
    return false;
}

// Buttons, check boxes and frames are named by their own text, pictures by their page.
bool NamedByLabel(res::ControlKind kind) {
    switch (kind) {
        case res::ControlKind::Edit:
        case res::ControlKind::ListBox:
        case res::ControlKind::ComboBox:
        case res::ControlKind::ProgressBar:
            return true;
        default:
            return false;
    }
}

// The static text that labels control `index`: the nearest one before it with words in
// it. Separators ("-"), frames and pictures lie between a label and its control, and so
// do the other parts of a field split in several (each part has a name of its own); any
// other control in between means the control has no label.
const res::ControlTemplate* LabelOf(const res::DialogTemplate& t, std::size_t index) {
    for (std::size_t j = index; j-- > 0;) {
        const res::ControlTemplate& c = t.controls[j];
        switch (c.kind) {
            case res::ControlKind::Static:
                if (HasWords(c.text)) {
                    return &c;
                }
                continue;
            case res::ControlKind::GroupBox:
            case res::ControlKind::Picture:
                continue;
            default:
                if (!c.name.empty()) {
                    continue;
                }
                return nullptr;
        }
    }
    return nullptr;
}

QString Spoken(const std::string& label) {
    return StripMnemonic(ToQ(label)).simplified();
}

}  // namespace

void EnableAccessibility() {
    // Factories installed later are asked first: this one comes after the one of the
    // widget library, which the application object installs.
    static const bool installed = [] {
        QAccessible::installFactory(&InterfaceFactory);
        return true;
    }();
    (void)installed;
}

void NameControls(const res::DialogTemplate& t, const std::vector<QWidget*>& made) {
    for (std::size_t i = 0; i < t.controls.size() && i < made.size(); ++i) {
        const res::ControlTemplate& c = t.controls[i];
        QWidget* w = made[i];
        if (c.kind == res::ControlKind::Picture && (c.style & res::kDecoration)) {
            MarkDecoration(w);
            continue;
        }
        if (c.name.empty() && !NamedByLabel(c.kind)) {
            continue;
        }
        const res::ControlTemplate* label = LabelOf(t, i);
        QString name = !c.name.empty() ? ToQ(c.name) : label ? Spoken(label->text) : QString();
        w->setAccessibleName(name);
        if (!c.name.empty() && label) {
            w->setAccessibleDescription(Spoken(label->text));
        }
        // The list that drops down is a window of its own.
        if (auto* combo = qobject_cast<QComboBox*>(w)) {
            combo->view()->setAccessibleName(name);
        }
    }
}

void MarkDecoration(QWidget* picture) {
    if (picture) {
        picture->setProperty(kDecorationProperty, true);
        picture->setAccessibleName(QString());
    }
}

bool IsDecoration(const QWidget* w) {
    return w && w->property(kDecorationProperty).toBool();
}

}  // namespace zo::ui
