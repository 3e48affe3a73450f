#!/usr/bin/env bash
# Start-up of trillbox against its floors, as whole processes: the median wall
# time of an empty program, of the least a snapshot does (lay out a line with
# Pango, write a PNG), of `trillbox --version` and of `trillbox snapshot`. The
# programs take turns run by run, so noise on the machine hits all of them alike.
#
# Usage: benchmarks/startup/startup.sh [RUNS]   (default 9; build with the bench preset)
# TRILLBOX_BENCH_DIR names another build tree (default build/bench).
# TRILLBOX_BEFORE names the trillbox program of another build (an older commit's,
# say) to time in the same runs, as version-before and snapshot-before.
set -euo pipefail

runs=${1:-9}
if ! [[ $runs =~ ^[1-9][0-9]*$ ]]; then
    echo "startup.sh: RUNS must be a positive whole number, not '$runs'" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${TRILLBOX_BENCH_DIR:-$root/build/bench}
empty=$build/benchmarks/startup/startup_empty
pango=$build/benchmarks/startup/startup_pango_png
trillbox=$build/trillbox
for program in "$empty" "$pango" "$trillbox"; do
    if [[ ! -x $program ]]; then
        echo "startup.sh: $program is missing; build it: cmake --preset bench && cmake --build --preset bench" >&2
        exit 1
    fi
done

scratch=$(mktemp -d)
trap 'rm -r -- "$scratch"' EXIT
mkdir "$scratch/device"

names=(empty pango-png version snapshot)
before=${TRILLBOX_BEFORE:-}
if [[ -n $before ]]; then
    if [[ ! -x $before ]]; then
        echo "startup.sh: TRILLBOX_BEFORE=$before is not a program" >&2
        exit 1
    fi
    names+=(version-before snapshot-before)
fi
launch() {
    case $1 in
    version-before) "$before" --version ;;
    snapshot-before) "$before" snapshot "$scratch/widget.png" --device-root "$scratch/device" ;;
    empty) "$empty" ;;
    pango-png) "$pango" "$scratch/floor.png" ;;
    version) "$trillbox" --version ;;
    snapshot) "$trillbox" snapshot "$scratch/widget.png" --device-root "$scratch/device" ;;
    esac
}
declare -A times

# Microseconds from bash's own clock, so no timing process is counted.
microseconds() {
    local now=$1
    echo $((10#${now%.*} * 1000000 + 10#${now#*.}))
}

for ((run = 0; run < runs; ++run)); do
    for name in "${names[@]}"; do
        start=$EPOCHREALTIME
        if ! launch "$name" >/dev/null 2>"$scratch/stderr"; then
            echo "startup.sh: $name failed: $(head -n 1 "$scratch/stderr")" >&2
            exit 1
        fi
        end=$EPOCHREALTIME
        times[$name]+="$(($(microseconds "$end") - $(microseconds "$start"))) "
    done
done

median() {
    tr ' ' '\n' <<<"$1" | grep . | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

declare -A medians
printf '%-10s %12s   (%d runs, interleaved)\n' program "median ms" "$runs"
for name in "${names[@]}"; do
    medians[$name]=$(median "${times[$name]}")
    awk -v n="$name" -v us="${medians[$name]}" 'BEGIN { printf "%-10s %12.2f\n", n, us / 1000 }'
done
awk -v v="${medians[version]}" -v e="${medians[empty]}" -v s="${medians[snapshot]}" -v p="${medians[pango-png]}" \
    'BEGIN { printf "--version / empty      %8.1fx\nsnapshot / pango-png   %8.1fx\n", v / e, s / p }'
if [[ -n $before ]]; then
    awk -v v="${medians[version-before]}" -v e="${medians[empty]}" -v s="${medians[snapshot-before]}" \
        -v p="${medians[pango-png]}" -v nv="${medians[version]}" -v ns="${medians[snapshot]}" \
        'BEGIN { printf "before: --version / empty %5.1fx, snapshot / pango-png %5.1fx\n", v / e, s / p
                 printf "now / before: --version %5.2fx, snapshot %5.2fx\n", nv / v, ns / s }'
fi
