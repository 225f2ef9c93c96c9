#!/usr/bin/env bash
# The intro as a person sees and hears it, uninterrupted, started from a folder it may not write
# to: its window full screen with the keyboard, its tune from the first picture, the logo fading
# in and out, the first scene, the caption and the large title over the scene's last picture,
# the second scene inside its 10-pixel frame, the fade to black; then the player's window with
# the keyboard, its fade-in and its own tune, and an exit with status 0. Nothing is written in
# the folder. Prints the intro's length and its processor use. With a second argument, saves
# screenshots of the intro into that folder. Run by with-display.sh.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
# Both folders may be given relative to where it starts; it runs the disk from elsewhere.
build=$(cd "$1" && pwd) || fail "no build folder $1"
shots=${2:-}
if [ -n "$shots" ]; then
    mkdir -p "$shots" && shots=$(cd "$shots" && pwd) || fail "cannot use $2 for screenshots"
fi
work=$(mktemp -d)
# The working folder: vrk.bin in a folder nobody may write to (for root, who may write anywhere,
# a read-only view of it).
mkdir "$work/files" "$work/readonly"
cp "$build/vrk.bin" "$work/files/"
chmod a-w "$work/files/vrk.bin" "$work/files"
readonly_dir=$work/files
if [ "$(id -u)" = 0 ]; then
    readonly_dir=$work/readonly
    mount --bind "$work/files" "$readonly_dir" && mount -o remount,bind,ro "$readonly_dir" ||
        fail "cannot make a read-only folder"
fi
cleanup() {
    kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    cd /
    [ "$(id -u)" = 0 ] && umount "$work/readonly"
    chmod -R u+w "$work/files"
    rm -rf "$work"
}
pid=
trap cleanup EXIT
touch "$readonly_dir/probe" 2>/dev/null && fail "the working folder is writable"
listing() { find "$readonly_dir" -printf '%p %s %T@\n'; }
before=$(listing)
cd "$readonly_dir"

shoot() { [ -n "$shots" ] && import -window root png:- | convert - -sample 50% "$shots/$1.png"; true; }
audible() { [ -s "$work/audio.raw" ] && python3 "$here/loudness.py" "$work/audio.raw" 0.01; }
# The picture in a region x y w h changes within half a second.
moving() { local a; a=$(region_sum "$@"); sleep 0.5; [ "$a" != "$(region_sum "$@")" ]; }
still() { local a; a=$(region_sum "$@"); sleep 0.3; [ "$a" = "$(region_sum "$@")" ]; }
now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", b - a }'; }
percent() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { printf "%.1f", 100 * (b - a) / t }'; }

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
start=$(now)
"$build/vrkdisk" >"$work/out.log" 2>&1 &
pid=$!

wait_for 30 has_intro
wait_for 10 intro_focused
intro=$(intro_window)
eval "$(xdotool getwindowgeometry --shell "$intro")"
[ "$WIDTH" = 1280 ] && [ "$HEIGHT" = 800 ] || fail "intro window is ${WIDTH}x${HEIGHT}, not full screen"
echo "the intro's window is full screen and has the keyboard"

SCALE=4
LEVEL=3 wait_for 20 bright 0 50 320 79
wait_for 10 audible
echo "the logo lights up and the intro's tune is heard"
# Well into the hold (the fade-in takes 3.2 s, the hold lasts until 12.5 s into the tune).
sleep 3.5
shoot intro-logo
c0=$(cpu_seconds "$pid") t0=$(now)
sleep 5
c1=$(cpu_seconds "$pid") t1=$(now)
logo_cpu=$(percent "$c0" "$c1" "$(seconds "$t0" "$t1")")
LEVEL=0 wait_for 20 dark 0 0 320 200
echo "the logo faded out"

LEVEL=4 wait_for 20 bright 0 0 317 197
wait_for 10 moving 0 0 317 197
echo "the first scene plays"
sleep 12
shoot intro-scene1

# The scene's last picture stands still while the caption fades in over it.
caption() { still 0 0 110 197 && still 196 0 121 197 && moving 110 50 86 22; }
wait_for 40 caption
echo "the caption fades in over the scene's last picture"
# Grabs the screen once, so that what is measured and what is saved are the same picture.
snap() { grab 1280 800 0 0 png:"$work/grab.png"; }
grabbed_sum() {
    convert "$work/grab.png" -crop "$(( $3 * SCALE ))x$(( $4 * SCALE ))+$(( $1 * SCALE ))+$(( $2 * SCALE ))" \
        +repage rgb:- | md5sum | cut -c1-32
}
grabbed_brightness() {
    convert "$work/grab.png" -crop "$(( $3 * SCALE ))x$(( $4 * SCALE ))+$(( $1 * SCALE ))+$(( $2 * SCALE ))" \
        +repage -colorspace gray -format '%[fx:int(mean*100)]' info:-
}
keep() { [ -n "$shots" ] && convert "$work/grab.png" -sample 50% "$shots/$1.png"; true; }
# The brightest picture of a region while a second region stays as it was (at most 20 s):
# brightest NAME X Y W H  X Y W H SUM
brightest() {
    local name=$1 best=-1 b end=$(( $(date +%s) + 20 ))
    shift
    while snap && [ "$(grabbed_sum "${@:5:4}")" = "${9}" ] && [ "$(date +%s)" -lt "$end" ]; do
        b=$(grabbed_brightness "${@:1:4}")
        [ "$b" -gt "$best" ] && { best=$b; keep "$name"; }
    done
}
# The caption at its brightest, while the picture left of it is still the scene's last; the
# large title, which comes next, covers that too.
snap || fail "cannot read the screen"
held=$(grabbed_sum 0 0 110 197) top=$(grabbed_sum 0 0 317 29)
brightest intro-caption 110 50 86 22 0 0 110 197 "$held"
title() { snap && [ "$(grabbed_sum 0 0 110 197)" != "$held" ]; }
wait_for 30 title
echo "the large title fades in"
# The title at its brightest, until the fade to black after it reaches the top rows.
brightest intro-title 0 30 317 136 0 0 317 29 "$top"

# The second scene: inside the frame it moves, the 10-pixel border stays black.
second() { LEVEL=0 dark 0 0 320 9 && LEVEL=0 dark 0 191 320 9 && moving 10 10 300 180; }
wait_for 40 second
sleep 6
shoot intro-scene2
echo "the second scene plays inside its frame"

gone() { ! has_intro; }
wait_for 60 gone
end=$(now)
intro_cpu=$(percent 0 "$(cpu_seconds "$pid")" "$(seconds "$start" "$end")")

SCALE=2
wait_for 10 player_focused
LEVEL=5 wait_for 60 bright 15 70 390 220
loud_now() { [ -s "$work/audio.raw" ] && python3 "$here/loudness.py" "$work/audio.raw" 0.01 1; }
wait_for 30 loud_now
echo "the player's window has the keyboard again, its menu shows and its tune plays"

[ "$before" = "$(listing)" ] || fail "the working folder changed: $(listing)"
echo "nothing was written in the read-only working folder"

leave_disk
echo "intro length $(seconds "$start" "$end") s; processor: ${logo_cpu}% of a core while the logo holds, ${intro_cpu}% over the whole intro"
echo "intro ran uninterrupted from a read-only folder, player followed, exit 0"
