#!/bin/sh
# Makes narration.ogg from narration.txt: each line spoken by espeak-ng, started 0.4 s into its
# frame and padded to the frame's length, so the words stay in step with the pictures. Run once
# by hand when the words change (espeak-ng is not needed to build).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
n=0
grep -v '^#' "$here/narration.txt" | while IFS="$(printf '\t')" read -r seconds words; do
    espeak-ng -v en-us -s 150 -w "$work/said.wav" "$words"
    spoken=$(soxi -D "$work/said.wav")
    if [ "$(echo "$spoken + 0.4 > $seconds" | bc)" = 1 ]; then
        echo "line $n: $spoken s of speech does not fit its $seconds s frame" >&2
        exit 1
    fi
    sox -V1 "$work/said.wav" -r 22050 -c 1 "$work/$(printf %03d "$n").wav" pad 0.4 "$seconds" \
        trim 0 "$seconds"
    n=$((n + 1))
done
sox "$work"/[0-9][0-9][0-9].wav "$work/all.wav"
oggenc -Q -q 0 -o "$here/narration.ogg" "$work/all.wav"
soxi -D "$here/narration.ogg"
