#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and runs each of them.
#
#   bash scripts/fuzz.sh [-t SECONDS | -n RUNS] [TARGET...]
#
#   -t SECONDS   run each target for this long (default 20)
#   -n RUNS      run each target for this many executions instead
#   TARGET       target names (fuzz_dispatch, fuzz_parser, fuzz_hostframes, ...); default: all
#
# Each target starts from its seed corpus in fuzz/corpus/<name>, read only; what the fuzzer adds
# goes to build-fuzz/corpus/<name>, which later runs reuse. A finding (crash, sanitizer report,
# leak, timeout) is written to build-fuzz/findings/ and fails the script; every finding must
# become a regression test. The last line of each target's run gives its executions.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

seconds=20
runs=""
while getopts "t:n:" option; do
    case $option in
    t) seconds=$OPTARG ;;
    n) runs=$OPTARG ;;
    *) echo "usage: $0 [-t SECONDS | -n RUNS] [TARGET...]" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))

install_missing $QUOR_BUILD_PACKAGES clang-14 libclang-rt-14-dev

build="$QUOR_ROOT/build-fuzz"
# The "fuzz" preset: clang, line tables only, enough for the findings' stack traces.
(cd "$QUOR_ROOT" && cmake --preset fuzz >/dev/null && cmake --build --preset fuzz -j "$(nproc)")

targets=("$@")
if [ ${#targets[@]} = 0 ]; then
    targets=(fuzz_dispatch fuzz_parser fuzz_window fuzz_hostframes fuzz_lsp)
fi

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$QUOR_ROOT/fuzz/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
limit=(-max_total_time="$seconds")
[ -n "$runs" ] && limit=(-runs="$runs")

mkdir -p "$build/findings" "$build/logs"
failed=()
for target in "${targets[@]}"; do
    name=${target#fuzz_}
    seeds="$QUOR_ROOT/fuzz/corpus/$name"
    [ "$name" = window ] && seeds="$QUOR_ROOT/fuzz/corpus/dispatch"
    corpus="$build/corpus/$name"
    log="$build/logs/$target.log"
    mkdir -p "$corpus"
    # Engine messages are at most 15000 bytes; the engine's input has no limit, 16 KiB is plenty;
    # host frames are read in streams of several, and so are a language client's messages.
    max_len=15000
    [ "$name" = parser ] && max_len=16384
    [ "$name" = hostframes ] && max_len=65536
    [ "$name" = lsp ] && max_len=65536
    status=0
    "$build/fuzz/$target" "${limit[@]}" -max_len=$max_len -timeout=30 -rss_limit_mb=4096 \
        -print_final_stats=1 -artifact_prefix="$build/findings/$target-" \
        "$corpus" "$seeds" >"$log" 2>&1 || status=$?
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [ "$status" = 0 ]; then
        echo "$target: ${executions:-?} executions, no finding"
    else
        echo "$target: FINDING after ${executions:-?} executions (status $status); log: $log"
        grep -m 5 -E "ERROR|runtime error|deadly signal|Test unit written" "$log" || true
        failed+=("$target")
    fi
done

if [ ${#failed[@]} != 0 ]; then
    echo "fuzzing found problems in: ${failed[*]}"
    exit 1
fi
echo "fuzzing: ${#targets[@]} targets, no finding"
