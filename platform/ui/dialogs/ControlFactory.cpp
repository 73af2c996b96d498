#include "platform/ui/dialogs/ControlFactory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <QValidator>
#include <algorithm>
#include <vector>

#include "platform/ui/controls/Accessibility.h"
#include "platform/ui/controls/Controls.h"
#include "platform/ui/controls/Text.h"
#include "platform/ui/dialogs/Messages.h"
#include "res/ui/Artwork.h"

namespace zo::ui {
namespace {

// An edit without automatic horizontal scrolling takes no more text than it can show.
class FitWidthValidator : public QValidator {
public:
    explicit FitWidthValidator(QLineEdit* edit) : QValidator(edit), m_edit(edit) {}

    State validate(QString& input, int& /*pos*/) const override {
        QMargins m = m_edit->textMargins();
        int frame = m_edit->hasFrame() ? 2 * m_edit->style()->pixelMetric(
                                                 QStyle::PM_DefaultFrameWidth, nullptr, m_edit)
                                       : 0;
        // The edit's own inner margin and room for the caret.
        int room = m_edit->width() - frame - m.left() - m.right() - 2 * 2 - 1;
        return m_edit->fontMetrics().horizontalAdvance(input) <= room ? Acceptable : Invalid;
    }

private:
    QLineEdit* m_edit;
};

// Turns focus changes of an edit into its focus notifications. A window losing the
// activation (a message box coming up) moves no focus inside the dialog and says nothing.
class FocusNotifier : public QObject {
public:
    FocusNotifier(QWidget* edit, int id, NotifyFn notify)
        : QObject(edit), m_id(id), m_notify(std::move(notify)) {}

    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() != QEvent::FocusIn && event->type() != QEvent::FocusOut) {
            return false;
        }
        Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) {
            return false;
        }
        m_notify(m_id, event->type() == QEvent::FocusIn ? EN_SETFOCUS : EN_KILLFOCUS);
        return false;
    }

private:
    int m_id;
    NotifyFn m_notify;
};

// A group box without a title draws its frame where a titled one does, so that a box
// titled by a check box lines up with one titled by text beside it.
class GroupFrame : public QGroupBox {
public:
    using QGroupBox::QGroupBox;

protected:
    void paintEvent(QPaintEvent* event) override {
        if (!title().isEmpty()) {
            QGroupBox::paintEvent(event);
            return;
        }
        // Styles ask the widget itself whether it has a title; without the widget they
        // place the frame as for a titled box.
        QStyleOptionGroupBox option;
        initStyleOption(&option);
        QPainter painter(this);
        style()->drawComplexControl(QStyle::CC_GroupBox, &option, &painter, nullptr);
    }
};

bool TakesFocus(const res::ControlTemplate& c) {
    switch (c.kind) {
        case res::ControlKind::Static:
        case res::ControlKind::Picture:
        case res::ControlKind::GroupBox:
        case res::ControlKind::ProgressBar:
            return false;
        default:
            return true;
    }
}

QWidget* MakeEdit(const res::ControlTemplate& c, QWidget* parent, const NotifyFn& notify) {
    if (c.style & res::kMultiLine) {
        auto* t = new QPlainTextEdit(parent);
        t->setReadOnly(c.style & res::kReadOnly);
        if (c.style & res::kReadOnly) {
            ShowReadOnly(t, true);
        }
        t->setLineWrapMode((c.style & res::kHScroll) ? QPlainTextEdit::NoWrap
                                                     : QPlainTextEdit::WidgetWidth);
        t->setVerticalScrollBarPolicy((c.style & res::kVScroll) ? Qt::ScrollBarAlwaysOn
                                                                : Qt::ScrollBarAlwaysOff);
        t->setHorizontalScrollBarPolicy((c.style & res::kHScroll) ? Qt::ScrollBarAlwaysOn
                                                                  : Qt::ScrollBarAlwaysOff);
        if (!(c.style & res::kBorder)) {
            t->setFrameShape(QFrame::NoFrame);
        }
        return t;
    }
    auto* e = new QLineEdit(parent);
    e->setFrame(c.style & res::kBorder);
    if (!(c.style & res::kBorder)) {
        // Without a frame the text starts at the top, in line with a label beside it.
        e->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    e->setReadOnly(c.style & res::kReadOnly);
    if (c.style & res::kReadOnly) {
        ShowReadOnly(e, true);
    }
    if (!(c.style & res::kAutoHScroll)) {
        e->setValidator(new FitWidthValidator(e));
    }
    int id = c.id;
    QObject::connect(e, &QLineEdit::textEdited, e, [notify, id] {
        notify(id, EN_UPDATE);
        notify(id, EN_CHANGE);
    });
    e->installEventFilter(new FocusNotifier(e, id, notify));
    return e;
}

// Marks the entry that has the focus with a dotted frame in its text's colour. The
// style's own focus frame has the selection's colour, so on the selected entry, where the
// focus mostly is, a focused list looked the same as one without the focus.
class FocusFrameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain(option);
        plain.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, plain, index);
        if (!(option.state & QStyle::State_HasFocus)) {
            return;
        }
        const bool selected = option.state & QStyle::State_Selected;
        QPen pen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
        pen.setStyle(Qt::DotLine);
        pen.setCosmetic(true);
        painter->save();
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(QRectF(option.rect).adjusted(0.5, 0.5, -0.5, -0.5));
        painter->restore();
    }
};

