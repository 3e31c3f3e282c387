// The script engine needs a Qt application object; tests create one on
// first use.
#pragma once

#include <QCoreApplication>

namespace mirvo::test {

inline void ensureCoreApp() {
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance()) return;
    static QCoreApplication app(argc, argv);
}

}  // namespace mirvo::test
