#include "platform/ui/controls/MessageBoxPrompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>

#include "platform/ui/controls/Text.h"
#include "res/Translation.h"
#include "res/ui/Artwork.h"

namespace zo::ui {

using platform::Answer;
using platform::Buttons;
using platform::Icon;

namespace {

// A message box is as narrow as its text; the window manager then cuts a longer title.
// A spacer across the bottom keeps the box as wide as the title with room for the
// title bar's buttons.
void KeepTitleWhole(QMessageBox& box) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) {
        return;
    }
    QFont titleFont = box.font();
    titleFont.setBold(true);
    int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + 120;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

// Profile names, file names and the card's text end up in these boxes: markup in them
// is shown as typed, never drawn (no pictures loaded from the disk, no links).
void ShowAsPlainText(QMessageBox& box) {
    box.setTextFormat(Qt::PlainText);
    for (auto* label : box.findChildren<QLabel*>()) {
        if (label->objectName().startsWith(QLatin1String("qt_msgbox_"))) {
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
        }
    }
}

// The box's sign drawn for the screen's ratio; the box keeps its kind (read by screen
// readers), only the picture is ours.
void DrawSign(QMessageBox& box) {
    res::MessageSign sign;
    switch (box.icon()) {
        case QMessageBox::Warning:
            sign = res::MessageSign::Warning;
            break;
        case QMessageBox::Question:
            sign = res::MessageSign::Question;
            break;
        case QMessageBox::Information:
            sign = res::MessageSign::Information;
            break;
        case QMessageBox::Critical:
            sign = res::MessageSign::Critical;
            break;
        default:
            return;
    }
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label"))) {
        label->setPixmap(res::LoadMessageSign(sign));
    }
}

}  // namespace

Answer MessageBoxPrompter::Ask(const std::string& text, Buttons buttons, Icon icon,
                               const std::string& detail) {
    QMessageBox::StandardButtons set;
    switch (buttons) {
        case Buttons::Ok:
            set = QMessageBox::Ok;
            break;
        case Buttons::OkCancel:
            set = QMessageBox::Ok | QMessageBox::Cancel;
            break;
        case Buttons::RetryCancel:
            set = QMessageBox::Retry | QMessageBox::Cancel;
            break;
        case Buttons::YesNo:
            set = QMessageBox::Yes | QMessageBox::No;
            break;
        case Buttons::YesNoCancel:
            set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
    }
    QMessageBox::Icon qicon = QMessageBox::NoIcon;
    switch (icon) {
        // A box that names no icon gets the one of its kind, as the framework's message
        // boxes do: an exclamation mark for a notice, a question mark for a question.
        case Icon::None:
            if (buttons == Buttons::Ok || buttons == Buttons::OkCancel) {
                qicon = QMessageBox::Warning;
            } else if (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) {
                qicon = QMessageBox::Question;
            }
            break;
        case Icon::Information:
            qicon = QMessageBox::Information;
            break;
        case Icon::Warning:
            qicon = QMessageBox::Warning;
            break;
        case Icon::Error:
            qicon = QMessageBox::Critical;
            break;
        case Icon::Question:
            qicon = QMessageBox::Question;
            break;
    }
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) {
        parent = QApplication::activeWindow();
    }
    QMessageBox box(qicon, ToQ(m_caption), ToQ(text), set, parent);
    if (!detail.empty()) {
        box.setInformativeText(ToQ(detail));
    }
    // Qt's own words for the buttons come from a catalogue of Qt's that may not be
    // installed; ours always is.
    const std::pair<QMessageBox::StandardButton, const char*> kButtonTexts[] = {
        {QMessageBox::Ok, N_("OK")},       {QMessageBox::Cancel, N_("Cancel")},
        {QMessageBox::Retry, N_("Retry")}, {QMessageBox::Yes, N_("&Yes")},
        {QMessageBox::No, N_("&No")},
    };
    for (const auto& [which, english] : kButtonTexts) {
        if (QAbstractButton* b = box.button(which)) {
            b->setText(QString::fromUtf8(res::Tr(english)));
        }
    }
    ShowAsPlainText(box);
    KeepTitleWhole(box);
    DrawSign(box);
    // The first button is the default, as in the window system's message boxes.
    for (QMessageBox::StandardButton b : {QMessageBox::Ok, QMessageBox::Retry, QMessageBox::Yes}) {
        if (set & b) {
            box.setDefaultButton(b);
            break;
        }
    }
    // The user answers with the ordinary pointer even while the program is busy.
    if (m_waitDepth > 0) {
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    int r = box.exec();
    if (m_waitDepth > 0) {
        QApplication::restoreOverrideCursor();
    }
    switch (r) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Retry:
            return Answer::Retry;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return buttons == Buttons::Ok
                       ? Answer::Ok
                       : (buttons == Buttons::YesNo ? Answer::No : Answer::Cancel);
    }
}

void MessageBoxPrompter::BeginWaitCursor() {
    ++m_waitDepth;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void MessageBoxPrompter::EndWaitCursor() {
    if (m_waitDepth > 0) {
        --m_waitDepth;
        QApplication::restoreOverrideCursor();
    }
}

}  // namespace zo::ui
