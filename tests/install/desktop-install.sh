#!/usr/bin/env bash
# Installs into a temporary prefix and looks at it as a desktop would: every file is in its
# place, the launcher and the AppStream description validate, the manual pages format cleanly,
# both movie kinds are recognised by name and by content (also under a wrong name where the
# content decides), the launcher is the default program for both, and, under Xvfb, launching it
# on a movie opens that movie.
# Usage: desktop-install.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d)
xvfb_pid=""
player=""
cleanup() {
    [[ -n "$player" ]] && kill "$player" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "desktop-install: $*" >&2
    exit 1
}

for tool in desktop-file-validate appstreamcli update-mime-database update-desktop-database \
    xdg-mime mimetype gio man identify; do
    command -v "$tool" >/dev/null || { echo "desktop-install: $tool is not installed" >&2; exit 77; }
done
for movie in tour.zcd skin.pak; do
    [[ -f "$build/$movie" ]] || fail "$build/$movie has not been built"
done
# Documents written by our own writer: a full one and the older form's opening.
fixtures=$(cd "$(dirname "$0")/../data/install" && pwd)

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    fail "install failed: $(cat "$work/install.log")"
app=org.lumenreel.Player
share=$prefix/share
for file in bin/lumenreel-player bin/lumenreel bin/lumenreel-export \
    share/man/man1/lumenreel-player.1 \
    share/man/man1/lumenreel.1 "share/applications/$app.desktop" \
    "share/metainfo/$app.metainfo.xml" "share/mime/packages/$app.xml" \
    "share/icons/hicolor/scalable/apps/$app.svg"; do
    [[ -f "$prefix/$file" ]] || fail "$file was not installed"
done
for size in 16 24 32 48 64 128 256 512; do
    png="$share/icons/hicolor/${size}x${size}/apps/$app.png"
    [[ "$(identify -format '%m %wx%h' "$png")" == "PNG ${size}x${size}" ]] ||
        fail "$png is not a ${size}x${size} PNG picture"
done
grep -q '<svg' "$share/icons/hicolor/scalable/apps/$app.svg" || fail "the scalable icon is no SVG"
"$prefix/bin/lumenreel-player" --version | grep '^lumenreel-player [0-9]' >/dev/null ||
    fail "the installed player does not run"
"$prefix/bin/lumenreel" --version >/dev/null || fail "the installed lumenreel does not run"

desktop-file-validate "$share/applications/$app.desktop" || fail "the launcher does not validate"
appstreamcli validate --no-net "$share/metainfo/$app.metainfo.xml" ||
    fail "the AppStream description does not validate"
for page in lumenreel-player lumenreel; do
    LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
        man --warnings -E UTF-8 -l -Tutf8 "$share/man/man1/$page.1" 2>"$work/$page.warnings" |
        sed 's/.\x08//g' >"$work/$page.txt"
    [[ ! -s "$work/$page.warnings" ]] || fail "man $page: $(cat "$work/$page.warnings")"
    grep -q "^NAME" "$work/$page.txt" || fail "man $page has no NAME section"
done

update-mime-database "$share/mime" >"$work/mime.log" 2>&1 ||
    fail "update-mime-database: $(cat "$work/mime.log")"
update-desktop-database "$share/applications"

# The movies under right, missing and swapped names, and a container that is no movie.
movies=$work/movies
mkdir "$movies"
cp "$build/tour.zcd" "$movies/tour.zcd"
cp "$fixtures/rich-document.zcs" "$movies/tour.zcs"
cp "$build/tour.zcd" "$movies/published"
cp "$fixtures/rich-document.zcs" "$movies/document"
cp "$fixtures/older-form.zcs" "$movies/older"
cp "$build/tour.zcd" "$movies/published.zcs"
cp "$fixtures/rich-document.zcs" "$movies/document.zcd"
cp "$build/tour.zcd" "$movies/published.txt"
cp "$build/skin.pak" "$movies/skin"

demo=application/x-lumenreel-demo
doc=application/x-lumenreel-document
# Only what a desktop session would set, so no variable of the machine running the tests counts.
desktop() {
    env -i PATH="$prefix/bin:/usr/bin:/bin" HOME="$work/home" XDG_DATA_HOME="$share" \
        XDG_DATA_DIRS="$share:/usr/share" XDG_CURRENT_DESKTOP="${desktop_name:-}" "$@"
}
mkdir -p "$work/home"

