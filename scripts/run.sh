#!/bin/sh
# Starts the main program: the desktop application once built, else the
# library demonstration.
set -eu
BUILD="${1:-build}"
if [ -x "$BUILD/bin/Mirvo" ]; then
    # The Makefile makes tests headless; the program goes to the user's
    # display (without one it stops with a message).
    if [ "${QT_QPA_PLATFORM:-}" = offscreen ] && [ -z "${MIRVO_OFFSCREEN:-}" ]; then
        unset QT_QPA_PLATFORM
    fi
    exec "$BUILD/bin/Mirvo"
elif [ -x "$BUILD/bin/mirvo-calc" ]; then
    exec "$BUILD/bin/mirvo-calc" --demo
else
    exec "$BUILD/bin/mirvo-demo"
fi
