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
# Line tables are all a sanitizer report needs to name files and lines; full debug information
# would double the build's time.
flags="-O2 -g1 -DNDEBUG"
export QT_QPA_PLATFORM=offscreen

if [ "$which" != thread ]; then
    build="$QUOR_ROOT/build-asan"
    cmake -S "$QUOR_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$flags" -DQUOR_BUILD_TESTS=ON \
        -DQUOR_SANITIZE="address;undefined" -DQUOR_TEST_DIRS=""
    cmake --build "$build" -j "$jobs"
    (cd "$build" && ctest --output-on-failure -j "$jobs")
fi

if [ "$which" != address ]; then
    build="$QUOR_ROOT/build-tsan"
    cmake -S "$QUOR_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$flags" -DQUOR_BUILD_TESTS=ON \
        -DQUOR_SANITIZE=thread -DQUOR_TEST_DIRS="engine;quor;reliability"
    # The threads: the worker, the stand-in engine (its C interface under threads) and the
    # shutdown stress cycles. The install checks preload a helper and are left to the other runs;
    # only the programs that run here are built.
    threaded=(tst_quorw tst_quor tst_shutdownstress tst_shutdownstress_standin)
    cmake --build "$build" -j "$jobs" --target "${threaded[@]}"
    (cd "$build" && ctest --output-on-failure -j "$jobs" -R '^tst_(quorw|quor|shutdownstress)')
fi
