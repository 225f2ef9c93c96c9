#!/usr/bin/env bash
# Runs a command under a private headless Wayland compositor (sway, drawing in memory), as a
# Wayland desktop would have it:  tests/e2e/with-wayland.sh COMMAND...
# WAYLAND_DISPLAY, SWAYSOCK and XDG_RUNTIME_DIR are exported for the command, DISPLAY is
# removed (nothing may fall back to X11, and there is no Xwayland), and SDL_VIDEODRIVER is set
# to wayland. Exits 77 (the test's skip code) when this machine cannot run the compositor; the
# compositor is stopped afterwards, and the command's exit status is passed on.
set -u
skip() {
    echo "SKIP: $*" >&2
    exit 77
}
for tool in sway swaymsg grim wtype convert python3; do
    command -v "$tool" >/dev/null || skip "no $tool (scripts/setup.sh installs it)"
done

runtime=$(mktemp -d)
cleanup() {
    [ -n "${compositor:-}" ] && kill "$compositor" 2>/dev/null && wait "$compositor" 2>/dev/null
    rm -rf "$runtime"
}
trap cleanup EXIT
# sway will not run as root (it refuses to start when it could take root back), so there it
# runs as nobody in a runtime folder of nobody's; root reaches the sockets all the same.
as=()
if [ "$(id -u)" -eq 0 ]; then
    command -v setpriv >/dev/null || skip "running as root and no setpriv to leave root for sway"
    as=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    chown nobody:nogroup "$runtime" || skip "cannot hand $runtime to nobody"
fi
chmod 700 "$runtime"
cat >"$runtime/config" <<'CONFIG'
output HEADLESS-1 resolution 1920x1080 position 0 0
output HEADLESS-1 bg #204060 solid_color
# A window that leaves full screen floats at the size it asks for, as on a desktop.
for_window [app_id="vrkdisk"] floating enable
focus_follows_mouse no
CONFIG
chmod 644 "$runtime/config"

# The headless back-end with wlroots' software renderer, no input devices but the virtual
# keyboards wtype makes, and no Xwayland.
env -i PATH=/usr/bin:/bin HOME="$runtime" XDG_RUNTIME_DIR="$runtime" WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman WLR_XWAYLAND=/nonexistent \
    "${as[@]}" sway -c "$runtime/config" >"$runtime/sway.log" 2>&1 &
compositor=$!
export XDG_RUNTIME_DIR=$runtime
for _ in $(seq 200); do
    sock=$(ls "$runtime"/sway-ipc.*.sock 2>/dev/null | head -1)
    display=$(cd "$runtime" && ls wayland-* 2>/dev/null | grep -v lock | head -1)
    [ -n "$sock" ] && [ -n "$display" ] && SWAYSOCK=$sock swaymsg -t get_version >/dev/null 2>&1 &&
        break
    kill -0 "$compositor" 2>/dev/null || break
    sleep 0.05
done
if [ -z "${sock:-}" ] || [ -z "${display:-}" ]; then
    sed 's/^/  sway: /' "$runtime/sway.log" >&2
    skip "sway's headless back-end did not start here"
fi
export SWAYSOCK=$sock WAYLAND_DISPLAY=$display SDL_VIDEODRIVER=wayland VRK_E2E_WAYLAND=1
unset DISPLAY
"$@"
status=$?
# The compositor must have outlived the program: its death is a failure of the test.
if ! kill -0 "$compositor" 2>/dev/null; then
    echo "FAIL: the compositor died" >&2
    tail -20 "$runtime/sway.log" | sed 's/^/  sway: /' >&2
    [ "$status" -eq 0 ] && status=1
fi
exit $status
