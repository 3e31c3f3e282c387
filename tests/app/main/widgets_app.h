// Widget tests need one QApplication; it is created on first use with the
// offscreen platform, and message boxes are answered without showing them.
#pragma once

#include <QApplication>
#include <QString>

#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace mirvo::test {

inline void ensureWidgetsApp() {
    static int argc = 1;
    static char name[] = "test_app";
    static char* argv[] = {name, nullptr};
    if (QApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept to the end of the process: destroying it among the static objects
    // at exit runs after Qt's input devices are gone.
    static QApplication* app = new QApplication(argc, argv);
    (void)app;
}

// As the first member of a fixture, before its widgets.
struct WidgetsApp {
    WidgetsApp() { ensureWidgetsApp(); }
};

}  // namespace mirvo::test
