#!/usr/bin/env bash
# What a scrolling title costs: the CPU of the trillbox window in its steady state
# (from 3 s after start) against a floor, a bare SDL2 window that presents a
# rectangle of the title line's size 60 times a second. All on a private X server,
# one after the other:
#   floor       the bare SDL2 window (benchmarks/scrollfloor)
#   scroll      the demo player playing one track with a long title
#   scroll-mpv  mpv playing a silent file with a long title, followed over MPRIS
#               on a private session bus; the bus daemon's CPU is counted in
#   floor-mpv   the floor again next to the same mpv playing, its bus daemon
#               counted in as for scroll-mpv: what the player's company costs any
#               window on the same cores
#   still       the demo player with a short title that fits: nothing moves
# The widget shows the volume slider, so that only the title moves.
# CPU is read from /proc/PID/task/*/schedstat (nanoseconds on a CPU, every thread),
# frames from the program's SIGUSR1 report, peak memory from VmHWM at the end.
# The runs take turns, round after round and in a new order each round, so that
# noise on the machine hits all of them alike; the table shows each run's medians
# (peak memory: the largest).
#
# Usage: benchmarks/scroll-cpu.sh [SECONDS]   (default 10; build with the bench preset)
# TRILLBOX_ROUNDS sets the number of rounds (default 3).
# TRILLBOX_BENCH_DIR names another build tree (default build/bench).
# TRILLBOX_PROGRAM names the trillbox to measure (default: the build tree's).
# TRILLBOX_BEFORE names another build's trillbox to measure in the same run, as
# scroll-before, scroll-mpv-before and still-before.
# TRILLBOX_TOGETHER=1 runs the floor and the demo scroll (and scroll-before) at the
# same time instead, each on an X server of its own, and prints each scroll's
# difference to the floor (and to scroll-before) round by round: the mean and its
# standard error. Running together raises every figure, but the differences are
# far steadier than medians of runs taken in turn.
set -euo pipefail

seconds=${1:-10}
rounds=${TRILLBOX_ROUNDS:-3}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
    echo "scroll-cpu.sh: SECONDS must be a positive whole number, not '$seconds'" >&2
    exit 2
fi
if ! [[ $rounds =~ ^[1-9][0-9]*$ ]]; then
    echo "scroll-cpu.sh: TRILLBOX_ROUNDS must be a positive whole number, not '$rounds'" >&2
    exit 2
fi
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${TRILLBOX_BENCH_DIR:-$root/build/bench}
floor=$build/benchmarks/scrollfloor/scroll_floor
trillbox=${TRILLBOX_PROGRAM:-$build/trillbox}
before=${TRILLBOX_BEFORE:-}
warmUp=3

fail() {
    echo "scroll-cpu.sh: $*" >&2
    exit 1
}
for program in "$floor" "$trillbox" ${before:+"$before"}; do
    [[ -x $program ]] || fail "$program is missing; build it: cmake --preset bench && cmake --build --preset bench"
done
for tool in Xvfb dbus-daemon dbus-send mpv sox; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/install-deps.sh all brings it)"
done
[[ -r /proc/$$/task/$$/schedstat ]] ||
    fail "/proc/PID/task/*/schedstat is not readable (a kernel without scheduler statistics?)"

