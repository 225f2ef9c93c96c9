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
ready() {
    for _ in $(seq 400); do "$@" >/dev/null 2>&1 && return 0; sleep 0.05; done
    return 1
}
ready xdpyinfo || { echo "Xvfb did not start on $DISPLAY" >&2; kill "$xvfb"; exit 1; }
openbox >/dev/null 2>&1 &
wm=$!
# openbox announces itself before it has finished starting, and a window mapped in between can
# be lost: it never appears, and a program waiting for it to appear waits forever. So map probe
# windows until openbox shows one: from then on it handles every window.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q window; }
ready wm_ready || { echo "openbox did not start on $DISPLAY" >&2; kill "$wm" "$xvfb"; exit 1; }
probe_shown() { xwininfo -name vrk-wm-probe 2>/dev/null | grep -q IsViewable; }
shown=0
for _ in $(seq 30); do
    xmessage -title vrk-wm-probe -geometry 10x10+0+0 probe >/dev/null 2>&1 &
    probe=$!
    for _ in $(seq 20); do probe_shown && { shown=1; break; }; sleep 0.05; done
    kill "$probe" 2>/dev/null
    wait "$probe" 2>/dev/null
    [ "$shown" = 1 ] && break
done
[ "$shown" = 1 ] || { echo "openbox shows no windows on $DISPLAY" >&2; kill "$wm" "$xvfb"; exit 1; }
# The program must meet this display, not a Wayland desktop the tests were started from.
unset SDL_VIDEODRIVER WAYLAND_DISPLAY
"$@"
status=$?
kill "$wm" "$xvfb" 2>/dev/null
wait "$wm" "$xvfb" 2>/dev/null
exit $status
