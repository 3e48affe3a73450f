#!/usr/bin/env bash
# The program headless and in a window (on an X server of its own) in a mount namespace where all is
# read-only but /dev and the outputs, data, cache, configuration and libpulse directories. 77: skipped.
set -euo pipefail
trillbox=$1 work=${2:-} out=${2:-}/out
if [ -z "$work" ]; then
    unshare -m true 2>/dev/null || { echo "skipped: cannot make a mount namespace (not root?)"; exit 77; }
    work=$(mktemp -d) && mkdir -p "$work"/{out,data,cache,config,home/.config/pulse}
    Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null & xvfb=$!
    trap 'kill $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT
    for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
    DISPLAY=:$(cat "$work/display") unshare -m --propagation private bash "$0" "$trillbox" "$work"
    exit
fi
while read -r _ _ _ _ point _; do
    case $point in /dev | /dev/*) ;; *) mount -o remount,bind,ro "$point" || { echo "skipped: $point stays writable"; exit 77; } ;; esac
done </proc/self/mountinfo
for place in out data cache config home/.config/pulse; do
    mount --bind "$work/$place" "$work/$place" && mount -o remount,bind,rw "$work/$place"
done
fail() { echo "FAIL: $*" >&2; exit 1; }
! touch "$work/home/x" 2>/dev/null || fail "the home directory is writable"
export HOME=$work/home XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache XDG_CONFIG_HOME=$work/config
export SDL_VIDEODRIVER=x11 PULSE_SERVER=unix:$work/no-sound-server
check() { "$@" 2>"$out/err" && [ ! -s "$out/err" ] || fail "$*:" "$(cat "$out/err")"; }
check "$trillbox" settings startView volume
printf 'present\nwait 1\ntap 210 52\ndoubletap 52 52\nlongpress 52 52\ndrag 150 85 280 85\nrotate\nwait 1
player stop\nlongpress 52 52\nsnapshot %s\ndump\n' "$out/script.png" | check "$trillbox" script - >"$out/dump.json"
grep '"type":"share"' "$out/dump.json" | grep -q '"type":"alert"' || fail "no sheet and alert in the dump"
check "$trillbox" snapshot "$out/snapshot.png"
check "$trillbox" record "$out/frames" --seconds 0.2 --fps 10
timeout 60 "$trillbox" --player demo --scale 2 run 2>"$out/run.err" & program=$!
window=$(timeout 20 xdotool search --sync --name '^Trillbox$') || fail "no window: $(cat "$out/run.err")"
for _ in 1 2 3; do # held on the artwork for the share sheet (704 x 280 pixels), then Save Artwork
    xdotool mousemove --window "$window" 120 120 mousedown 1 sleep 2 mouseup 1 mousemove --window "$window" 352 212 click 1
    for _ in $(seq 30); do [ -s "$work/data/trillbox/trillbox-artwork.png" ] && break 2; sleep 0.1; done
done
xdotool windowfocus --sync "$window" key Escape
wait $program || fail "the window's program ended with $?"
! grep -iE '^trillbox: |error|read-only|cannot|fail' "$out/run.err" || fail "the window's error lines above"
for file in out/script.png out/snapshot.png out/frames/animation.png config/trillbox/window data/trillbox/trillbox-artwork.png; do
    [ -s "$work/$file" ] || fail "$file was not written"
done