QWidget* MakeList(const res::ControlTemplate& c, QWidget* parent, const NotifyFn& notify) {
    auto* l = new QListWidget(parent);
    l->setItemDelegate(new FocusFrameDelegate(l));
    l->setSelectionMode(QAbstractItemView::SingleSelection);
    l->setVerticalScrollBarPolicy((c.style & res::kVScroll) ? Qt::ScrollBarAsNeeded
                                                            : Qt::ScrollBarAlwaysOff);
    l->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (!(c.style & res::kBorder)) {
        l->setFrameShape(QFrame::NoFrame);
    }
    l->setProperty("zo_sorted", bool(c.style & res::kSorted));
    int id = c.id;
    if (c.style & res::kNotify) {
        QObject::connect(l, &QListWidget::itemSelectionChanged, l,
                         [notify, id] { notify(id, LBN_SELCHANGE); });
        QObject::connect(l, &QListWidget::itemDoubleClicked, l,
                         [notify, id] { notify(id, LBN_DBLCLK); });
    }
    return l;
}

QWidget* MakeCombo(const res::ControlTemplate& c, const QRect& r, QWidget* parent,
                   const NotifyFn& notify) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(false);
    combo->setProperty("zo_sorted", bool(c.style & res::kSorted));
    // The template's height is that of the dropped-down list.
    int itemHeight = combo->fontMetrics().height() + 2;
    int shown = (r.height() - combo->sizeHint().height()) / std::max(1, itemHeight);
    combo->setMaxVisibleItems(std::max(3, shown));
    // The template fixes the size, so the box never needs to measure its items: with a
    // thousand profiles that measuring was most of the time the window took to open.
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    int id = c.id;
    QObject::connect(combo, &QComboBox::activated, combo,
                     [notify, id] { notify(id, CBN_SELCHANGE); });
    return combo;
}

QWidget* MakeControl(const res::ControlTemplate& c, const QRect& r, QWidget* parent,
                     const NotifyFn& notify, bool inPage) {
    QString text = ToQ(c.text);
    switch (c.kind) {
        case res::ControlKind::Static: {
            auto* l = new QLabel(parent);
            l->setWordWrap(true);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            l->setTextFormat(Qt::PlainText);
            l->setText(text);
            return l;
        }
        case res::ControlKind::Picture: {
            auto* l = new QLabel(parent);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            l->setProperty("zo_clip_image", bool(c.style & res::kRealSizeImage));
            l->setPixmap(res::LoadBitmap(c.image));
            return l;
        }
        case res::ControlKind::GroupBox: {
            auto* g = new GroupFrame(text, parent);
            g->setFocusPolicy(Qt::NoFocus);
            return g;
        }
        case res::ControlKind::PushButton:
        case res::ControlKind::DefPushButton: {
            auto* b = new QPushButton(text, parent);
            if (inPage) {
                // Return on a page belongs to the sheet's default button.
                b->setAutoDefault(false);
            } else {
                b->setDefault(c.kind == res::ControlKind::DefPushButton);
            }
            int id = c.id;
            QObject::connect(b, &QPushButton::clicked, b, [notify, id] { notify(id, BN_CLICKED); });
            return b;
        }
        case res::ControlKind::CheckBox: {
            auto* b = new QCheckBox(text, parent);
            int id = c.id;
            QObject::connect(b, &QCheckBox::clicked, b, [notify, id] { notify(id, BN_CLICKED); });
            return b;
        }
        case res::ControlKind::Edit:
            return MakeEdit(c, parent, notify);
        case res::ControlKind::ListBox:
            return MakeList(c, parent, notify);
        case res::ControlKind::ComboBox:
            return MakeCombo(c, r, parent, notify);
        case res::ControlKind::ProgressBar: {
            auto* p = new QProgressBar(parent);
            p->setRange(0, 100);
            p->setValue(0);
            p->setTextVisible(false);
            return p;
        }
    }
    return new QWidget(parent);
}

}  // namespace

