#!/usr/bin/env bash
# The bundled sample tour in a real X server: it starts and plays (the window's pixels change),
# Space pauses it (they stop changing), the seek, chapter, step and help keys and a drag of the
# slider each show a new picture, the mouse over the panel's track shows its time and a click
# there seeks, the loop, mute and speed keys show their notice, a right click opens the menu,
# F12 fills the screen where the panel hides at rest and comes back on a mouse move,
# Escape leaves full screen with the player running, F2 closes it with exit code 0. It waits
# on what it can see (window sizes, painted and settled pictures), not on fixed delays.
# Usage: e2e.sh BUILD_DIR [MOVIE]: the published tour unless another movie is named (the document
# tour). Screenshots are left in BUILD_DIR/e2e-shots/NAME for looking at. With
# E2E_WINDOW_MANAGER=openbox the display gets that window manager: full screen must be its
# full-screen state, and the window's corner resizes it. With LUMENREEL_SCALING=gpu the player
# must show everything through SDL's renderer (Mesa's rasteriser under Xvfb).
set -euo pipefail

build=$(cd "$1" && pwd)
movie=${2:-$build/tour.zcd}
shots="$build/e2e-shots/$(basename "$movie")"
work=$(mktemp -d)
xvfb_pid=""
wm_pid=""
player_pid=""
window_manager=${E2E_WINDOW_MANAGER:-}
[[ -n "$window_manager" ]] && shots="$shots-$window_manager"

cleanup() {
    [[ -n "$player_pid" ]] && kill "$player_pid" 2>/dev/null || true
    [[ -n "$wm_pid" ]] && kill "$wm_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "e2e: $*" >&2
    [[ -f "$work/player.log" ]] && cat "$work/player.log" >&2
    exit 1
}

for tool in Xvfb xdotool xprop import convert $window_manager; do
    command -v "$tool" >/dev/null || { echo "e2e: $tool is not installed" >&2; exit 77; }
done
[[ -f "$movie" ]] || fail "the movie $movie has not been built"

# shellcheck source=../support/xvfb-session.sh
source "$(dirname "$0")/../support/xvfb-session.sh"

"$build/lumenreel" bundle "$movie" --output "$work/tour-player" ||
    fail "bundling $movie failed"

start_xvfb "$work" 1280x960
# The window manager has taken the display once it names itself on the root window.
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep 'window id' >/dev/null; }
if [[ -n "$window_manager" ]]; then
    "$window_manager" >"$work/wm.log" 2>&1 &
    wm_pid=$!
    wait_for 20 wm_running || fail "$window_manager did not start"
fi
player_environment "$work"

"$work/tour-player" 2>"$work/player.log" &
player_pid=$!
wait_for_window '^tour-player$'
echo "e2e: [${SECONDS}s] window shown"

rm -rf "$shots"
mkdir -p "$shots"
# Uncompressed pictures: quick to take and compared byte for byte.
shot() { import -window "$window" "$shots/$1.ppm" 2>/dev/null; }
same() { cmp -s "$shots/$1.ppm" "$shots/$2.ppm"; }
# True once a shot taken now shows something other than black.
painted() {
    shot "$1"
    [[ "$(convert "$shots/$1.ppm" -format '%[max]' info:)" != 0 ]]
}
# True once the last three shots taken under the name are the same picture.
n_settle=0
settled() {
    n_settle=$((n_settle + 1))
    shot "$1-$n_settle"
    ((n_settle >= 3)) && same "$1-$((n_settle - 2))" "$1-$((n_settle - 1))" &&
        same "$1-$((n_settle - 1))" "$1-$n_settle"
}

geometry() { xdotool getwindowgeometry --shell "$window" | grep -E '^(WIDTH|HEIGHT)='; }

