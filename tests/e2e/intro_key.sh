#!/usr/bin/env bash
# A key pressed while the first scene plays cuts the intro short: its window closes within a few
# seconds, the player's window has the keyboard again and its menu fades in; the run exits 0.
# Run by with-display.sh from the build folder.
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
play_from_scratch "$1"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
"$build/vrkdisk" >"$work/out.log" 2>&1 &
pid=$!

wait_for 30 has_intro
SCALE=4
LEVEL=3 wait_for 20 bright 0 50 320 79
LEVEL=0 wait_for 30 dark 0 0 320 200
moving() { local a; a=$(region_sum "$@"); sleep 0.5; [ "$a" != "$(region_sum "$@")" ]; }
scene() { LEVEL=4 bright 0 0 317 197 && moving 0 0 317 197; }
wait_for 30 scene
xdotool key space
# The final fade, the music's fade-out and the tear-down take a few seconds.
wait_for 8 intro_gone
SCALE=2
wait_for 10 player_focused
LEVEL=5 wait_for 30 bright 15 70 390 220
echo "a key in the first scene brought the menu"
focus_player
leave_disk
echo "intro cut short by a key, menu followed, exit 0"
