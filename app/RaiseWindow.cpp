#include "app/RaiseWindow.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#ifdef ZO_HAVE_XCB
#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <cstring>
#endif

namespace zo::app {
namespace {

QWidget* TopWindow() {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (QWidget* active = QApplication::activeWindow()) {
        return active;
    }
    QWidget* found = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->windowType() != Qt::ToolTip &&
            top->windowType() != Qt::Popup) {
            found = top;
        }
    }
    return found;
}

// Window managers refuse focus to an application's own request when another program has
// it, and to a parentless dialog (ours are transient for the program's group) always. The
// user did ask, by starting the program again, so the request goes as a pager's would.
void RequestActivationAsUser(QWidget* window) {
#ifdef ZO_HAVE_XCB
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection()) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    static const char kName[] = "_NET_ACTIVE_WINDOW";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, sizeof kName - 1, kName), nullptr);
    if (!atom) {
        return;
    }
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof event);
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(window->winId());
    event.type = atom->atom;
    event.data.data32[0] = 2;  // source: a pager, acting for the user
    event.data.data32[1] = XCB_CURRENT_TIME;
    std::free(atom);
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
#else
    (void)window;
#endif
}

}  // namespace

void RaiseTopWindow() {
    QWidget* window = TopWindow();
    if (!window) {
        return;
    }
    if (window->isMinimized()) {
        window->showNormal();
    }
    window->raise();
    window->activateWindow();
    RequestActivationAsUser(window);
}

}  // namespace zo::app
