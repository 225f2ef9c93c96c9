#!/usr/bin/env bash
# The disk as the desktop's media controls see it: playerctl (a client made by no one here) on a
# session bus of the test's own reads what plays and drives the disk: next, previous, pause and
# play, volume, position, shuffle; the P key and the play/pause media key pause it too; Quit
# leaves with exit status 0. The sound is checked on SDL's disk audio driver, where audio time
# is the file's length, so "within half a second" is measured in the sound, not on a busy clock.
# Run as: dbus-run-session -- with-display.sh mpris.sh BUILD
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/lib.sh"
. "$here/own_disk.sh"
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'kill ${pid:-} 2>/dev/null; rm -rf "$work"' EXIT
[ -n "${DBUS_SESSION_BUS_ADDRESS:-}" ] || fail "no session bus: run this under dbus-run-session"
# The package as a person installs it, icons and all.
deb=$("$here/../../scripts/make-package.sh" "$build") || fail "the package was not made"
dpkg-deb -x "$deb" "$work/root" || fail "dpkg-deb could not unpack $deb"

export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw" XDG_CACHE_HOME=$work/cache
audio=$work/audio.raw
pc() { playerctl -p tinselwave "$@" 2>/dev/null; }
# Bytes of sound written so far, and seconds of it.
bytes() { stat -c %s "$audio" 2>/dev/null || echo 0; }
# peak FROM [TO]: the peak (0..1) of the sound between two byte offsets (to the end without TO).
peak() {
    python3 - "$audio" "$@" <<'EOF'
import array, sys
data = open(sys.argv[1], "rb").read()
a = int(sys.argv[2]) // 4 * 4
b = int(sys.argv[3]) // 4 * 4 if len(sys.argv) > 3 else len(data) // 4 * 4
s = array.array("h", data[a:b])
print(max((abs(x) for x in s), default=0) / 32768.0)
EOF
}
# rms FROM TO: the root mean square level (0..1) between two byte offsets.
rms() {
    python3 - "$audio" "$@" <<'EOF'
import array, math, sys
data = open(sys.argv[1], "rb").read()
a, b = int(sys.argv[2]) // 4 * 4, int(sys.argv[3]) // 4 * 4
s = array.array("h", data[a:b])
print(math.sqrt(sum(x * x for x in s) / max(len(s), 1)) / 32768.0)
EOF
}
above() { python3 -c "import sys; sys.exit(0 if $1 > $2 else 1)"; }
loud() { [ -s "$audio" ] && python3 "$here/loudness.py" "$audio" 0.02 0.5; }
status_is() { [ "$(pc status)" = "$1" ]; }
title_is() { [ "$(pc metadata xesam:title)" = "$1" ]; }
restarted() { [ -e "$work/restarted" ]; }
second=176400 # bytes of one second of 16-bit stereo at 44100 Hz

start_disk "$work/root/usr/bin/tinselwave" --no-intro
LEVEL=5 wait_for 60 bright 15 70 390 220
focus_player
wait_for 60 loud
wait_for 20 status_is Playing

# What plays: title, group, album, length and the installed icon.
[ "$(pc metadata xesam:title)" = "jingle bells" ] || fail "title: $(pc metadata)"
[ "$(pc metadata xesam:artist)" = "frostbyte" ] || fail "artist: $(pc metadata)"
[ "$(pc metadata xesam:album)" = "Tinselwave" ] || fail "album: $(pc metadata)"
[ "$(pc metadata mpris:length)" = "112000000" ] || fail "length: $(pc metadata)"
case "$(pc metadata mpris:artUrl)" in
    file://*/share/icons/hicolor/256x256/apps/tinselwave.png) ;;
    *) fail "artUrl: $(pc metadata mpris:artUrl)" ;;
esac
echo "metadata: $(pc metadata --format '{{title}} / {{artist}} / {{album}} / {{mpris:length}}')"

