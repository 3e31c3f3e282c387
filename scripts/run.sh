#!/bin/sh
# Starts the main program: the desktop application once built, else the
# library demonstration.
set -eu
BUILD="${1:-build}"
if [ -x "$BUILD/bin/Mirvo" ]; then
    exec "$BUILD/bin/Mirvo"
elif [ -x "$BUILD/bin/mirvo-calc" ]; then
    exec "$BUILD/bin/mirvo-calc" --demo
else
    exec "$BUILD/bin/mirvo-demo"
fi
