#!/usr/bin/env bash
# Installs what is missing, builds QuorStudio and runs the whole test suite with ctest.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_missing $QUOR_BUILD_PACKAGES xvfb xauth desktop-file-utils appstream shared-mime-info

build="$QUOR_ROOT/build-tests"
cmake -S "$QUOR_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUOR_BUILD_TESTS=ON
cmake --build "$build" -j "$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
