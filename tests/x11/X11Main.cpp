// The real-window suite's program: one X server with its window manager for the tests it
// runs, and this process's own connection to it for the screenshots.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdlib>
#include <iostream>

#include "x11/XSession.h"

namespace zo::test {
namespace {

XSession* g_session = nullptr;

}  // namespace

XSession& TheX() {
    return *g_session;
}

}  // namespace zo::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    zo::test::XSession x;
    if (!x.Failure().empty()) {
        std::cerr << "no X server for the real-window tests: " << x.Failure() << "\n";
        return 1;
    }
    zo::test::g_session = &x;
    // This process only looks at the screen; its own connection takes the screenshots.
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    QGuiApplication app(argc, argv);
    // The first screenshot sets up the connection's buffers: not on a test's clock.
    x.Grab();
    const int result = RUN_ALL_TESTS();
    zo::test::g_session = nullptr;
    return result;
}
