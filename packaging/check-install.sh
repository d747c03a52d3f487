#!/usr/bin/env bash
# Install check, run by ctest: installs BUILD into a temporary prefix, checks the installed
# files, validates the desktop entry, MIME type and AppStream metainfo, and starts the installed
# program offscreen to see that it finds its engine through its RUNPATH and shows the engine's
# version line; the installed runner and language server are run too.
#
#   bash packaging/check-install.sh BUILD PROBE
#
# PROBE is the quor_output_probe module built in BUILD (see outputprobe.cpp).
set -euo pipefail

build=$(realpath "$1")
probe=$(realpath "$2")
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
here="$source_dir/packaging"
app_id=org.quorstudio.QuorStudio

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"

# libdir, docdir and version as the build was configured (written by packaging/CMakeLists.txt).
source "$build/packaging/install-dirs.sh"

failures=0
checks=0
pass() { checks=$((checks + 1)); }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAIL: $*"; }
check() { # check DESCRIPTION COMMAND...
    local what=$1
    shift
    if "$@"; then pass; else fail "$what"; fi
}

cmake --install "$build" --prefix "$prefix" >"$work/install.log"

source "$here/check-install-files.sh"
source "$here/check-install-run.sh"
check_installed_program "$prefix/bin/quorstudio" "$prefix/$libdir/libquor.so.1"
check_installed_runner "$prefix/bin/quorstudio-run" "$prefix/$docdir/examples/tutorial.quor" 1
check_installed_language_server "$prefix/bin/quorstudio-lsp"

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" = 0 ]
