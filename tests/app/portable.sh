#!/usr/bin/env bash
# A portable self-running demo runs where none of the player's own libraries are installed: in a
# folder made into a root that holds only the C library (with its converters), the system's window, graphics and sound
# libraries the player loads, a static busybox for the unpacking script, and the fonts. There
# the plain bundled player cannot start, and the portable one draws the same picture as the
# plain one does here, and leaves no unpacked files behind.
# Usage: portable.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d)
root=$work/root
cleanup() {
    mountpoint -q "$root/proc" 2>/dev/null && umount "$root/proc"
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "portable: $*" >&2
    exit 1
}

[[ "$(id -u)" == 0 ]] || { echo "portable: making a root folder needs root" >&2; exit 77; }
for tool in busybox chroot compare mountpoint; do
    command -v "$tool" >/dev/null || { echo "portable: $tool is not installed" >&2; exit 77; }
done
if ldd "$(command -v busybox)" >/dev/null 2>&1; then
    echo "portable: busybox is not static" >&2
    exit 77
fi

"$build/lumenreel" bundle "$build/tour.zcd" --portable --output "$work/portable-demo" ||
    fail "the portable bundle failed"
"$build/lumenreel" bundle "$build/tour.zcd" --output "$work/plain-demo"
"$work/plain-demo" --snapshot "$work/expected.png" --at 20

# What the portable file carries, read the way its own script reads it.
offset=$(sed -n 's/^tail -c +\([0-9]*\) .*/\1/p' "$work/portable-demo" | head -n1)
tail -c +"$offset" "$work/portable-demo" | gzip -dc | tar -t >"$work/carried"
grep -qx lumenreel-player "$work/carried" || fail "the player is not carried"
sed -n 's|^lib/||p' "$work/carried" >"$work/carried-libraries"
for needed in libcairo.so.2 libSDL2-2.0.so.0 libstdc++.so.6; do
    grep -qx "$needed" "$work/carried-libraries" || fail "$needed is not carried"
done
! grep -E '^(libc\.so|libm\.so|ld-linux|libX11|libxcb\.|libasound)' "$work/carried-libraries" ||
    fail "a system library is carried"

mkdir -p "$root/usr/lib/x86_64-linux-gnu" "$root/usr/lib64" "$root/bin" "$root/tmp" \
    "$root/proc" "$root/etc" "$root/usr/share"
ln -s usr/lib "$root/lib"
ln -s usr/lib64 "$root/lib64"
cp "$(command -v busybox)" "$root/bin/busybox"
for applet in sh mktemp tail gzip tar rm; do
    ln -s busybox "$root/bin/$applet"
done
# Only the libraries the portable file leaves to the system.
ldd "$build/lumenreel-player" | awk '$2 == "=>" && $3 ~ /^\// {print $1, $3}' >"$work/loaded"
while read -r soname path; do
    grep -qx "$soname" "$work/carried-libraries" ||
        cp -L "$path" "$root/usr/lib/x86_64-linux-gnu/$soname"
done <"$work/loaded"
loader=$(ldd "$build/lumenreel-player" | awk '$1 ~ /^\/.*ld-linux/ {print $1}')
cp -L "$loader" "$root/usr/lib64/$(basename "$loader")"
# The C library's character set converters belong to it.
cp -rL /usr/lib/x86_64-linux-gnu/gconv "$root/usr/lib/x86_64-linux-gnu/"
cp -rL /etc/fonts "$root/etc/"
cp -rL /usr/share/fonts "$root/usr/share/"
[[ -d /usr/share/fontconfig ]] && cp -rL /usr/share/fontconfig "$root/usr/share/"
cp "$work/portable-demo" "$work/plain-demo" "$root/"
while read -r soname; do
    [[ -z "$(find "$root" -name "$soname")" ]] || fail "$soname is not hidden"
done <"$work/carried-libraries"
mount -t proc proc "$root/proc"

if chroot "$root" /plain-demo --snapshot /plain.png --at 20 2>"$work/plain.log"; then
    fail "the plain bundle ran without its libraries, so nothing is hidden"
fi
chroot "$root" /portable-demo --snapshot /portable.png --at 20 2>"$work/portable.log" ||
    fail "the portable bundle did not run: $(cat "$work/portable.log")"
differing=$(compare -metric AE "$work/expected.png" "$root/portable.png" null: 2>&1 || true)
[[ "$differing" == 0 ]] || fail "the picture differs in $differing pixels"
[[ -z "$(ls -A "$root/tmp")" ]] || fail "the unpacked files were left in /tmp"
echo "portable: $(wc -l <"$work/carried-libraries") libraries carried; it ran with them hidden"
