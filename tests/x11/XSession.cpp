#include "x11/XSession.h"

#include "support/ProgramRun.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <thread>

namespace zo::test {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Reads the display number Xvfb writes once it accepts connections.
std::string ReadDisplayNumber(int fd, std::chrono::milliseconds limit) {
    std::string text;
    const auto deadline = Clock::now() + limit;
    while (Clock::now() < deadline && text.find('\n') == std::string::npos) {
        char buf[32];
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            text.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0) {
            break;
        } else {
            std::this_thread::sleep_for(20ms);
        }
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return q + "'";
}

}  // namespace

XSession::XSession() {
    int pipeFd[2];
    if (::pipe2(pipeFd, O_CLOEXEC) != 0) {
        m_failure = "no pipe for the display number";
        return;
    }
    m_server = ::fork();
    if (m_server == 0) {
        ::dup2(pipeFd[1], 3);
        int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten",
                 "tcp", "-noreset", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFd[1]);
    ::fcntl(pipeFd[0], F_SETFL, O_NONBLOCK);
    const std::string number = ReadDisplayNumber(pipeFd[0], 20s);
    ::close(pipeFd[0]);
    if (number.empty()) {
        m_failure = "Xvfb did not start (is the xvfb package installed?)";
        return;
    }
    m_display = ":" + number;
    ::setenv("DISPLAY", m_display.c_str(), 1);
    m_manager = Spawn({"openbox", "--sm-disable"}, "/dev/null");
    // The manager is ready once it has named itself on the root window.
    const auto deadline = Clock::now() + 20s;
    while (Clock::now() < deadline) {
        std::string out;
        if (FILE* p = ::popen("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null", "r")) {
            char buf[256];
            while (std::fgets(buf, sizeof buf, p)) {
                out += buf;
            }
            ::pclose(p);
        }
        if (out.find("window id") != std::string::npos) {
            return;
        }
        std::this_thread::sleep_for(50ms);
    }
    m_failure = "openbox did not take the display";
}

XSession::~XSession() {
    Stop(m_manager);
    Stop(m_server);
}

void XSession::Stop(pid_t& pid) {
    if (pid > 0) {
        ::kill(pid, SIGTERM);
        int status = 0;
        for (int i = 0; i < 100 && ::waitpid(pid, &status, WNOHANG) == 0; ++i) {
            std::this_thread::sleep_for(20ms);
        }
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        pid = -1;
    }
}

pid_t XSession::Spawn(const std::vector<std::string>& argv, const std::string& logPath,
                      const std::vector<std::string>& extraEnv) {
    std::vector<std::string> environment{"DISPLAY=" + m_display, "QT_QPA_PLATFORM"};
    environment.insert(environment.end(), extraEnv.begin(), extraEnv.end());
    return ::zo::test::Spawn(argv, logPath, environment);
}

std::string XSession::XDo(const std::string& arguments) const {
    std::string out;
    const std::string command = "DISPLAY=" + m_display + " xdotool " + arguments + " 2>/dev/null";
    if (FILE* p = ::popen(command.c_str(), "r")) {
        char buf[512];
        while (std::fgets(buf, sizeof buf, p)) {
            out += buf;
        }
        ::pclose(p);
    }
    return out;
}

std::vector<unsigned long> XSession::Windows(const std::string& titleRegex) const {
    std::vector<unsigned long> ids;
    std::istringstream lines(XDo("search --onlyvisible --name " + Quote(titleRegex)));
    for (unsigned long id; lines >> id;) {
        ids.push_back(id);
    }
    return ids;
}

unsigned long XSession::AwaitWindow(const std::string& titleRegex,
                                    std::chrono::milliseconds limit) const {
    const auto deadline = Clock::now() + limit;
    do {
        std::vector<unsigned long> ids = Windows(titleRegex);
        if (!ids.empty()) {
            return ids.back();
        }
        std::this_thread::sleep_for(5ms);
    } while (Clock::now() < deadline);
    return 0;
}

QRect XSession::Geometry(unsigned long window) const {
    std::istringstream lines(XDo("getwindowgeometry --shell " + std::to_string(window)));
    int x = 0, y = 0, w = 0, h = 0;
    for (std::string line; std::getline(lines, line);) {
        const auto eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const std::string key = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X")
            x = value;
        if (key == "Y")
            y = value;
        if (key == "WIDTH")
            w = value;
        if (key == "HEIGHT")
            h = value;
    }
    return QRect(x, y, w, h);
}

void XSession::Activate(unsigned long window) const {
    XDo("windowactivate --sync " + std::to_string(window));
}

void XSession::CloseFromTitleBar(unsigned long window) const {
    // A click on the button would need the frame's geometry, which xdotool reports shifted
    // by the title bar's height under openbox.
    const std::string command =
        "DISPLAY=" + m_display + " wmctrl -i -c " + std::to_string(window) + " 2>/dev/null";
    // A close that did not happen shows in the caller's wait for the window to go.
    if (std::system(command.c_str()) != 0) {
        return;
    }
}

bool XSession::AwaitSettled(const QRect& area, std::chrono::milliseconds limit,
                            std::chrono::milliseconds still, const QRect& moving) const {
    const auto start = std::chrono::steady_clock::now();
    QImage last = Grab();
    auto since = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const QImage shot = Grab();
        bool same = true;
        for (int y = area.top(); same && y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                if (!moving.contains(x, y) && shot.pixel(x, y) != last.pixel(x, y)) {
                    same = false;
                    break;
                }
            }
        }
        if (!same) {
            last = shot;
            since = std::chrono::steady_clock::now();
        } else if (std::chrono::steady_clock::now() - since >= still) {
            return true;
        }
    }
    return false;
}

void XSession::Key(const std::string& keys) const {
    XDo("key --delay 40 " + keys);
}

void XSession::Type(const std::string& text) const {
    XDo("type --delay 30 " + Quote(text));
}

QImage XSession::Grab() const {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32)
                  : QImage();
}

}  // namespace zo::test
