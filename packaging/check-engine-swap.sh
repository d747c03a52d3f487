#!/usr/bin/env bash
# Engine substitution check, run by ctest: starts QuorStudio with the example engine of
# docs/echo-engine.cpp put first in LD_LIBRARY_PATH, as docs/engine-library.md describes, and
# checks that the program loads that library instead of its own and shows its version line.
#
#   bash packaging/check-engine-swap.sh PROGRAM PROBE ECHO_ENGINE_FOLDER [RUNNER]
#
# With RUNNER (quorstudio-run) the same check runs for it.
set -euo pipefail

program=$(realpath "$1")
probe=$(realpath "$2")
engine_dir=$(realpath "$3")
runner=${4:+$(realpath "$4")}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

failures=0
checks=0
pass() { checks=$((checks + 1)); }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAIL: $*"; }
check() {
    local what=$1
    shift
    if "$@"; then pass; else fail "$what"; fi
}

source "$(dirname "${BASH_SOURCE[0]}")/check-install-run.sh"
# The build's folders and version.
source "$(dirname "$program")/../packaging/install-dirs.sh"
check_installed_program "$program" "$engine_dir/libquor.so.1" "$engine_dir" 0.1-echo
if [ -n "$runner" ]; then
    printf 'hello\n' >"$work/hello.quor"
    check_installed_runner "$runner" "$work/hello.quor" 0 "$engine_dir" 0.1-echo
fi

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
