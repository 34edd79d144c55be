#!/usr/bin/env bash
# The device scale in a real X server: the player's window around the tour is exactly twice as
# large once the desktop's X resources say Xft.dpi 192 (as HiDPI desktops do), GDK_SCALE says so
# ahead of them, and LUMENREEL_SCALE ahead of both. A snapshot of each window is left in
# BUILD_DIR/e2e-shots/scale for looking at.
# Usage: scale-e2e.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
movie=$build/tour.zcd
shots="$build/e2e-shots/scale"
work=$(mktemp -d)
xvfb_pid=""
player_pid=""

cleanup() {
    [[ -n "$player_pid" ]] && kill "$player_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "scale-e2e: $*" >&2
    exit 1
}

for tool in Xvfb xdotool xprop import convert; do
    command -v "$tool" >/dev/null || { echo "scale-e2e: $tool is not installed" >&2; exit 77; }
done
[[ -f "$movie" ]] || fail "the movie $movie has not been built"

# shellcheck source=../support/xvfb-session.sh
source "$(dirname "$0")/../support/xvfb-session.sh"
start_xvfb "$work" 2560x1920
player_environment "$work"
unset GDK_SCALE QT_SCALE_FACTOR LUMENREEL_SCALE

rm -rf "$shots"
mkdir -p "$shots"

# Starts the player on the tour with the given environment, waits for its window to be fitted
# around the movie and painted, keeps its size in $size and its picture, and closes it with F2.
size=""
window_size() {
    local name=$1
    shift
    env "$@" "$build/lumenreel-player" "$movie" 2>"$work/player.log" &
    player_pid=$!
    window=""
    wait_for_window '^lumenreel-player$'
    geometry() { xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)='; }
    fitted() { [[ "$(geometry | tr '\n' ' ')" != "WIDTH=260 HEIGHT=266 " ]]; }
    wait_for 20 fitted || fail "$name: the window was never fitted around the tour"
    size=$(geometry | tr '\n' ' ')
    painted() {
        import -window "$window" "$shots/$name.png" 2>/dev/null &&
            [[ "$(convert "$shots/$name.png" -format '%[max]' info:)" != 0 ]]
    }
    wait_for 20 painted || fail "$name: the window never showed the tour"
    xdotool key F2
    exited() { ! kill -0 "$player_pid" 2>/dev/null; }
    wait_for 15 exited || fail "$name: F2 did not close the player"
    wait "$player_pid" || fail "$name: the player failed: $(cat "$work/player.log")"
    player_pid=""
    echo "scale-e2e: [${SECONDS}s] $name: $size"
}

window_size plain
eval "$size"
single="WIDTH=$WIDTH HEIGHT=$HEIGHT "
twice="WIDTH=$((2 * WIDTH)) HEIGHT=$((2 * HEIGHT)) "
triple="WIDTH=$((3 * WIDTH)) HEIGHT=$((3 * HEIGHT)) "

# As xrdb would load them for a HiDPI desktop.
xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.antialias:	1
Xft.dpi:	192"
window_size xft-dpi-192
[[ "$size" == "$twice" ]] || fail "at Xft.dpi 192 the window is $size, not $twice"

window_size gdk-scale-1 GDK_SCALE=1
[[ "$size" == "$single" ]] || fail "GDK_SCALE=1 did not come before Xft.dpi: $size"

window_size lumenreel-scale-1 GDK_SCALE=2 LUMENREEL_SCALE=1
[[ "$size" == "$single" ]] || fail "LUMENREEL_SCALE=1 did not come first: $size"

xprop -root -remove RESOURCE_MANAGER
window_size qt-scale-factor-2 QT_SCALE_FACTOR=2
[[ "$size" == "$twice" ]] || fail "QT_SCALE_FACTOR=2 gave $size, not $twice"
echo "scale-e2e: the window follows the device scale"
