# Sourced by check-install.sh and check-deb.sh: starts an installed QuorStudio offscreen with
# the output probe preloaded and checks what it shows. Needs check/fail, probe and work.

# check_installed_program PROGRAM ENGINE_LIBRARY
#   The program must load ENGINE_LIBRARY through its RUNPATH (LD_LIBRARY_PATH is cleared), show
#   "QuorStudio version 0.5.1" and the engine's version line in its Output dock, and exit with
#   status 0 when the probe closes its window.
check_installed_program() {
    local program=$1 engine=$2 home="$work/home" log="$work/program.log" status=0
    mkdir -p "$home"
    chmod 700 "$home"
    (cd "$home" && env -u LD_LIBRARY_PATH HOME="$home" XDG_CONFIG_HOME="$home/config" \
        XDG_RUNTIME_DIR="$home" QT_QPA_PLATFORM=offscreen LD_PRELOAD="$probe" \
        timeout 60 "$program" >"$log" 2>"$work/program.err") || status=$?
    check "$program exits with status 0 (was $status)" [ "$status" = 0 ]
    check "$program loads its engine from $engine" \
        [ "$(sed -n 's/^engine library: //p' "$log" | xargs -r realpath)" = "$(realpath "$engine")" ]
    check "$program shows its own version line" grep -qx 'output: QuorStudio version 0.5.1' "$log"
    check "$program shows the engine's version line" \
        grep -qE '^output: QUOR library version [^ ]+' "$log"
    if [ "$failures" != 0 ]; then
        echo "--- what the program showed:"
        cat "$log" "$work/program.err"
    fi
    grep '^output: QUOR library version' "$log" || true
}
