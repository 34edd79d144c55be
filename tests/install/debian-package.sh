#!/usr/bin/env bash
# Makes the Debian package from the build and looks inside: the programs and desktop files
# under /usr, no desktop cache of the build machine, the libraries' packages and the fonts among
# its dependencies, and every library the player loads provided by a package it depends on.
# Usage: debian-package.sh BUILD_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
    echo "debian-package: $*" >&2
    exit 1
}

for tool in cpack dpkg-deb dpkg-shlibdeps dpkg-query; do
    command -v "$tool" >/dev/null || { echo "debian-package: $tool is not installed" >&2; exit 77; }
done

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$work/cpack.log")"
deb=$(ls "$work"/lumenreel_*.deb)
[[ -f "$deb" ]] || fail "no package was written"

dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|' >"$work/files"
for file in /usr/bin/lumenreel-player /usr/bin/lumenreel /usr/bin/lumenreel-export \
    /usr/share/man/man1/lumenreel.1 \
    /usr/share/applications/org.lumenreel.Player.desktop \
    /usr/share/metainfo/org.lumenreel.Player.metainfo.xml \
    /usr/share/mime/packages/org.lumenreel.Player.xml \
    /usr/share/icons/hicolor/scalable/apps/org.lumenreel.Player.svg; do
    grep -qx "$file" "$work/files" || fail "the package lacks $file"
done
! grep -E '/(mime\.cache|mimeinfo\.cache|globs2?|magic)$' "$work/files" ||
    fail "the package carries a desktop cache"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for needed in fonts-liberation2 libsdl2 libcairo2 libavcodec libc6; do
    [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed"
done

# Every library the player links directly comes from a package that Depends names (those
# libraries' own dependencies are their packages' business).
deps_names=$(echo "$depends" | tr ',|' '\n\n' | sed 's/(.*//; s/ //g' | sort -u)
# The package owning a library, under the names the merged /usr gives it.
owner_of() {
    local real candidate
    real=$(readlink -f "$1")
    for candidate in "$1" "$real" "${1#/usr}" "/usr${1#/usr}" "${real#/usr}" "/usr${real#/usr}"; do
        { dpkg-query -S "$candidate" 2>/dev/null || true; } | head -n1 | cut -d: -f1 | grep . &&
            return 0
    done
    return 0
}
readelf -d "$build/lumenreel-player" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p' >"$work/needed"
while read -r soname; do
    path=$(ldd "$build/lumenreel-player" | awk -v s="$soname" '$1 == s {print $3}')
    owner=$(owner_of "$path")
    [[ -n "$owner" ]] || fail "no package owns $soname ($path)"
    grep -qx "$owner" <<<"$deps_names" || fail "$soname comes from $owner, which Depends lacks"
done <"$work/needed"
echo "debian-package: $(basename "$deb") checked"
