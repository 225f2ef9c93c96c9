#!/usr/bin/env bash
# Runs a command on a private X display with a window manager, as a desktop would have:
#   tests/e2e/with-display.sh COMMAND...
# The display number is free at start; DISPLAY is exported for the command. Xvfb and openbox are
# stopped afterwards, whatever the command's outcome, and its exit status is passed on.
set -u
for n in $(seq 90 140); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { num=$n; break; }
done
export DISPLAY=:$num
Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
openbox >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.05; done
unset SDL_VIDEODRIVER
"$@"
status=$?
kill "$wm" "$xvfb" 2>/dev/null
wait "$wm" "$xvfb" 2>/dev/null
exit $status