std::map<int, QPointer<QWidget>> CreateControls(const res::DialogTemplate& t,
                                                const DialogUnits& units, QWidget* parent,
                                                const NotifyFn& notify) {
    std::map<int, QPointer<QWidget>> byId;
    std::vector<QWidget*> made;
    QWidget* previousTabStop = nullptr;
    for (const res::ControlTemplate& c : t.controls) {
        QRect r = units.ToPixels(c.rect);
        QWidget* w = MakeControl(c, r, parent, notify, t.style & res::kChildPage);
        w->setObjectName(QStringLiteral("control%1").arg(c.id));
        w->setProperty("zo_control_id", c.id);
        if (c.kind == res::ControlKind::ComboBox) {
            r.setHeight(w->sizeHint().height());
        }
        // A one-line label keeps its text whole: the font standing in for the one the
        // templates were laid out with may be a little wider.
        if (c.kind == res::ControlKind::Static && !c.text.empty() &&
            r.height() < 2 * w->fontMetrics().height()) {
            auto* l = static_cast<QLabel*>(w);
            l->setWordWrap(false);
            r.setWidth(std::max(r.width(), l->sizeHint().width()));
        }
        // The box itself may be taller than the template's line with the standing-in font;
        // cut at the bottom, it loses its lower edge. It grows about its middle.
        if (c.kind == res::ControlKind::CheckBox && r.height() < w->sizeHint().height()) {
            const int grow = w->sizeHint().height() - r.height();
            r.adjust(0, -grow / 2, 0, grow - grow / 2);
        }
        if (c.kind == res::ControlKind::Picture && !(c.style & res::kRealSizeImage)) {
            auto* l = static_cast<QLabel*>(w);
            if (!l->pixmap().isNull()) {
                r.setSize(l->pixmap().deviceIndependentSize().toSize());
            }
        }
        w->setGeometry(r);
        if (c.style & res::kHidden) {
            w->setHidden(true);
        }
        if (c.style & res::kDisabled) {
            w->setEnabled(false);
        }
        if (TakesFocus(c)) {
            if (c.style & res::kTabStop) {
                w->setFocusPolicy(Qt::StrongFocus);
                if (previousTabStop) {
                    QWidget::setTabOrder(previousTabStop, w);
                }
                previousTabStop = w;
            } else {
                w->setFocusPolicy(Qt::ClickFocus);
            }
        } else if (c.kind != res::ControlKind::GroupBox) {
            w->setFocusPolicy(Qt::NoFocus);
        }
        if (c.id != -1) {
            byId[c.id] = w;
        }
        made.push_back(w);
    }
    // A static text's mnemonic moves the focus to the next control that takes it.
    for (std::size_t i = 0; i < t.controls.size(); ++i) {
        const res::ControlTemplate& c = t.controls[i];
        if (c.kind != res::ControlKind::Static || c.text.find('&') == std::string::npos) {
            continue;
        }
        auto* label = static_cast<QLabel*>(made[i]);
        QWidget* buddy = nullptr;
        for (std::size_t j = i + 1; j < t.controls.size() && !buddy; ++j) {
            if (TakesFocus(t.controls[j])) {
                buddy = made[j];
            }
        }
        if (buddy) {
            label->setBuddy(buddy);
        } else {
            label->setText(StripMnemonic(label->text()));
        }
    }
    NameControls(t, made);
    return byId;
}

}  // namespace zo::ui
