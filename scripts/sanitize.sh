#!/usr/bin/env bash
# Builds QuorStudio with the sanitizers and runs the tests under them.
#
#   bash scripts/sanitize.sh [address|thread|all]     (default: all)
#
#   address   the whole test suite under AddressSanitizer (with leak checking) and
#             UndefinedBehaviorSanitizer, in build-asan/
#   thread    the engine worker, the stand-in engine and the shutdown stress tests under
#             ThreadSanitizer, in build-tsan/
#
# Any sanitizer report fails the test that made it (see cmake/Sanitizers.cmake).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

which=${1:-all}
case $which in
address | thread | all) ;;
*) echo "usage: $0 [address|thread|all]" >&2; exit 2 ;;
esac

install_missing $QUOR_BUILD_PACKAGES xvfb xauth desktop-file-utils appstream shared-mime-info

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

if [ "$which" != thread ]; then
    build="$QUOR_ROOT/build-asan"
    cmake -S "$QUOR_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUOR_BUILD_TESTS=ON -DQUOR_SANITIZE="address;undefined" -DQUOR_TEST_DIRS=""
    cmake --build "$build" -j "$jobs"
    (cd "$build" && ctest --output-on-failure -j "$jobs")
fi

if [ "$which" != address ]; then
    build="$QUOR_ROOT/build-tsan"
    cmake -S "$QUOR_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DQUOR_BUILD_TESTS=ON -DQUOR_SANITIZE=thread -DQUOR_TEST_DIRS="engine;quor;reliability"
    cmake --build "$build" -j "$jobs"
    # The threads: the worker, the stand-in engine (its C interface under threads) and the
    # shutdown stress cycles. The install checks preload a helper and are left to the other runs.
    (cd "$build" && ctest --output-on-failure -j "$jobs" -R '^tst_(quorw|quor|shutdownstress)')
fi
