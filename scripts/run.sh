#!/usr/bin/env bash
# Installs what is missing, builds QuorStudio with the stand-in engine and starts it with the
# tutorial. Without a display it runs under a virtual X server (xvfb-run).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

packages="$QUOR_BUILD_PACKAGES"
[ -n "${DISPLAY:-}" ] || packages="$packages xvfb xauth"
install_missing $packages

(cd "$QUOR_ROOT" && cmake --preset release && cmake --build --preset release)

program="$QUOR_ROOT/build-release/bin/quorstudio"
tutorial="$QUOR_ROOT/examples/tutorial.quor"
args=()
[ -f "$tutorial" ] && args+=("$tutorial")
if [ -n "${DISPLAY:-}" ]; then
    exec "$program" "${args[@]}" "$@"
else
    echo "No display: starting QuorStudio under xvfb-run."
    exec xvfb-run -a -s "-screen 0 1280x900x24" "$program" "${args[@]}" "$@"
fi
