#!/bin/sh
# Remakes the stored pictures of the default balloons grown to three sizes (tests/data/themes)
# from a build tree: run after a change to the balloons' look, LOOK at every picture, then
# commit them.
set -eu
build=${1:-build}
LUMENREEL_UPDATE_REFERENCES=1 "$build/tests/themes/themes_tests" \
    --gtest_filter='DefaultBalloonsTest.GrownBalloonsLookLikeTheStoredPictures'