# The position is the one heard: the disk driver's file holds exactly what was heard so far.
heard=$(bytes)
told=$(pc position)
heard_s=$(python3 -c "print($heard / $second)")
python3 -c "import sys; sys.exit(0 if abs($told - $heard_s) < 0.5 else 1)" ||
    fail "position $told s, heard $heard_s s"
echo "position $told s against $heard_s s heard"

# Next and previous: the tune changes (the driver's file starts anew), the list follows it.
list() { region_sum 15 70 360 220; }
before=$(list)
watch_restart "$audio" "$work/restarted" >/dev/null
pc next
wait_for 20 restarted
wait_for 20 loud
wait_for 10 title_is "deck the halls"
moved() { [ "$(list)" != "$before" ]; }
wait_for 10 moved
watch_restart "$audio" "$work/restarted" >/dev/null
pc previous
wait_for 20 restarted
wait_for 20 title_is "jingle bells"
wait_for 20 loud
echo "next and previous change the tune and the list follows"

# Pause: silent within half a second of sound after the request; play goes on from there.
sleep 1
at=$(bytes)
pc pause
wait_for 10 status_is Paused
sleep 1.5
# The sound after the first half second after the request is silence, or nothing at all (a
# paused module still writes silence).
p=$(peak $((at + second / 2)))
above 0.001 "$p" || fail "still sounding half a second after pause: peak $p"
paused_at=$(pc position)
sleep 1
[ "$(pc position)" = "$paused_at" ] || fail "the position moved while paused"
at=$(bytes)
pc play
resumed=$(pc position)
wait_for 10 status_is Playing
wait_for 10 loud
python3 -c "import sys; sys.exit(0 if 0 <= $resumed - $paused_at < 0.5 else 1)" ||
    fail "resumed at $resumed s, paused at $paused_at s"
echo "pause silences the sound and play resumes at $resumed s (paused at $paused_at s)"

# Volume: the same stretch of the tune, at full and at half volume, has half the level.
measure() {
    pc position 20
    sleep 0.4
    local from; from=$(bytes)
    sleep 1.2
    rms "$from" $((from + second))
}
full=$(measure)
pc volume 0.5
[ "$(pc volume)" = "0.500000" ] || fail "volume reads $(pc volume)"
half=$(measure)
python3 -c "import sys; r = $half / $full; sys.exit(0 if 0.4 < r < 0.6 else 1)" ||
    fail "level $full at full volume, $half at half"
pc volume 1
echo "volume 0.5 halves the level: $full -> $half"

# P and the play/pause media key, in the window.
focus_player
xdotool key p
wait_for 10 status_is Paused
xdotool key p
wait_for 10 status_is Playing
xdotool key XF86AudioPlay
wait_for 10 status_is Paused
xdotool key XF86AudioPlay
wait_for 10 status_is Playing
echo "P and the media key pause and resume"

# Shuffle: random play with its indicator, and a random tune.
indicator() { region_sum 0 0 60 16; }
off=$(indicator)
watch_restart "$audio" "$work/restarted" >/dev/null
pc shuffle On
wait_for 10 bash -c "[ \"\$(playerctl -p tinselwave shuffle)\" = On ]"
lit() { [ "$(indicator)" != "$off" ]; }
wait_for 10 lit
wait_for 20 restarted
[ "$(pc loop)" = "Playlist" ] || fail "loop status $(pc loop) under random play"
echo "shuffle turns random play on with its indicator"

# The CPU the menu takes with the bus connected.
c0=$(cpu_seconds "$pid")
sleep 10
c1=$(cpu_seconds "$pid")
echo "CPU in the menu with the bus: $(python3 -c "print(round(($c1 - $c0) * 10, 1))") % of a core"

# Quit: the disk leaves as Escape, Escape does, the end pictures cut short.
dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.tinselwave /org/mpris/MediaPlayer2 \
    org.mpris.MediaPlayer2.Quit >/dev/null || fail "Quit was not answered"
expect_exit_0
echo "Quit left the disk with exit status 0"
