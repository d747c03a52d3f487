# Sourced by check-install.sh, check-engine-swap.sh and check-deb.sh: starts QuorStudio offscreen
# with the output probe preloaded and checks what it shows. Needs check/fail, probe, work and
# version (from the build's install-dirs.sh).

source "$(dirname "${BASH_SOURCE[0]}")/../scripts/privatehome.sh"

# check_installed_program PROGRAM ENGINE_LIBRARY [LIBRARY_PATH [ENGINE_VERSION]]
#   The program must load ENGINE_LIBRARY (through its RUNPATH: LD_LIBRARY_PATH is cleared, or
#   set to LIBRARY_PATH when given), show "QuorStudio version $version" and the engine's version
#   line (exactly "QUOR library version ENGINE_VERSION" when given) in its Output dock, and exit
#   with status 0 when the probe closes its window.
check_installed_program() {
    local program=$1 engine=$2 library_path=${3:-} engine_version=${4:-}
    local log="$work/program.log" status=0 before=$failures
    local library_env=(-u LD_LIBRARY_PATH)
    [ -n "$library_path" ] && library_env=(LD_LIBRARY_PATH="$library_path")
    (use_private_home "$work/private" && cd "$HOME" && env "${library_env[@]}" \
        QT_QPA_PLATFORM=offscreen LD_PRELOAD="$probe" \
        timeout 60 "$program" >"$log" 2>"$work/program.err") || status=$?
    check "$program exits with status 0 (was $status)" [ "$status" = 0 ]
    check "$program loads its engine from $engine" \
        [ "$(sed -n 's/^engine library: //p' "$log" | xargs -r realpath)" = "$(realpath "$engine")" ]
    check "$program shows its own version line" grep -qx "output: QuorStudio version $version" "$log"
    if [ -n "$engine_version" ]; then
        check "$program shows the engine's version line" \
            grep -qx "output: QUOR library version $engine_version" "$log"
    else
        check "$program shows the engine's version line" \
            grep -qE '^output: QUOR library version [^ ]+' "$log"
    fi
    if [ "$failures" != "$before" ]; then
        echo "--- what the program showed:"
        cat "$log" "$work/program.err"
    fi
    grep '^output: QUOR library version' "$log" || true
}

# check_installed_runner RUNNER INPUT STATUS [LIBRARY_PATH [ENGINE_VERSION]]
#   quorstudio-run must load its engine the same way (RUNPATH, or LIBRARY_PATH first), print
#   the engine's version line, end with STATUS for INPUT, and answer --version; and so must the
#   engine host next to it, with --separate-process.
check_installed_runner() {
    local runner=$1 input=$2 expected=$3 library_path=${4:-} engine_version=${5:-[^ ]+}
    local log="$work/runner.log" status=0
    local library_env=(-u LD_LIBRARY_PATH)
    [ -n "$library_path" ] && library_env=(LD_LIBRARY_PATH="$library_path")
    env "${library_env[@]}" timeout 60 "$runner" --timeout 30 "$input" >"$log" 2>&1 || status=$?
    check "$runner exits with status $expected for $input (was $status)" [ "$status" = "$expected" ]
    check "$runner prints the engine's version line" \
        grep -qxE "QUOR library version $engine_version" "$log"
    check "$runner --version" \
        grep -qx "quorstudio-run $version" <(env "${library_env[@]}" "$runner" --version)
    status=0
    env "${library_env[@]}" timeout 60 "$runner" --separate-process --timeout 30 "$input" \
        >"$log.separate" 2>&1 || status=$?
    check "$runner --separate-process exits with status $expected (was $status)" \
        [ "$status" = "$expected" ]
    check "$runner --separate-process prints the engine's version line" \
        grep -qxE "QUOR library version $engine_version" "$log.separate"
    [ "$failures" = 0 ] || cat "$log.separate"
    [ "$failures" = 0 ] || cat "$log"
}

# check_installed_language_server SERVER [LIBRARY_PATH]
#   The language server must answer initialize, report the error of a document opened in it
#   at its place (line 0, characters 13 to 14 of "<robin → bird."), and end with status 0 after
#   shutdown and exit.
check_installed_language_server() {
    local server=$1 library_path=${2:-} out="$work/lsp.out" status=0
    local library_env=(-u LD_LIBRARY_PATH)
    [ -n "$library_path" ] && library_env=(LD_LIBRARY_PATH="$library_path")
    lsp_frame() { printf 'Content-Length: %d\r\n\r\n%s' "$(printf %s "$1" | wc -c)" "$1"; }
    : >"$out"
    coproc LSP { env "${library_env[@]}" timeout 60 "$server" >"$out"; }
    local input=${LSP[1]} pid=$LSP_PID
    {
        lsp_frame '{"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}}'
        lsp_frame '{"jsonrpc":"2.0","method":"initialized","params":{}}'
        lsp_frame '{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///check.quor","languageId":"quor","version":1,"text":"<robin → bird.\n"}}}'
    } >&"$input"
    for _ in $(seq 600); do
        grep -q publishDiagnostics "$out" && break
        sleep 0.1
    done
    {
        lsp_frame '{"jsonrpc":"2.0","id":2,"method":"shutdown"}'
        lsp_frame '{"jsonrpc":"2.0","method":"exit"}'
    } >&"$input"
    exec {input}>&-
    wait "$pid" || status=$?
    check "$server answers initialize" grep -q '"id":1,"jsonrpc":"2.0","result":{"capabilities"' "$out"
    check "$server reports the error at its place" \
        grep -q '"range":{"end":{"character":14,"line":0},"start":{"character":13,"line":0}}' "$out"
    check "$server ends with status 0 after shutdown and exit (was $status)" [ "$status" = 0 ]
    [ "$failures" = 0 ] || cat "$out"
}
