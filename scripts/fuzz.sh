#!/usr/bin/env bash
# Runs each fuzz program of the fuzz preset (build/fuzz) for SECONDS (default 60),
# one after another. Each starts from its committed corpus, tests/fuzz/corpus/TARGET,
# and keeps the inputs it finds new in build/fuzz/corpus/TARGET; a crash is written
# to build/fuzz/crashes/TARGET/ and its log is build/fuzz/TARGET.log. Prints one
# line a target: executions, edge coverage, crashes. Exits 1 when one crashed.
#
# To keep what a run found, minimise it first and commit only the few files that
# add coverage:
#   build/fuzz/tests/fuzz/fuzz_TARGET -merge=1 NEW_EMPTY_DIR tests/fuzz/corpus/TARGET build/fuzz/corpus/TARGET
# (a crash, once fixed, goes into tests/fuzz/corpus/TARGET as it is).
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/.."
# Leaks inside third-party libraries (fontconfig, Pango, ...) are not ours, as in CI.
export LSAN_OPTIONS="suppressions=$PWD/.ci/lsan.supp:print_suppressions=0"
status=0
for program in build/fuzz/tests/fuzz/fuzz_*; do
    target=${program##*/fuzz_}
    work=build/fuzz/corpus/$target
    crashes=build/fuzz/crashes/$target/
    log=build/fuzz/$target.log
    mkdir -p "$work" "$crashes"
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$crashes")
    [ -f "tests/fuzz/$target.dict" ] && options+=(-dict="tests/fuzz/$target.dict")
    if "$program" "${options[@]}" "$work" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
        result="no crash"
    else
        result="CRASHED, see $log"
        status=1
    fi
    executions=$(grep -o 'number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo '?')
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo '?')
    echo "$target: $executions executions in $seconds s, cov $coverage, $result"
done
exit $status
