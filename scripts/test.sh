#!/usr/bin/env bash
# Installs what is missing, builds QuorStudio and runs the whole test suite with ctest, then the
# same suite under AddressSanitizer and UndefinedBehaviorSanitizer, the thread tests under
# ThreadSanitizer (scripts/sanitize.sh), and each fuzz target for 20 seconds (scripts/fuzz.sh).
# Neovim and kate-syntax-highlighter are there for the checks of the language server's client
# set-up and of the syntax definition.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

install_missing $QUOR_BUILD_PACKAGES xvfb xauth desktop-file-utils appstream shared-mime-info \
    clang-14 libclang-rt-14-dev neovim libkf5syntaxhighlighting-tools

cd "$QUOR_ROOT"
# The "tests" preset (CMakePresets.json): optimised as a release is, without debug information,
# which would double the build's time; in build-tests/.
cmake --preset tests
cmake --build --preset tests -j "$(nproc)"
ctest --preset tests -j "$(nproc)"

bash "$QUOR_ROOT/scripts/sanitize.sh" all
bash "$QUOR_ROOT/scripts/fuzz.sh" -t 20
