#include "platform/help/HelpViewer.h"

#include <QDialog>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <filesystem>

#include "platform/files/HelpFile.h"
#include "platform/prompt/Prompter.h"
#include "platform/ui/dialogs/Messages.h"
#include "res/Translation.h"

namespace zo::help {
namespace {

HelpSystem* g_help = nullptr;

std::string BaseName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

bool SameNameNoCase(const std::string& a, const std::string& b) {
    return QString::fromStdString(BaseName(a))
               .compare(QString::fromStdString(BaseName(b)), Qt::CaseInsensitive) == 0;
}

void Report(const std::string& text) {
    platform::CurrentPrompter().Ask(text, platform::Buttons::Ok, platform::Icon::Warning);
}

}  // namespace

HelpSystem& CurrentHelp() {
    static HelpViewer viewer;
    return g_help ? *g_help : viewer;
}

void SetHelp(HelpSystem* help) {
    g_help = help;
}

bool WinHelp(QWidget* owner, const std::string& file, unsigned command, unsigned long data) {
    switch (command) {
        case ui::HELP_CONTEXT:
            CurrentHelp().ShowContext(owner, file, data);
            return true;
        case ui::HELP_QUIT:
            CurrentHelp().Quit(file);
            return true;
        default:
            return false;
    }
}

HelpViewer::~HelpViewer() {
    delete m_window.data();
}

void HelpViewer::ShowContext(QWidget* owner, const std::string& file, unsigned long context) {
    files::HelpFile help;
    std::string why;
    if (!help.Load(file, &why)) {
        Report(res::Fill(res::Tr("The help file \"%1\" %2."), {file, why}));
        return;
    }
    const files::HelpTopic* topic = help.Find(context);
    if (!topic) {
        Report(res::Fill(res::Tr("The help file \"%1\" has no topic for context %2."),
                         {file, std::to_string(context)}));
        return;
    }
    // A window of the sheet that asked, so that the sheet's modal run lets it be used.
    QWidget* parent = owner ? owner->window() : nullptr;
    if (m_window && m_window->parentWidget() != parent) {
        delete m_window.data();
    }
    if (!m_window) {
        auto* window = new QDialog(parent, Qt::Window);
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->resize(440, 360);
        auto* layout = new QVBoxLayout(window);
        auto* browser = new QTextBrowser(window);
        browser->setOpenLinks(false);
        layout->addWidget(browser);
        m_window = window;
        m_browser = browser;
    }
    QString html = "<h3>" + QString::fromStdString(topic->title).toHtmlEscaped() + "</h3>";
    for (const std::string& p : topic->paragraphs) {
        html += "<p>" + QString::fromStdString(p).toHtmlEscaped() + "</p>";
    }
    m_browser->setHtml(html);
    m_window->setWindowTitle(
        QString::fromStdString(res::Fill(res::Tr("%1 - Help"), {topic->title})));
    m_file = file;
    m_context = context;
    m_window->show();
    m_window->raise();
}

void HelpViewer::Quit(const std::string& file) {
    if (m_window && SameNameNoCase(file, m_file)) {
        delete m_window.data();
        m_file.clear();
        m_context = 0;
    }
}

std::string HelpViewer::ShownText() const {
    return m_browser ? m_browser->toPlainText().toStdString() : std::string();
}

}  // namespace zo::help
