# Helpers for the end-to-end tests: screenshots of the display and waiting on conditions.
# Sourced by the tests; DISPLAY is set by with-display.sh (or WAYLAND_DISPLAY by with-wayland.sh).

# grab W H X Y ARGS...: the screen's rectangle W x H at X, Y, written to stdout through the
# ImageMagick arguments that follow: from the X display, or from the Wayland compositor.
grab() {
    local w=$1 h=$2 x=$3 y=$4
    shift 4
    if [ -n "${VRK_E2E_WAYLAND:-}" ]; then
        grim -g "$x,$y ${w}x$h" - 2>/dev/null | convert png:- "$@" 2>/dev/null
    else
        import -window root -crop "${w}x$h+$x+$y" +repage "$@" 2>/dev/null
    fi
}

# Fails the test; leaves a screenshot and what the program said, for whoever reads the log.
fail() {
    echo "FAIL: $*" >&2
    local shot=/tmp/vrk-e2e-$(basename "$0" .sh)-$$.png
    if [ -n "${VRK_E2E_WAYLAND:-}" ]; then grim "$shot"; else import -window root "$shot"; fi \
        2>/dev/null && echo "screen at the failure: $shot" >&2
    [ -n "${pid:-}" ] && [ -r "/proc/$pid/wchan" ] &&
        echo "program waits in: $(cat /proc/$pid/wchan) ($(ls /proc/$pid/task | wc -l) threads)" >&2
    [ -n "${work:-}" ] && [ -s "$work/out.log" ] && sed 's/^/  program: /' "$work/out.log" >&2
    exit 1
}

# Plays the disk from a scratch folder of its own holding a copy of BUILD's vrk.bin: sets build
# (made absolute, so that it still holds after the cd) and work, and enters work. At exit the
# folder goes, and so does a disk still running ($pid).
play_from_scratch() {
    build=$(cd "$1" && pwd) || fail "no build folder $1"
    work=$(mktemp -d)
    trap 'kill ${pid:-} 2>/dev/null; rm -rf "$work"' EXIT
    cp "$build/vrk.bin" "$work/"
    cd "$work" || fail "cannot enter $work"
}

# Screen pixels per picture pixel: the display is 1280 x 800, so the player's 640 x 400 picture
# shows at 2 and the intro's 320 x 200 at 4. Set SCALE=4 while looking at the intro.
SCALE=2

# Prints the colour of one pixel of the picture as six hex digits.
pixel() {
    grab 1 1 $(( $1 * SCALE )) $(( $2 * SCALE )) txt:- |
        sed -n '2p' | grep -o '#[0-9A-Fa-f]\{6\}' | head -1 | tr -d '#'
}

# Mean brightness (0..100) of a rectangle x y w h of the picture.
brightness() {
    grab $(( $3 * SCALE )) $(( $4 * SCALE )) $(( $1 * SCALE )) $(( $2 * SCALE )) \
        -colorspace gray -format '%[fx:int(mean*100)]' info:-
}

# bright / dark X Y W H: whether the rectangle's mean brightness is above / at most $LEVEL.
bright() { [ "$(brightness "$@")" -gt "$LEVEL" ]; }
dark() { [ "$(brightness "$@")" -le "$LEVEL" ]; }

# Checksum of a rectangle x y w h of the picture, to see whether it changed.
region_sum() {
    grab $(( $3 * SCALE )) $(( $4 * SCALE )) $(( $1 * SCALE )) $(( $2 * SCALE )) rgb:- |
        md5sum | cut -c1-32
}

# wait_for SECONDS COMMAND...: polls COMMAND until it succeeds; fails the test on time-out.
wait_for() {
    local limit=$1; shift
    local end=$(( $(date +%s) + limit ))
    until "$@"; do
        [ "$(date +%s)" -lt "$end" ] || fail "timed out after ${limit}s waiting for: $*"
        sleep 0.2
    done
}

# The player's window once it is shown (the newest visible one named Tinselwave).
player_window() { xdotool search --onlyvisible --name '^Tinselwave$' 2>/dev/null | tail -1; }

# The intro's window once it is shown.
intro_window() { xdotool search --onlyvisible --name '^VEXEL 3DEngine v2$' 2>/dev/null | tail -1; }
has_intro() { [ -n "$(intro_window)" ]; }
intro_gone() { ! has_intro; }
# The intro's own picture is lit (its first picture has faded in), wherever its window is.
intro_lit() {
    [ "$(import -window "$(intro_window)" -colorspace gray -format '%[fx:int(mean*100)]' \
        info:- 2>/dev/null)" -gt 0 ] 2>/dev/null
}
# The window that has the keyboard focus is the given one (never an empty one).
focused() { [ -n "$1" ] && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
intro_focused() { focused "$(intro_window)"; }
player_focused() { focused "$(player_window)"; }

# The one way past the intro, as a person would: once its window has the keyboard and its
# picture shows (the logo lights up), a key press on the keyboard; the intro must then close
# and give the keyboard back to the player's window.
skip_intro() {
    wait_for 30 has_intro
    wait_for 10 intro_focused
    wait_for 30 intro_lit
    xdotool key space
    wait_for 30 intro_gone
    wait_for 10 player_focused
}

# CPU seconds (user + system) the process has used so far.
cpu_seconds() { awk '{ printf "%.2f", ($14 + $15) / 100 }' "/proc/$1/stat"; }

# Gives the player's window the keyboard; keys and clicks then go through the X server's test
# extension, as from a real keyboard and mouse. Keys go where the X input focus is, so that is
# what counts. The window manager now and then drops a request (one made while the intro's
# window closes, say) and never confirms it, so it is asked again every two seconds, for a
# bounded time.
has_player() { [ -n "$(player_window)" ]; }
focus_player() {
    local w asked=0
    # Right after the intro the window manager may still be restoring it.
    wait_for 10 has_player
    w=$(player_window)
    [ -n "$w" ] || fail "no player window"
    has_keyboard() {
        focused "$w" && return 0
        [ $(( asked++ % 10 )) -eq 0 ] && xdotool windowactivate "$w" 2>/dev/null
        return 1
    }
    wait_for 20 has_keyboard
}

# watch_restart FILE FLAG: in the background, touches FLAG when FILE gets shorter (SDL's disk
# audio driver starts its file anew whenever the audio device is opened again, as a tune
# switch does). Prints the watcher's pid; it ends with the restart or with FILE's folder.
watch_restart() {
    local file=$1 flag=$2
    rm -f "$flag"
    (
        last=$(stat -c %s "$file" 2>/dev/null || echo 0)
        while [ -d "$(dirname "$file")" ]; do
            now=$(stat -c %s "$file" 2>/dev/null || echo 0)
            [ "$now" -lt "$last" ] && { touch "$flag"; exit 0; }
            last=$now
            sleep 0.05
        done
    ) >/dev/null 2>&1 &
    echo $!
}


# Waits for the program ($pid) to end and fails unless its exit status is 0.
expect_exit_0() {
    wait_for 60 bash -c "! kill -0 $pid 2>/dev/null"
    wait "$pid"
    local status=$?
    [ "$status" -eq 0 ] || fail "exit status $status"
}

# Leaves the menu, then the end pictures as soon as they show, and expects exit status 0.
leave_disk() {
    xdotool key Escape
    LEVEL=2 wait_for 60 dark 0 0 640 400
    LEVEL=2 wait_for 60 bright 0 0 640 400
    xdotool key Escape
    expect_exit_0
}