# The embedded tour loads 100 ms after start, which fits the window around it, and plays: wait
# for the fitted window, then until a picture differs from the first one taken of it.
# (the player opens its window at 260 x 266 until a movie says otherwise)
loaded() { [[ "$(geometry | tr '\n' ' ')" != "WIDTH=260 HEIGHT=266 " ]]; }
wait_for 20 loaded || fail "the window was never fitted around the tour"
wait_for 20 painted start || fail "the fitted window never showed the tour"
n=0
changed() {
    n=$((n + 1))
    shot "playing-$n"
    ! same start "playing-$n"
}
wait_for 20 changed || fail "the window did not change while playing"
echo "e2e: [${SECONDS}s] playing: the window changed"

xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key space
wait_for 20 settled pausing || fail "the window never stopped changing after Space"
cp "$shots/pausing-$n_settle.ppm" "$shots/paused-1.ppm"
# Paused, it must stay as it is: fifteen more shots over 1.5 s all show the same picture.
for i in $(seq 15); do
    sleep 0.1
    shot paused-2
    same paused-1 paused-2 || fail "the window still changes after Space"
done
echo "e2e: [${SECONDS}s] paused, no pixel changed in 1.5 s"

# Paused, every key that moves the time or lays something over the movie shows a new picture,
# which then holds still. $1 names the shots, the rest are the keys.
n_key=0
differs_from() {
    n_key=$((n_key + 1))
    shot "$1-$n_key"
    ! same "$2" "$1-$n_key"
}
after_action() {
    local name=$1 before=$2
    shift 2
    xdotool "$@"
    wait_for 15 differs_from "$name" "$before" || fail "xdotool $* changed nothing"
    n_settle=0
    wait_for 15 settled "$name-settled" || fail "the window kept changing after xdotool $*"
    cp "$shots/$name-settled-$n_settle.ppm" "$shots/$name.ppm"
}
after_keys() {
    local name=$1 before=$2
    shift 2
    after_action "$name" "$before" key "$@"
}
after_keys seek-right paused-1 Right
after_keys seek-home seek-right Home
# The slider's pointer sits at the track's start after Home, 38 pixels above the window's bottom
# edge; dragged to the middle of the track, it seeks there.
eval "$(geometry)"
track_y=$((HEIGHT - 38))
after_action slider seek-home mousemove --window "$window" 9 "$track_y" mousedown 1 \
    mousemove --window "$window" $((WIDTH / 2)) "$track_y" mouseup 1
after_keys slider-home slider Home
echo "e2e: [${SECONDS}s] dragging the slider's pointer seeked"
after_keys next-chapter seek-home Next
# One step is 25 ms, too little to move a clock or the pointer by a pixel; five move the pointer.
after_keys frame-step next-chapter period period period period period
after_keys help frame-step question
xdotool key Escape
n_key=0
wait_for 15 differs_from help-closed help || fail "Escape did not close the help"
echo "e2e: [${SECONDS}s] Right, Home, Page Down, '.', '?' and Escape each showed their picture"
after_keys seek-left help-closed Left
after_keys frame-back seek-left comma comma comma comma comma
after_keys previous-chapter frame-back Prior
echo "e2e: [${SECONDS}s] Left, ',' and Page Up each showed their picture"

# The panel runs along the window's bottom, 45 pixels high; its groove's middle is 8 pixels
# below its top and the pointer's centre runs from x = 12 to 12 + 348 + (width - 427).
eval "$(geometry)"
panel_top=$((HEIGHT - 45))
track_y=$((panel_top + 8))
track_x=$((12 + (348 + WIDTH - 427) * 3 / 4))
# A pixel of the last shot under a name, as "R,G,B".
pixel_of() {
    convert "$shots/$1.ppm" -crop "1x1+$2+$3" -depth 8 -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:
}
# The mouse over the track shows its time in a tip (light fill) just above the panel. (grep
# without -q reads to the end: under pipefail a writer cut off early would fail the check.)
xdotool mousemove --window "$window" "$track_x" "$track_y"
n_key=0
tip_shown() {
    differs_from hover previous-chapter &&
        convert "$shots/hover-$n_key.ppm" -crop "120x1+$((track_x - 60))+$((panel_top - 5))" \
            -depth 8 txt:- | grep -i '#F4F4F4' >/dev/null
}
wait_for 15 tip_shown || fail "the mouse over the track showed no time above it"
cp "$shots/hover-$n_key.ppm" "$shots/hover.ppm"
[[ "$(pixel_of hover "$((track_x - 8))" "$track_y")" != "46,130,248" ]] ||
    fail "the groove was already played up to the mouse before the click"
echo "e2e: [${SECONDS}s] hovering the track showed its time above the panel"
# A click there jumps: the groove is played up to the mouse.
xdotool click 1
n_key=0
played_to_mouse() {
    differs_from click hover && [[ "$(pixel_of "click-$n_key" "$((track_x - 8))" "$track_y")" == "46,130,248" ]]
}
wait_for 15 played_to_mouse || fail "a click on the track did not seek there"
cp "$shots/click-$n_key.ppm" "$shots/click.ppm"
xdotool mousemove --window "$window" "$track_x" $((panel_top - 100))
echo "e2e: [${SECONDS}s] a click on the track moved the time there"

# Loop and mute say so in a notice.
after_keys loop-key click l
after_keys mute-key loop-key m
after_keys faster mute-key bracketright
after_keys slower faster bracketleft
after_keys normal-speed slower BackSpace
echo "e2e: [${SECONDS}s] 'l', 'm', ']', '[' and Backspace each showed their notice"

# A right click opens the menu (the dark fill of its unlit items below the mouse); Escape
# closes it.
xdotool mousemove --window "$window" 200 200 click 3
n_key=0
menu_shown() {
    differs_from menu normal-speed &&
        convert "$shots/menu-$n_key.ppm" -crop "40x1+210+285" -depth 8 txt:- | grep -i '#24272C' >/dev/null
}
wait_for 15 menu_shown || fail "a right click showed no menu"
cp "$shots/menu-$n_key.ppm" "$shots/menu.ppm"
xdotool key Escape
n_key=0
menu_gone() {
    differs_from menu-closed menu &&
        ! convert "$shots/menu-closed-$n_key.ppm" -crop "40x1+210+285" -depth 8 txt:- | grep -i '#24272C' >/dev/null
}
wait_for 15 menu_gone || fail "Escape did not close the menu"
echo "e2e: [${SECONDS}s] a right click opened the menu and Escape closed it"

windowed=$(geometry | tr '\n' ' ')
xdotool key F12
full_screen() { [[ "$(geometry | tr '\n' ' ')" == "WIDTH=1280 HEIGHT=960 " ]]; }
wait_for 15 full_screen || fail "F12 did not fill the screen (was $windowed, now $(geometry | tr '\n' ' '))"
wait_for 15 painted fullscreen || fail "the full screen stayed black"
# The tour has no black, and at 1280 x 960 it fills the screen: each of nine spots spread over
# it shows something.
movie_everywhere() {
    shot fullscreen-spots
    local x y
    for x in 213 640 1067; do
        for y in 160 480 800; do
            [[ "$(convert "$shots/fullscreen-spots.ppm" -crop "40x40+$((x - 20))+$((y - 20))" \
                -format '%[max]' info:)" != 0 ]] || return 1
        done
    done
}
wait_for 15 movie_everywhere || fail "part of the full screen showed no movie"
full_screen_state() { xprop -id "$window" _NET_WM_STATE | grep _NET_WM_STATE_FULLSCREEN >/dev/null; }
if [[ -n "$window_manager" ]]; then
    wait_for 15 full_screen_state || fail "$window_manager was not asked for its full screen"
fi
echo "e2e: [${SECONDS}s] full screen ($windowed -> 1280 x 960)"

