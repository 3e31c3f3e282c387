#!/bin/sh
# Installs the Debian packages the build and the tests need, when any is missing.
set -eu

PACKAGES="build-essential cmake ninja-build pkg-config
libgtest-dev libgmock-dev libbenchmark-dev
qt6-base-dev qt6-declarative-dev libgl1-mesa-dev
libcurl4-openssl-dev libzip-dev
fonts-liberation2 poppler-utils xvfb xauth clang"

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

[ -z "$missing" ] && exit 0

echo "Installerer manglende pakker:$missing"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing
