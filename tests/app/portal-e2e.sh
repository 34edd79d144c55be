#!/usr/bin/env bash
# F4 in the player under a real X server with a desktop portal on its session bus: the portal
# (our fake one, started by a private bus) is asked with the window as its parent, answers with
# a movie whose name is escaped in its URI, and that movie plays. Waits on what it can see.
# Usage: portal-e2e.sh BUILD_DIR FAKE_PORTAL
set -euo pipefail

build=$(cd "$1" && pwd)
fake_portal=$(realpath "$2")
work=$(mktemp -d)
xvfb_pid=""
bus_pid=""
player_pid=""

cleanup() {
    [[ -n "$player_pid" ]] && kill "$player_pid" 2>/dev/null || true
    [[ -n "$bus_pid" ]] && kill "$bus_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "portal-e2e: $*" >&2
    [[ -f "$work/player.log" ]] && cat "$work/player.log" >&2
    exit 1
}

for tool in Xvfb xdotool import convert dbus-daemon; do
    command -v "$tool" >/dev/null || { echo "portal-e2e: $tool is not installed" >&2; exit 77; }
done
[[ -f "$build/tour.zcd" ]] || fail "the tour has not been built"

# shellcheck source=../support/xvfb-session.sh
source "$(dirname "$0")/../support/xvfb-session.sh"

cp "$build/tour.zcd" "$work/My tour é.zcd"
mkdir "$work/services"
cat >"$work/services/portal.service" <<SERVICE
[D-BUS Service]
Name=org.freedesktop.portal.Desktop
Exec='$fake_portal' '$work/record' 'uri:file://$work/My%20tour%20%C3%A9.zcd'
SERVICE
cat >"$work/bus.conf" <<CONF
<busconfig><type>session</type><listen>unix:path=$work/bus</listen>
<servicedir>$work/services</servicedir><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/>
<allow eavesdrop="true"/><allow own="*"/></policy></busconfig>
CONF
{ read -r address; read -r bus_pid; } < <(dbus-daemon --fork --print-address=1 --print-pid=1 \
    --config-file="$work/bus.conf")
[[ -n "$address" && -n "$bus_pid" ]] || fail "the session bus did not start"
export DBUS_SESSION_BUS_ADDRESS=$address

start_xvfb "$work" 1280x960
player_environment "$work"

"$build/lumenreel-player" 2>"$work/player.log" &
player_pid=$!
wait_for_window '^lumenreel-player$'
# Keys reach it once it has drawn its welcome.
painted() {
    import -window "$window" "$work/welcome.ppm" 2>/dev/null &&
        [[ "$(convert "$work/welcome.ppm" -format '%[max]' info:)" != 0 ]]
}
wait_for 20 painted || fail "the window never showed its welcome"

xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key F4
titled() { [[ "$(xdotool getwindowname "$window")" == "My tour é.zcd — Lumenreel Player" ]]; }
wait_for 20 titled || fail "the chosen movie did not open (title: $(xdotool getwindowname "$window"))"
echo "portal-e2e: [${SECONDS}s] the movie the portal chose opened"

grep -qx "parent_window=x11:$(printf '%x' "$window")" "$work/record" ||
    fail "the portal was not given the window: $(cat "$work/record")"
grep -qx "title=Open a published demo" "$work/record" || fail "the portal got $(cat "$work/record")"

import -window "$window" "$work/first.ppm" 2>/dev/null
changed() {
    import -window "$window" "$work/now.ppm" 2>/dev/null
    ! cmp -s "$work/first.ppm" "$work/now.ppm"
}
wait_for 20 changed || fail "the movie did not play"
echo "portal-e2e: [${SECONDS}s] it plays"

xdotool key F2
exited() { ! kill -0 "$player_pid" 2>/dev/null; }
wait_for 15 exited || fail "F2 did not close the player"
set +e
wait "$player_pid"
status=$?
set -e
player_pid=""
[[ $status -eq 0 ]] || fail "the player exited with $status"
