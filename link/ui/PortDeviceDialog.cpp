#include "link/ui/PortDeviceDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/comm/MachinePorts.h"
#include "platform/comm/PortMap.h"
#include "platform/prompt/Prompter.h"
#include "platform/ui/dialogs/Dialog.h"
#include "res/ResourceIds.h"
#include "res/Translation.h"

namespace zo::link {

std::string DescribePortDevice(const std::string& portName) {
    const comm::PortMap& map = comm::CurrentPortMap();
    if (portName.empty()) {
        return {};
    }
    std::string path = map.PathOf(portName);
    if (path.empty()) {
        return res::Fill(map.IsMapped(portName) ? res::Tr("%1 is a built-in device")
                                                : res::Tr("%1 has no device"),
                         {portName});
    }
    switch (map.SourceOf(portName)) {
        case comm::PortSource::Default:
            return res::Fill(res::Tr("%1 is %2 (default)"), {portName, path});
        case comm::PortSource::Saved:
            return res::Fill(res::Tr("%1 is %2 (your choice)"), {portName, path});
        case comm::PortSource::CommandLine:
            return res::Fill(res::Tr("%1 is %2 (--port)"), {portName, path});
        case comm::PortSource::Simulated:
            return res::Fill(res::Tr("%1 is the simulated card"), {portName});
        case comm::PortSource::Program:
            break;
    }
    return res::Fill(res::Tr("%1 is %2"), {portName, path});
}

PortDeviceDialog::PortDeviceDialog(const std::string& portName, QWidget* parent)
    : QDialog(parent), m_portName(portName) {
    setWindowTitle(QString::fromUtf8(res::Tr("Port Device")));
    auto* layout = new QVBoxLayout(this);
    auto* prompt =
        new QLabel(QString::fromStdString(res::Fill(
                       res::Tr("&Device for %1 (a serial device of this machine):"), {portName})),
                   this);
    prompt->setTextFormat(Qt::PlainText);
    layout->addWidget(prompt);
    m_device = new QComboBox(this);
    m_device->setEditable(true);
    m_device->setInsertPolicy(QComboBox::NoInsert);
    m_device->setMinimumContentsLength(36);
    prompt->setBuddy(m_device);
    for (const comm::MachinePort& port : comm::ListMachinePorts()) {
        QString label = QString::fromStdString(port.path);
        if (!port.target.empty()) {
            label += QString::fromStdString("  (" + port.target + ")");
        }
        if (!port.usable) {
            label += QString::fromUtf8(res::Tr("  (not usable by you)"));
        }
        m_device->addItem(label, QString::fromStdString(port.path));
        if (!port.usable) {
            m_device->setItemData(m_device->count() - 1, QString::fromStdString(port.why),
                                  Qt::ToolTipRole);
        }
    }
    m_device->setEditText(QString::fromStdString(comm::CurrentPortMap().PathOf(portName)));
    layout->addWidget(m_device);
    auto* hint = new QLabel(
        QString::fromUtf8(res::Tr("Saved for you alone; zo-config ports lists the devices.")),
        this);
    hint->setTextFormat(Qt::PlainText);
    layout->addWidget(hint);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QString::fromUtf8(res::Tr("OK")));
    buttons->button(QDialogButtonBox::Cancel)->setText(QString::fromUtf8(res::Tr("Cancel")));
    QPushButton* reset =
        buttons->addButton(QString::fromUtf8(res::Tr("Use De&fault")), QDialogButtonBox::ResetRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(reset, &QPushButton::clicked, this, [this] { UseDefault(); });
    layout->addWidget(buttons);
}

bool PortDeviceDialog::Save(const std::string& device) {
    std::string error;
    if (comm::CurrentPortMap().SavePort(m_portName, device, &error)) {
        return true;
    }
    platform::CurrentPrompter().Ask(res::Fill(res::Tr("%1 was not changed."), {m_portName}),
                                    platform::Buttons::Ok, platform::Icon::Warning, error);
    return false;
}

void PortDeviceDialog::accept() {
    // A listed device is taken by its path, not by the label that describes it.
    QString text = m_device->currentText().trimmed();
    const int listed = m_device->findText(text);
    if (listed >= 0) {
        text = m_device->itemData(listed).toString();
    }
    if (text.isEmpty()) {
        UseDefault();
        return;
    }
    if (Save(text.toStdString())) {
        QDialog::accept();
    }
}

void PortDeviceDialog::UseDefault() {
    if (Save({})) {
        QDialog::accept();
    }
}

bool ChoosePortDevice(const std::string& portName, QWidget* parent) {
    const std::string before = comm::CurrentPortMap().PathOf(portName);
    PortDeviceDialog dialog(portName, parent);
    dialog.exec();
    return comm::CurrentPortMap().PathOf(portName) != before;
}

void ShowPortDevice(ui::Dialog& page, const std::string& portName) {
    page.SetControlText(res::IDC_PORT_DEVICE, DescribePortDevice(portName));
    if (QWidget* button = page.ControlWidget(res::IDC_PORT_DEVICE_CHOOSE)) {
        button->setEnabled(!portName.empty() && !comm::CurrentPortMap().SavedPortsFile().empty());
    }
}

}  // namespace zo::link