scratch=$(mktemp -d)
started=()
# Stops what this script started, newest first, and removes its files; whatever
# does not end on SIGTERM within two seconds is killed.
cleanUp() {
    local index pid tries
    for ((index = ${#started[@]} - 1; index >= 0; --index)); do
        pid=${started[index]}
        kill -TERM "$pid" 2>/dev/null || continue
        for ((tries = 0; tries < 40; ++tries)); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.05
        done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -r -- "$scratch"
}
trap cleanUp EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Polls COMMAND every 50 ms until it succeeds or TIMEOUT seconds have passed.
waitUntil() {
    local timeout=$1 tries
    shift
    for ((tries = 0; tries < timeout * 20; ++tries)); do
        "$@" && return 0
        sleep 0.05
    done
    return 1
}
hasLine() { grep -q . "$1" 2>/dev/null; }
# The first line a program wrote to FILE, for a one-line failure.
firstLine() { grep -m 1 . "$1" 2>/dev/null || echo "it gave no reason"; }
hasMoreLines() { (($(wc -l <"$1") > $2)); }
isRunning() { kill -0 "$1" 2>/dev/null; }
# Whether FILE has a line, or the process PID that should write it has ended.
wroteOrEnded() { hasLine "$1" || ! isRunning "$2"; }

# A private home, so that no user settings, window place or player configuration count.
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/config XDG_DATA_HOME=$scratch/home/data
export XDG_STATE_HOME=$scratch/home/state XDG_CACHE_HOME=$scratch/home/cache SDL_VIDEODRIVER=x11
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
mkdir -p "$HOME" "$scratch/device"

# Starts an X server of its own for NAME: its display is in $display, its pid in
# $xServer. The server picks a free display and writes its number once it accepts
# clients.
startXServer() {
    local name=$1
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$scratch/$name.display" \
        2>"$scratch/$name.xvfb.err" &
    xServer=$!
    started+=("$xServer")
    waitUntil 10 wroteOrEnded "$scratch/$name.display" "$xServer" || true
    hasLine "$scratch/$name.display" || fail "Xvfb did not start: $(firstLine "$scratch/$name.xvfb.err")"
    display=:$(head -n 1 "$scratch/$name.display")
}
startXServer main
export DISPLAY=$display

longTitle="An Unreasonably Long Title That Keeps Scrolling Across The Widget For As Long As It Plays"
playlist() {
    cat <<EOF
<?xml version="1.0" encoding="UTF-8"?><plist version="1.0"><array><dict>
<key>title</key><string>$1</string><key>artist</key><string>$2</string>
<key>duration</key><real>36000</real></dict></array></plist>
EOF
}
playlist "$longTitle" "The Benchmarks" >"$scratch/long.plist"
playlist "Calm" "Trio" >"$scratch/short.plist"
# The volume slider as the bottom row: the track time would change every second.
"$trillbox" --device-root "$scratch/device" settings startView volume >/dev/null 2>"$scratch/settings.err" ||
    fail "trillbox could not write its settings: $(firstLine "$scratch/settings.err")"

# The silent track mpv plays, long enough to outlast the run.
sox -n -r 8000 -c 1 --comment "TITLE=$longTitle" --add-comment "ARTIST=The Benchmarks" \
    "$scratch/silence.ogg" trim 0 $((warmUp + seconds + 60)) 2>"$scratch/sox.err" ||
    fail "sox could not make the silent track: $(firstLine "$scratch/sox.err")"

# Nanoseconds on a CPU of every thread of the given processes.
cpuNanoseconds() {
    local pid
    for pid in "$@"; do
        cat /proc/"$pid"/task/*/schedstat 2>/dev/null || true
    done | awk '{ sum += $1 } END { printf "%.0f\n", sum }'
}
microseconds() {
    local now=$1
    echo $((10#${now%.*} * 1000000 + 10#${now#*.}))
}
# Asks PROGRAM (pid) for its frame report and prints its last line's frames and seconds.
frameReport() {
    local pid=$1 output=$2 lines
    lines=$(wc -l <"$output")
    kill -USR1 "$pid"
    waitUntil 5 hasMoreLines "$output" "$lines" || fail "no frame report from $(basename "$output" .out)"
    tail -n 1 "$output" | awk '$1 == "frames:" { print $2, $4 }'
}

# NANOSECONDS on a CPU over MICROSECONDS of wall time, as a percentage of one core.
percentOfCore() {
    awk -v c="$1" -v t="$2" 'BEGIN { printf "%.3f", c / t / 10 }'
}
# Each run's figures, one a round, separated by spaces.
declare -A cpu frames rate xCpu peak
# Measures the run NAME of the process PID, counting the CPU of PID and of the
# other processes given too; the warm-up counts from START (bash's clock).
measure() {
    local name=$1 start=$2 pid=$3 counted=("${@:3}")
    local out=$scratch/$name.out err=$scratch/$name.err
    local cpu0 cpu1 x0 x1 t0 t1 report
    while isRunning "$pid" && (($(microseconds "$EPOCHREALTIME") < start + warmUp * 1000000)); do
        sleep 0.1
    done
    isRunning "$pid" || fail "$name did not start: $(firstLine "$err")"
    frameReport "$pid" "$out" >/dev/null
    t0=$(microseconds "$EPOCHREALTIME")
    cpu0=$(cpuNanoseconds "${counted[@]}")
    x0=$(cpuNanoseconds "$xServer")
    sleep "$seconds"
    t1=$(microseconds "$EPOCHREALTIME")
    cpu1=$(cpuNanoseconds "${counted[@]}")
    x1=$(cpuNanoseconds "$xServer")
    isRunning "$pid" || fail "$name stopped during the run: $(firstLine "$err")"
    report=$(frameReport "$pid" "$out")
    peak[$name]+="$(awk '$1 == "VmHWM:" { printf "%.1f", $2 / 1024 }' /proc/"$pid"/status) "
    frames[$name]+="${report% *} "
    rate[$name]+="$(awk -v f="${report% *}" -v s="${report#* }" 'BEGIN { printf "%.2f", (s > 0 ? f / s : 0) }') "
    cpu[$name]+="$(percentOfCore $((cpu1 - cpu0)) $((t1 - t0))) "
    xCpu[$name]+="$(percentOfCore $((x1 - x0)) $((t1 - t0))) "
}
# Starts a program for the run NAME in the background; its pid is in $launched.
launch() {
    local name=$1
    shift
    "$@" >"$scratch/$name.out" 2>"$scratch/$name.err" &
    launched=$!
    started+=("$launched")
}
# Stops a program started with launch, and forgets it.
stop() {
    local pid=$1 index
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    for index in "${!started[@]}"; do
        [[ ${started[index]} != "$pid" ]] || unset 'started[index]'
    done
    started=("${started[@]}")
}

runFloor() {
    local start
    start=$(microseconds "$EPOCHREALTIME")
    launch floor "$floor"
    measure floor "$start" "$launched"
    stop "$launched"
}
# Runs PROGRAM on the demo player with PLAYLIST as the run NAME.
runDemo() {
    local name=$1 program=$2 list=$3 start
    start=$(microseconds "$EPOCHREALTIME")
    launch "$name" "$program" --device-root "$scratch/device" --scale 2 --playlist "$list" run --frame-stats
    measure "$name" "$start" "$launched"
    stop "$launched"
}
hasMpvOnBus() {
    isRunning "$2" || return 1
    dbus-send --bus="$1" --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.ListNames 2>/dev/null | grep -q '"org.mpris.MediaPlayer2.mpv'
}
# Starts mpv playing on a bus of its own for the run NAME: sets $busDaemon, $player
# and $address.
startMpv() {
    local name=$1
    dbus-daemon --session --nofork --print-address=3 3>"$scratch/$name.bus" 2>"$scratch/$name.bus.err" &
    busDaemon=$!
    started+=("$busDaemon")
    waitUntil 10 wroteOrEnded "$scratch/$name.bus" "$busDaemon" || true
    hasLine "$scratch/$name.bus" ||
        fail "dbus-daemon did not start: $(firstLine "$scratch/$name.bus.err")"
    address=$(head -n 1 "$scratch/$name.bus")
    DBUS_SESSION_BUS_ADDRESS=$address launch "$name.mpv" mpv --no-video --ao=null --no-terminal \
        --idle=yes --keep-open=yes "$scratch/silence.ogg"
    player=$launched
    waitUntil 10 hasMpvOnBus "$address" "$player" ||
        fail "mpv did not appear on the bus (is its MPRIS plugin installed?): $(firstLine "$scratch/$name.mpv.err")"
}
# Runs PROGRAM following mpv on a bus of its own as the run NAME; the bus daemon
# counts. PROGRAM "floor" runs the floor instead, next to the same player, for what
# a playing mpv costs any window on these cores.
runMpv() {
    local name=$1 program=$2 busDaemon player address start
    startMpv "$name"
    start=$(microseconds "$EPOCHREALTIME")
    if [[ $program == floor ]]; then
        launch "$name" "$floor"
    else
        DBUS_SESSION_BUS_ADDRESS=$address launch "$name" "$program" --device-root "$scratch/device" --scale 2 \
            --player mpris:mpv run --frame-stats
    fi
    measure "$name" "$start" "$launched" "$busDaemon"
    stop "$launched"
    stop "$player"
    stop "$busDaemon"
}

median() {
    tr ' ' '\n' <<<"$1" | grep . | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
largest() {
    tr ' ' '\n' <<<"$1" | grep . | sort -g | tail -n 1
}
# Prints the mean of the differences between two lists of figures (one a round,
# separated by spaces) and its standard error.
pairedDifference() {
    awk -v a="$1" -v b="$2" 'BEGIN {
        n = split(a, x, " "); split(b, y, " ")
        for (i = 1; i <= n; ++i) { d[i] = x[i] - y[i]; sum += d[i] }
        mean = sum / n
        for (i = 1; i <= n; ++i) { squares += (d[i] - mean) ^ 2 }
        printf "%+.3f +- %.3f", mean, (n > 1 ? sqrt(squares / (n - 1) / n) : 0)
    }'
}
# The floor, the demo scroll and scroll-before at the same time, round after round.
runTogether() {
    local names=(floor scroll) name index t0 t1 pids cpu0 cpu1
    [[ -z $before ]] || names+=(scroll-before)
    local -A displays
    for name in "${names[@]}"; do
        startXServer "$name"
        displays[$name]=$display
        cp -r "$scratch/device" "$scratch/device.$name"
    done
    for ((round = 0; round < rounds; ++round)); do
        pids=() cpu0=() cpu1=()
        for name in "${names[@]}"; do
            case $name in
            floor) DISPLAY=${displays[$name]} launch "$name" "$floor" ;;
            scroll) DISPLAY=${displays[$name]} launch "$name" "$trillbox" --device-root "$scratch/device.$name" \
                --scale 2 --playlist "$scratch/long.plist" run ;;
            scroll-before) DISPLAY=${displays[$name]} launch "$name" "$before" \
                --device-root "$scratch/device.$name" --scale 2 --playlist "$scratch/long.plist" run ;;
            esac
            pids+=("$launched")
        done
        sleep "$warmUp"
        t0=$(microseconds "$EPOCHREALTIME")
        for index in "${!names[@]}"; do
            cpu0+=("$(cpuNanoseconds "${pids[index]}")")
        done
        sleep "$seconds"
        t1=$(microseconds "$EPOCHREALTIME")
        for index in "${!names[@]}"; do
            cpu1+=("$(cpuNanoseconds "${pids[index]}")")
        done
        for index in "${!names[@]}"; do
            name=${names[index]}
            isRunning "${pids[index]}" || fail "$name stopped during the run: $(firstLine "$scratch/$name.err")"
            cpu[$name]+="$(percentOfCore $((cpu1[index] - cpu0[index])) $((t1 - t0))) "
            stop "${pids[index]}"
        done
    done
    printf '%-14s %8s   (medians of %d rounds of %d s run together, after %d s)\n' run "CPU %" "$rounds" \
        "$seconds" "$warmUp"
    for name in "${names[@]}"; do
        printf '%-14s %8.2f\n' "$name" "$(median "${cpu[$name]}")"
    done
    for name in "${names[@]:1}"; do
        echo "$name against the floor, round by round: $(pairedDifference "${cpu[$name]}" "${cpu[floor]}") points"
    done
    [[ -z $before ]] ||
        echo "scroll against scroll-before: $(pairedDifference "${cpu[scroll]}" "${cpu[scroll-before]}") points"
}

runNamed() {
    case $1 in
    floor) runFloor ;;
    scroll) runDemo scroll "$trillbox" "$scratch/long.plist" ;;
    scroll-mpv) runMpv scroll-mpv "$trillbox" ;;
    floor-mpv) runMpv floor-mpv floor ;;
    still) runDemo still "$trillbox" "$scratch/short.plist" ;;
    scroll-before) runDemo scroll-before "$before" "$scratch/long.plist" ;;
    scroll-mpv-before) runMpv scroll-mpv-before "$before" ;;
    still-before) runDemo still-before "$before" "$scratch/short.plist" ;;
    esac
}
rows=(floor scroll scroll-mpv floor-mpv still)
[[ -z $before ]] || rows+=(scroll-before scroll-mpv-before still-before)
if [[ -n ${TRILLBOX_TOGETHER:-} ]]; then
    runTogether
    exit 0
fi
for ((round = 0; round < rounds; ++round)); do
    # In a new order each round, so that a drift within a round (the machine
    # warming up, another job starting) favours no run.
    mapfile -t order < <(printf '%s\n' "${rows[@]}" | shuf)
    for name in "${order[@]}"; do
        runNamed "$name"
    done
done

floorCpu=$(median "${cpu[floor]}")
printf '%-18s %8s %10s %8s %9s %10s %9s   (medians of %d rounds of %d s, after %d s)\n' run "CPU %" \
    "vs floor" frames "frames/s" "X server %" "peak MB" "$rounds" "$seconds" "$warmUp"
for name in "${rows[@]}"; do
    awk -v n="$name" -v c="$(median "${cpu[$name]}")" -v f="$floorCpu" -v fr="$(median "${frames[$name]}")" \
        -v r="$(median "${rate[$name]}")" -v x="$(median "${xCpu[$name]}")" -v m="$(largest "${peak[$name]}")" \
        'BEGIN { printf "%-18s %8.2f %+10.2f %8d %9.2f %10.2f %9.1f\n", n, c, c - f, fr, r, x, m }'
done
echo "CPU % is of one core; the -mpv runs count the bus daemon too, not mpv."
awk -v c="$(median "${cpu[scroll-mpv]}")" -v f="$(median "${cpu[floor-mpv]}")" \
    'BEGIN { printf "scroll-mpv against floor-mpv (both next to the playing mpv): %+.2f\n", c - f }'
# The medians of runs taken in turn move by tenths of a point from one run of the
# script to the next; the differences within each round show how settled they are.
echo "scroll against the floor, round by round: $(pairedDifference "${cpu[scroll]}" "${cpu[floor]}") points"
echo "scroll-mpv against floor-mpv, round by round:" \
    "$(pairedDifference "${cpu[scroll-mpv]}" "${cpu[floor-mpv]}") points"
[[ -z $before ]] ||
    echo "scroll against scroll-before, round by round:" \
        "$(pairedDifference "${cpu[scroll]}" "${cpu[scroll-before]}") points"
# Whether the run NAME is within the floor + 0.4 points.
verdict() {
    awk -v c="$(median "${cpu[$1]}")" -v f="$floorCpu" 'BEGIN { print (c <= f + 0.4) ? "met" : "missed" }'
}
stillVerdict=missed
[[ $(median "${frames[still]}") != 0 ]] || stillVerdict=met
echo "targets: within the floor + 0.4 points: scroll $(verdict scroll), scroll-mpv $(verdict scroll-mpv);" \
    "still at 0 frames: $stillVerdict"
