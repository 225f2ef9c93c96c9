#!/usr/bin/env bash
# Your own modules in the disk, as a person plays them: a folder of modules made by others (from
# Debian's game-data packages: MOD, XM, IT, S3M and STM in subfolders, a broken file, names that
# are not ASCII) started through the installed launcher from another folder; then a collection
# file naming modules by path, and one module file. Each menu lists what its modules say, plays
# them, leaves with exit status 0, and writes nothing into the modules' folder.
# Run by with-display.sh from the build folder; a second argument saves the menu's screenshot.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
. "$here/own_disk.sh"
screenshot=${2:+$(realpath -m "$2")}
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'kill ${pid:-} 2>/dev/null; rm -rf "$work"' EXIT

# The package's layout, installed from this build, with the launcher as a person starts it.
cmake --install "$build" --prefix "$work/root/usr" >/dev/null || fail "the build does not install"
launcher=$work/root/usr/bin/tinselwave
"$here/../../scripts/fetch-module-folder.sh" "$build/module-folder" || fail "no modules to play"
mods="$work/my modules"
cp -r "$build/module-folder/modules" "$mods"
cp "$mods/tecnoballz/high-score.mod" "$mods/tecnoballz/zürich ñ 2.mod"
printf 'this is no module' >"$mods/njam/broken.xm"
: >"$mods/pachi/empty.s3m"
printf '\x00not a picture' >"$mods/njam/broken.jpg"
export XDG_CACHE_HOME=$work/cache
snapshot() { (cd "$mods" && find . -printf '%p %s %T@ %m\n' | sort); }
before=$(snapshot)
mkdir "$work/elsewhere"
cd "$work/elsewhere" || fail "no folder to start from"

# What the menu will list: every group and the modules' own titles, the broken files named.
"$launcher" --list "../my modules" >"$work/list.txt" 2>"$work/list.err" ||
    fail "--list failed: $(cat "$work/list.err")"
for header in gltron heroes njam pachi stages tecnoballz; do
    grep -q "^ *[0-9]* | *$header| group$" "$work/list.txt" || fail "no group $header"
done
for title in "revenge of the cats" "realm of chaos" "amazonas" "high-score" "caeros"; do
    grep -q "|.*$title\.\.\.*[0-9]*'[0-9][0-9]| tune " "$work/list.txt" || fail "no tune $title"
done
grep -q "| tune .*/tecnoballz/zürich ñ 2.mod$" "$work/list.txt" || fail "no tune of a non-ASCII name"
grep -q "broken.xm: skipped: not a module libopenmpt can open" "$work/list.err" ||
    fail "the broken module is not named"
grep -q "empty.s3m: skipped: the file is empty" "$work/list.err" || fail "the empty module is not named"
grep -q "broken.jpg" "$work/list.err" && fail "a file that is no module was named"
echo "--list: $(head -1 "$work/list.txt")"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
loud() { [ -s "$work/audio.raw" ] && python3 "$here/loudness.py" "$work/audio.raw" 0.02 0.5; }
restarted() { [ -e "$work/restarted" ]; }
menu_shown() { [ -n "$(player_window)" ] && LEVEL=5 bright 15 70 390 220; }
list() { region_sum 15 70 360 220; }
settled() { local a; a=$(list); sleep 0.3; [ "$a" = "$(list)" ]; }

# The folder, with the intro first, as the launcher starts it.
xdotool mousemove 640 400
start_disk "$launcher" "../my modules"
skip_intro
wait_for 90 menu_shown
focus_player
wait_for 60 loud
grep -q "broken.xm: skipped" "$work/out.log" || fail "the player did not name the broken module"
wait_for 20 settled
[ -n "$screenshot" ] && import -window "$(player_window)" "$screenshot"
echo "the folder's menu opened with its first tune"
# Down past the blank row and the next header (three row slots) to the next tune, and play it.
xdotool key --delay 100 Down Down Down Down Down Down
wait_for 20 settled
watch_restart "$work/audio.raw" "$work/restarted" >/dev/null
xdotool key Return
wait_for 20 restarted
wait_for 20 loud
echo "Return plays the tune under the cursor"
# Random play picks one of them.
watch_restart "$work/audio.raw" "$work/restarted" >/dev/null
xdotool key l
wait_for 20 restarted
wait_for 20 loud
echo "random play picks among them"
leave_disk
[ -s "$XDG_CACHE_HOME/tinselwave/modules.cache" ] || fail "nothing was kept in the cache"

# A collection file of my own, naming modules by path (one of them twice, as the end tune too).
cat >"$work/mine.txt" <<EOF
title my evening
group games
tune the cats | my modules/gltron/song_revenge_of_cats.it
tune menu | my modules/pachi/menu.s3m | 2'00
group heroes
tune heroes | my modules/héroes/heroes01.xm
endtune my modules/pachi/menu.s3m
EOF
"$launcher" --list ../mine.txt >"$work/list2.txt" 2>&1 || fail "the collection file: $(cat "$work/list2.txt")"
grep -q "m y   e v e n i n g" "$work/list2.txt" || fail "no title banner"
grep -q "menu\.\.\.2'00| tune" "$work/list2.txt" || fail "the listed time is not shown"
grep -q "the cats\.\.\.4'52| tune" "$work/list2.txt" || fail "the measured time is not shown"
rm -f "$work/audio.raw"
start_disk "$launcher" --no-intro ../mine.txt
wait_for 60 menu_shown
focus_player
wait_for 60 loud
leave_disk
echo "a collection file plays"
# A broken collection file is refused with its line, as the build's checker does.
printf 'title x\ngroup Upper\n' >"$work/bad.txt"
"$launcher" --list ../bad.txt >"$work/bad.log" 2>&1 && fail "a broken collection file was played"
grep -q "bad.txt:2: error: group name \"Upper\"" "$work/bad.log" || fail "no line for the error"

# One module file.
rm -f "$work/audio.raw"
start_disk "$launcher" --no-intro "../my modules/pachi/stages/stage2.stm"
wait_for 60 menu_shown
focus_player
wait_for 60 loud
leave_disk
echo "one module plays"

[ "$(snapshot)" = "$before" ] || fail "something was written into the modules' folder"
[ -z "$(ls -A "$work/elsewhere")" ] || fail "the disk wrote into the folder it was started from"
echo "nothing was written into the modules' folder"
