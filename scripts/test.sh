#!/usr/bin/env bash
# Installs what is missing, builds QuorStudio and runs the whole test suite with ctest, then the
# same suite under AddressSanitizer and UndefinedBehaviorSanitizer, the thread tests under
# ThreadSanitizer (scripts/sanitize.sh), and each fuzz target for 20 seconds (scripts/fuzz.sh).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_missing $QUOR_BUILD_PACKAGES xvfb xauth desktop-file-utils appstream shared-mime-info \
    clang-14 libclang-rt-14-dev

build="$QUOR_ROOT/build-tests"
# Optimised as a release is, without debug information, which would double the build's time.
cmake -S "$QUOR_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DQUOR_BUILD_TESTS=ON
cmake --build "$build" -j "$(nproc)"
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)")

bash "$QUOR_ROOT/scripts/sanitize.sh" all
bash "$QUOR_ROOT/scripts/fuzz.sh" -t 20
