#pragma once

#include <QObject>
#include <memory>

namespace zo::test {

using QtTestFactory = std::unique_ptr<QObject> (*)();

// Enters a Qt Test class under its name in the folder's test program; true, so that it
// can initialise a static.
bool RegisterQtTest(const char* name, QtTestFactory make);

}  // namespace zo::test

// Stands where QTEST_MAIN would: the folder's test program runs the class whose name is
// its first argument, in a process of its own with a QApplication as QTEST_MAIN makes;
// the arguments after it go to Qt Test (a test function's name, -v2, ...).
#define ZO_QTEST(Class)                                                              \
    namespace {                                                                      \
    [[maybe_unused]] const bool zo_registered_##Class = ::zo::test::RegisterQtTest(  \
        #Class, [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); }); \
    }
