#include "support/ui/QtTestMain.h"

#include <QApplication>
#include <QTest>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace zo::test {
namespace {

std::map<std::string, QtTestFactory>& Classes() {
    static std::map<std::string, QtTestFactory> classes;
    return classes;
}

}  // namespace

bool RegisterQtTest(const char* name, QtTestFactory make) {
    Classes().emplace(name, make);
    return true;
}

}  // namespace zo::test

int main(int argc, char** argv) {
    const auto& classes = zo::test::Classes();
    const auto found = argc > 1 ? classes.find(argv[1]) : classes.end();
    if (found == classes.end()) {
        std::cerr << "usage: " << argv[0] << " CLASS [Qt Test arguments]\nclasses:";
        for (const auto& entry : classes) {
            std::cerr << ' ' << entry.first;
        }
        std::cerr << '\n';
        return 2;
    }
    // Qt Test reads the arguments after the class name as if they were its own.
    std::vector<char*> args{argv[0]};
    args.insert(args.end(), argv + 2, argv + argc);
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);

    QApplication app(count, args.data());
    app.setAttribute(Qt::AA_Use96Dpi, true);
    std::unique_ptr<QObject> test = found->second();
    return QTest::qExec(test.get(), count, args.data());
}