# In full screen the panel along the bottom hides when the mouse rests and comes back when it
# moves. The paused movie, scaled to the screen, holds still under it, so the strip differs
# from how it looked with the panel shown once the panel has gone. The shown look is taken after
# a mouse move, once two strips in a row agree: the first full-screen paint may still be on its
# way.
n=0
panel_strip() {
    n=$((n + 1))
    shot "strip-$n"
    convert "$shots/strip-$n.ppm" -crop 1280x40+0+920 +repage "$shots/strip-$n-crop.ppm"
}
strip_settled() {
    local previous="$shots/strip-$n-crop.ppm"
    panel_strip && cmp -s "$previous" "$shots/strip-$n-crop.ppm"
}
xdotool mousemove 640 480 sleep 0.1 mousemove 660 490
panel_strip
wait_for 15 strip_settled || fail "the full screen kept changing with the panel shown"
cp "$shots/strip-$n-crop.ppm" "$shots/strip-shown.ppm"
panel_hidden() { panel_strip && ! cmp -s "$shots/strip-$n-crop.ppm" "$shots/strip-shown.ppm"; }
panel_shown() { panel_strip && cmp -s "$shots/strip-$n-crop.ppm" "$shots/strip-shown.ppm"; }
wait_for 10 panel_hidden || fail "the panel stayed on screen with the mouse at rest"
xdotool mousemove 600 500 sleep 0.1 mousemove 620 510
wait_for 5 panel_shown || fail "moving the mouse did not bring the panel back"
echo "e2e: [${SECONDS}s] the panel hid at rest and came back on a mouse move"

# Escape leaves full screen (and never closes the player).
xdotool key Escape
windowed_again() { [[ "$(geometry | tr '\n' ' ')" == "$windowed" ]]; }
if ! wait_for 15 windowed_again; then
    kill -0 "$player_pid" 2>/dev/null || fail "Escape closed the player"
    fail "Escape did not bring the window back (now $(geometry | tr '\n' ' '))"
fi
if [[ -n "$window_manager" ]]; then
    wait_for 15 eval '! full_screen_state' || fail "$window_manager kept the window full screen"
fi
echo "e2e: [${SECONDS}s] Escape left full screen and the player running"

# The borderless window's bottom-right corner resizes it, through the window manager.
if [[ -n "$window_manager" ]]; then
    eval "$(geometry)"
    grown="WIDTH=$((WIDTH + 80)) HEIGHT=$((HEIGHT + 50)) "
    eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(X|Y)=')"
    corner_x=$((X + WIDTH - 2)) corner_y=$((Y + HEIGHT - 2))
    xdotool mousemove "$corner_x" "$corner_y" mousedown 1
    # Until the window manager has taken the drag, moves go by unseen: move again each time.
    dragged() {
        xdotool mousemove $((corner_x + 79)) $((corner_y + 49)) mousemove $((corner_x + 80)) \
            $((corner_y + 50))
        [[ "$(geometry | tr '\n' ' ')" == "$grown" ]]
    }
    wait_for 15 dragged || fail "dragging the corner did not resize (now $(geometry | tr '\n' ' '))"
    xdotool mouseup 1
    echo "e2e: [${SECONDS}s] dragging the corner resized the window"
fi

xdotool key F2
exited() { ! kill -0 "$player_pid" 2>/dev/null; }
wait_for 15 exited || fail "F2 did not close the player"
set +e
wait "$player_pid"
status=$?
set -e
player_pid=""
[[ $status -eq 0 ]] || fail "the player exited with $status: $(cat "$work/player.log")"
if [[ "${LUMENREEL_SCALING:-}" == gpu ]] && grep -q "scaled on the processor" "$work/player.log"; then
    fail "the renderer was asked for but not used: $(cat "$work/player.log")"
fi
echo "e2e: [${SECONDS}s] F2 closed the player with exit code 0"