# Without a desktop xdg-mime asks shared-mime-info's own reader, where strong magic beats a
# name; GNOME's asks GIO, which trusts a single matching name and reads the content otherwise.
check_type() {
    local file=$1 expected=$2 found
    found=$(desktop xdg-mime query filetype "$movies/$file")
    [[ "$found" == "$expected" ]] ||
        fail "${desktop_name:-no desktop}: $file is '$found', expected $expected"
}
desktop_name=""
for case in "tour.zcd $demo" "tour.zcs $doc" "published $demo" "document $doc" "older $doc" \
    "published.zcs $demo" "document.zcd $doc" "published.txt $demo"; do
    check_type $case
done
[[ "$(desktop xdg-mime query filetype "$movies/skin")" != "$doc" ]] ||
    fail "a skin package is taken for a document"
desktop_name=GNOME
for case in "tour.zcd $demo" "tour.zcs $doc" "published $demo" "document $doc" "older $doc"; do
    check_type $case
done
desktop_name=""

for type in "$demo" "$doc"; do
    found=$(desktop xdg-mime query default "$type")
    [[ "$found" == "$app.desktop" ]] || fail "the default for $type is '$found'"
done

# Launching the installed launcher on a movie opens the player on that movie; where the movie was
# left is kept only for a movie that was open, so the kept positions below show it was.
if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null || ! command -v xprop >/dev/null
then
    echo "desktop-install: Xvfb, xdotool or xprop missing, the launch was not tried"
    exit 0
fi
# shellcheck source=../support/xvfb-session.sh
source "$(dirname "$0")/../support/xvfb-session.sh"
start_xvfb "$work" 1024x768
display=$DISPLAY
unset DISPLAY
for movie in published document; do
    desktop env DISPLAY="$display" SDL_AUDIODRIVER=dummy \
        gio launch "$share/applications/$app.desktop" "$movies/$movie" >"$work/launch.log" 2>&1 ||
        fail "gio could not launch the launcher: $(cat "$work/launch.log")"
    window=$(DISPLAY="$display" timeout 60 \
        xdotool search --sync --onlyvisible --classname '^lumenreel-player$' | head -n1) ||
        fail "launching the launcher on $movie opened no window: $(cat "$work/launch.log")"
    player=$(DISPLAY="$display" xdotool getwindowpid "$window")
    tr '\0' '\n' <"/proc/$player/cmdline" | grep -x "$movies/$movie" >/dev/null ||
        fail "the launcher did not hand $movie to the player: $(tr '\0' ' ' <"/proc/$player/cmdline")"
    # The title bar names the movie once it is open.
    titled() { DISPLAY="$display" xprop -id "$window" _NET_WM_NAME | grep -F "\"$movie — " >/dev/null; }
    wait_for 10 titled ||
        fail "the title does not name $movie: $(DISPLAY="$display" xprop -id "$window" _NET_WM_NAME)"
    DISPLAY="$display" xdotool windowfocus --sync "$window" 2>/dev/null || true
    # Five seconds on and one volume step down, then quit: both are kept for the next start.
    DISPLAY="$display" xdotool key Right 9 q
    quit() { ! kill -0 "$player" 2>/dev/null; }
    wait_for 60 quit || fail "the player launched on $movie did not quit on q"
done
# Without XDG_CONFIG_HOME and XDG_STATE_HOME the player keeps what it remembers under HOME; the
# second start read the volume the first one left.
settings=$work/home/.config/lumenreel/player.conf
positions=$work/home/.local/state/lumenreel/positions
grep -qx 'volume = 90' "$settings" || fail "the volume was not kept: $(cat "$settings")"
for movie in published document; do
    grep -Eq "^[0-9.]+ $movies/$movie\$" "$positions" ||
        fail "where $movie was left was not kept: $(cat "$positions")"
    seconds=$(sed -n "s| $movies/$movie\$||p" "$positions")
    awk -v s="$seconds" 'BEGIN { exit !(s >= 5) }' || fail "$movie was kept at $seconds s"
done
echo "desktop-install: all checks passed"
