#!/usr/bin/env bash
# The player's refusals: without the data file it says so and exits 1; with a data file that
# lacks a picture it reports "error loading image!" and exits 0. Both without a display, where
# message boxes go to standard error.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

cd "$work"
"$build/vrkdisk" >out.log 2>&1
status=$?
[ "$status" -eq 1 ] || fail "without vrk.bin: exit status $status, wanted 1"
grep -q "I need data file 'VRK.BIN' to run!" out.log || fail "without vrk.bin: no message"

# The same data file without the menu font (and without the intro's logo, so that the intro,
# which has no display to take a key from here, ends at once).
mkdir parts && cd parts
"$build/vrkpack" list "$build/vrk.bin" | awk 'NR > 1 && NF >= 3 {print $1}' > names
grep -q '^menufont.tga$' names || fail "vrkpack list shows no menufont.tga"
while read -r n; do "$build/vrkpack" extract "$build/vrk.bin" "$n" "$n" || fail "extract $n"; done < names
rm menufont.tga vrk.tga
"$build/vrkpack" create ../vrk.bin $(grep -v -e '^menufont.tga$' -e '^vrk.tga$' names) >/dev/null ||
    fail "vrkpack create"
cd ..
"$build/vrkdisk" >out.log 2>&1
status=$?
[ "$status" -eq 0 ] || { cat out.log; fail "without menufont.tga: exit status $status, wanted 0"; }
grep -q "error loading image!" out.log || { cat out.log; fail "without menufont.tga: no report"; }
grep -q "ptc error" out.log || fail "the report is not the console's"
grep -q "can't read image!" out.log || { cat out.log; fail "the intro did not report its logo"; }
echo "refusals: no data file -> 1, missing picture -> reported, 0"
