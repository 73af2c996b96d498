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
#include "platform/ui/Dialog.h"
#include "res/ResourceIds.h"

namespace zo::link {

std::string DescribePortDevice(const std::string& portName) {
    const comm::PortMap& map = comm::CurrentPortMap();
    if (portName.empty()) {
        return {};
    }
    std::string path = map.PathOf(portName);
    if (path.empty()) {
        return portName + (map.IsMapped(portName) ? " is a built-in device" : " has no device");
    }
    switch (map.SourceOf(portName)) {
        case comm::PortSource::Default:
            return portName + " is " + path + " (default)";
        case comm::PortSource::Saved:
            return portName + " is " + path + " (your choice)";
        case comm::PortSource::CommandLine:
            return portName + " is " + path + " (--port)";
        case comm::PortSource::Simulated:
            return portName + " is the simulated card";
        case comm::PortSource::Program:
            break;
    }
    return portName + " is " + path;
}

PortDeviceDialog::PortDeviceDialog(const std::string& portName, QWidget* parent)
    : QDialog(parent), m_portName(portName) {
    setWindowTitle(tr("Port Device"));
    auto* layout = new QVBoxLayout(this);
    auto* prompt = new QLabel(
        QString::fromStdString("&Device for " + portName + " (a serial device of this machine):"),
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
            label += tr("  (not usable by you)");
        }
        m_device->addItem(label, QString::fromStdString(port.path));
        if (!port.usable) {
            m_device->setItemData(m_device->count() - 1, QString::fromStdString(port.why),
                                  Qt::ToolTipRole);
        }
    }
    m_device->setEditText(QString::fromStdString(comm::CurrentPortMap().PathOf(portName)));
    layout->addWidget(m_device);
    auto* hint = new QLabel(tr("Saved for you alone; zo-config ports lists the devices."), this);
    hint->setTextFormat(Qt::PlainText);
    layout->addWidget(hint);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* reset = buttons->addButton(tr("Use De&fault"), QDialogButtonBox::ResetRole);
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
    platform::CurrentPrompter().Ask(m_portName + " was not changed.", platform::Buttons::Ok,
                                    platform::Icon::Warning, error);
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
    page.SetDlgItemText(res::IDC_PORT_DEVICE, DescribePortDevice(portName));
    if (QWidget* button = page.GetDlgItem(res::IDC_PORT_DEVICE_CHOOSE)) {
        button->setEnabled(!portName.empty() && !comm::CurrentPortMap().SavedPortsFile().empty());
    }
}

}  // namespace zo::link
