#!/usr/bin/env bash
# Builds QuorStudio with the sanitizers and runs the tests under them.
#
#   bash scripts/sanitize.sh [address|thread|all]     (default: all)
#
#   address   the whole test suite under AddressSanitizer (with leak checking) and
#             UndefinedBehaviorSanitizer, in build-asan/
#   thread    the engine worker, the stand-in engine, the shutdown stress tests and the engine
#             host with its client under ThreadSanitizer, in build-tsan/
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
cd "$QUOR_ROOT"
# The presets (CMakePresets.json) build with line tables only: all a sanitizer report needs to
# name files and lines; full debug information would double the build's time.

if [ "$which" != thread ]; then
    cmake --preset asan
    cmake --build --preset asan -j "$jobs"
    ctest --preset asan -j "$jobs"
fi

if [ "$which" != address ]; then
    # The threads: the worker, the stand-in engine (its C interface under threads), the shutdown
    # stress cycles and the engine host with its client. The install checks preload a helper and are left to the other runs;
    # the preset builds only the programs that run here.
    cmake --preset tsan
    cmake --build --preset tsan -j "$jobs"
    ctest --preset tsan -j "$jobs"
fi
