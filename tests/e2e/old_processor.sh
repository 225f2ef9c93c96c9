#!/usr/bin/env bash
# On a processor without AVX (an emulated one, by qemu's user mode) the disk and its intro
# library start and refuse as they do anywhere, and the engine draws the very same pictures as
# on this machine: the wider inner loops wait for the processor check and leave no code of
# theirs where code for every processor runs. Without a display.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
play_from_scratch "$1"
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
old() { qemu-x86_64 -cpu Westmere "$@"; }

# The disk and the intro library load (their start-up code runs) and refuse without vrk.bin.
mkdir empty && (cd empty && old "$build/vrkdisk" >out.log 2>&1)
status=$?
[ "$status" -eq 1 ] || fail "without vrk.bin: exit status $status, wanted 1"
grep -q "I need data file 'VRK.BIN' to run!" empty/out.log || fail "without vrk.bin: no message"
echo "the disk starts and refuses on a processor without AVX"

# A dozen frames of each scene, from the first on.
for scene in train.3ds hut2.3ds; do
    for frames in 0 30..40 250; do
        "$build/scenerender" --data vrk.bin --frames "$frames" "$scene" here.tga >/dev/null ||
            fail "scenerender $scene $frames"
        old "$build/scenerender" --data vrk.bin --frames "$frames" "$scene" old.tga >/dev/null ||
            fail "scenerender $scene $frames without AVX"
        for f in here.tga*; do
            cmp -s "$f" "old${f#here}" || fail "$scene, frames $frames: $f differs without AVX"
        done
        rm -f here.tga* old.tga*
    done
done
echo "the engine draws the same pictures without AVX"
