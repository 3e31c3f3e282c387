// Fonts and painters need a GUI application object; tests create one on
// first use (the platform is offscreen).
#pragma once

#include <QGuiApplication>

namespace kavelin::rtf::test {

inline void ensureGuiApp() {
    static int argc = 1;
    static char name[] = "test_rtf";
    static char* argv[] = {name, nullptr};
    if (QGuiApplication::instance()) return;
    // Headless also when the test runner does not pass the platform on.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
}

}  // namespace kavelin::rtf::test
