#pragma once

#include <QPointer>
#include <string>

#include "platform/help/HelpSystem.h"

class QDialog;
class QTextBrowser;

namespace zo::help {

// The help window. It reads the help file at every request, so that it always shows
// what the file holds now, and reports a missing or damaged file, or a context the file
// does not have, as a warning through the prompter in force (texts of its own, no number).
// User-interface thread.
class HelpViewer : public HelpSystem {
public:
    HelpViewer() = default;
    ~HelpViewer() override;

    void ShowContext(QWidget* owner, const std::string& file, unsigned long context) override;
    // Closes the window when it shows a file of that name.
    void Quit(const std::string& file) override;

    QDialog* Window() const { return m_window.data(); }
    const std::string& ShownFile() const { return m_file; }
    unsigned long ShownContext() const { return m_context; }
    // The text the window shows.
    std::string ShownText() const;

private:
    QPointer<QDialog> m_window;
    QPointer<QTextBrowser> m_browser;
    std::string m_file;
    unsigned long m_context = 0;
};

}  // namespace zo::help
