#!/bin/sh
# Renders the moments the tour's rendering test compares with (tests/sample/reference), from a
# build tree's tour.zcd: run after a change to the tour's look, LOOK at every picture, then
# commit them. The moments show the welcome balloon, a highlight with a dialog, the scrolled
# list and the closing fade.
set -eu
build=${1:-build}
here=$(cd "$(dirname "$0")" && pwd)
out="$here/../../tests/sample/reference"
mkdir -p "$out"
for t in 3.0 33.0 50.0 73.0; do
    "$build/lumenreel" render "$build/tour.zcd" --time "$t" --output "$out/tour-$t.png"
done
