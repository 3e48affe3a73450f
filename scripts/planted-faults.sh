#!/usr/bin/env bash
# Plants known faults in the code one at a time and checks that the test suite
# fails for each: the tests must keep catching what they were written to catch.
# Each fault is one substitution in one file, made, built, tested and reverted.
# Usage: scripts/planted-faults.sh [PRESET]   (default: default; needs a built tree)
# Prints one line per fault (caught / MISSED / not planted) and exits 1 when any
# fault was missed or could not be planted. It restores every file it touched,
# also when interrupted.
set -uo pipefail
cd "$(dirname "$0")/.."
preset=${1:-default}
tests=build/$preset/tests

# file ^ text to find ^ replacement ^ program ^ GoogleTest filter
faults=(
  'platform/Foundation/NSTimer.cpp^timer->_start + timer->_interval;^timer->_start + 2 * timer->_interval;^platform_tests^TimerTest.*'
  'platform/UIKit/UIInputConstants.h^kUITapMaximumInterval = 0.35;^kUITapMaximumInterval = 0.5;^platform_tests^GestureTest.*'
  'platform/QuartzCore/CALayer+Animation.cpp^* speed + _timeOffset};^* speed};^platform_tests^*Timing*:*Frozen*'
  'platform/Foundation/NSPropertyListSerialization.cpp^if (text.find("<plist") != std::string_view::npos) {^if (false) {^platform_tests^PropertyListTest.*'
  'platform/UIKit/UIView.cpp^if (isHidden() || !_userInteractionEnabled^if (!_userInteractionEnabled^platform_tests^ViewTest.*'
  'render/LayerPainter.cpp^if (!isSane(state.bounds) || ^if (^render_tests^*'
  'marquee/MarqueeLabel+ScrollEngine.cpp^fadeCount * _fadeLength + _continuousMarqueeExtraBuffer;^fadeCount * _fadeLength + _continuousMarqueeExtraBuffer + 4;^product_tests^ScrollEngineTest.*'
  'marquee/MarqueeLabel+ScrollControl.cpp^const CFTimeInterval pausedTime = layer->timeOffset();^const CFTimeInterval pausedTime = 0;^product_tests^ScrollControlTest.*'
  'legacy/Trillbox__GSEvent.cpp^    x1 = x;^    x1 = y;^product_tests^TouchSynthesisTest.*:Legacy*'
  'widget/ArtworkActions.cpp^stringWithFormat("#np %@ %@via Trillbox"^stringWithFormat("%@ %@via Trillbox"^product_tests^ArtworkActionsTest.*'
  'widget/TrillboxSettings.h^ShareArtworkDefault = true;^ShareArtworkDefault = false;^product_tests^SettingsTest.*:ArtworkActionsTest.*'
  'host/window/FramePacer.h^return nextFrameTime(now) <= now; }^return true; }^window_tests^FramePacer*'
  'host/mpris/MprisPositionTracker.cpp^position += _rate * (now - _anchorTime)^position += (now - _anchorTime)^mpris_tests^MprisSessionTest.*'
  'host/mpris/MprisArtwork.h^kMaxArtworkPixels = 6000LL * 6000LL;^kMaxArtworkPixels = 8000LL * 8000LL;^mpris_tests^MprisArtworkTest.*'
  'host/mpris/MprisSession.cpp^MprisPlaybackStatus::playing, startedPlaying, appeared);^MprisPlaybackStatus::playing, ~appeared, appeared);^mpris_tests^MprisSessionTest.*'
  'host/window/ArtworkSaver.cpp^O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC^O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC^window_tests^*Png*:*Artwork*'
  'host/Json.cpp^out += "\\\"";^out += "\"";^host_tests^JsonTest.*'
  'host/DemoPlayer.cpp^+ delta % count + count) % count;^+ delta % count + count) % count; if (delta > 0 && moved == 0) { return; }^host_tests^DemoPlayerTest.*'
)

current=""
restore() {
    [ -n "$current" ] && git checkout -q -- "$current"
    current=""
}
trap 'restore; exit 130' INT TERM

missed=0
for fault in "${faults[@]}"; do
    IFS='^' read -r file find replace program filter <<<"$fault"
    if ! grep -qF -- "$find" "$file"; then
        echo "not planted: $file: '$find' is not there any more"
        missed=1
        continue
    fi
    current=$file
    FIND=$find REPLACE=$replace python3 -c '
import os, sys
path = sys.argv[1]
text = open(path).read()
open(path, "w").write(text.replace(os.environ["FIND"], os.environ["REPLACE"], 1))' "$file"
    if ! cmake --build --preset "$preset" -j 2 --target "$program" >/dev/null 2>&1; then
        echo "caught:  $file: '$replace' does not build"
    elif "$tests/$program" --gtest_filter="$filter" --gtest_brief=1 >/tmp/planted-fault.log 2>&1; then
        echo "MISSED:  $file: '$replace' ($program, $filter)"
        missed=1
    else
        echo "caught:  $file: '$replace' by $(grep -m1 -o '\[  FAILED  \] [A-Za-z0-9_/.]*' /tmp/planted-fault.log | cut -c14-)"
    fi
    restore
done
cmake --build --preset "$preset" -j 2 >/dev/null 2>&1
exit $missed
