// The program's start-up in its fixed order: folder manager, log, program
// version and command line, application state, product configuration, user
// settings, then the main window and its message loop. Every failure ends in a
// clear message (shown and logged) and a non-zero exit code, never a crash.
#pragma once

namespace mirvo::main {

// Exit codes of runMirvo.
inline constexpr int kExitOk = 0;
inline constexpr int kExitStartupFailed = 1;
inline constexpr int kExitNoDisplay = 2;

// Whether a window system can be reached: a platform chosen by "-platform" or
// QT_QPA_PLATFORM, or a DISPLAY / WAYLAND_DISPLAY to connect to.
bool displayAvailable(int argc, char** argv);

int runMirvo(int argc, char** argv);

}  // namespace mirvo::main
