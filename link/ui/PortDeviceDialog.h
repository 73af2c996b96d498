#pragma once

#include <QDialog>
#include <string>

class QComboBox;

namespace zo::ui {
class Dialog;
}

namespace zo::link {

// What a COM name means on this machine, for the port pages: "COM3 is /dev/ttyS2
// (default)", or where the simulated card is.
std::string DescribePortDevice(const std::string& portName);

// "Port Device": points one COM name at any serial device of the machine (a UART port, a
// USB adapter, a stable /dev/serial/by-id name, or a path typed in), or back to its
// default. The choice is saved in the user's port settings and used from the next open
// of the port; a device that cannot be one is refused with the reason and nothing changes.
// Seams: the port map in force (read, and changed on OK) and the prompter (the refusal).
// User-interface thread, while no conversation runs.
class PortDeviceDialog : public QDialog {
    Q_OBJECT
public:
    PortDeviceDialog(const std::string& portName, QWidget* parent);

    // The device field, for tests and the keyboard.
    QComboBox* DeviceField() const { return m_device; }

    void accept() override;

private:
    void UseDefault();
    bool Save(const std::string& device);

    std::string m_portName;
    QComboBox* m_device = nullptr;
};

// Runs the dialog for `portName`; true when the port now means another device.
bool ChoosePortDevice(const std::string& portName, QWidget* parent);

// A port page's device line and "Device..." button: the line says what `portName` means;
// the button works where this run keeps port settings (not with the simulated card).
void ShowPortDevice(ui::Dialog& page, const std::string& portName);

}  // namespace zo::link
