# Helpers for the end-to-end tests: screenshots of the X display and waiting on conditions.
# Sourced by the tests; DISPLAY is set by with-display.sh.

# Fails the test; leaves a screenshot and what the program said, for whoever reads the log.
fail() {
    echo "FAIL: $*" >&2
    local shot=/tmp/vrk-e2e-$(basename "$0" .sh)-$$.png
    import -window root "$shot" 2>/dev/null && echo "screen at the failure: $shot" >&2
    [ -n "${pid:-}" ] && [ -r "/proc/$pid/wchan" ] &&
        echo "program waits in: $(cat /proc/$pid/wchan) ($(ls /proc/$pid/task | wc -l) threads)" >&2
    [ -n "${work:-}" ] && [ -s "$work/out.log" ] && sed 's/^/  program: /' "$work/out.log" >&2
    exit 1
}

# Prints the colour of one pixel of the 640 x 400 picture (the display is 1280 x 800, so each
# picture pixel is a 2 x 2 block) as six hex digits.
pixel() {
    import -window root -crop "1x1+$(( $1 * 2 ))+$(( $2 * 2 ))" +repage txt:- 2>/dev/null |
        sed -n '2p' | grep -o '#[0-9A-Fa-f]\{6\}' | head -1 | tr -d '#'
}

# Mean brightness (0..100) of a rectangle x y w h of the picture.
brightness() {
    import -window root -crop "$(( $3 * 2 ))x$(( $4 * 2 ))+$(( $1 * 2 ))+$(( $2 * 2 ))" +repage \
        -colorspace gray -format '%[fx:int(mean*100)]' info:- 2>/dev/null
}

# bright / dark X Y W H: whether the rectangle's mean brightness is above / at most $LEVEL.
bright() { [ "$(brightness "$@")" -gt "$LEVEL" ]; }
dark() { [ "$(brightness "$@")" -le "$LEVEL" ]; }

# Checksum of a rectangle x y w h of the picture, to see whether it changed.
region_sum() {
    import -window root -crop "$(( $3 * 2 ))x$(( $4 * 2 ))+$(( $1 * 2 ))+$(( $2 * 2 ))" +repage \
        rgb:- 2>/dev/null | md5sum | cut -c1-32
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

# Gives the player's window the keyboard; keys and clicks then go through the X server's test
# extension, as from a real keyboard and mouse.
focus_player() {
    local w
    w=$(player_window)
    [ -n "$w" ] || fail "no player window"
    xdotool windowactivate --sync "$w" 2>/dev/null || xdotool windowfocus --sync "$w"
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

# The intro's window, while it plays.
intro_window() { xdotool search --onlyvisible --name '^VEXEL 3DEngine v2$' 2>/dev/null | tail -1; }

# Gets past the intro as a person would: once its window shows, a key press cuts it short.
# Returns as soon as the player's own window is there (the intro has ended).
pass_intro() {
    local end=$(( $(date +%s) + 60 )) w
    while [ "$(date +%s)" -lt "$end" ]; do
        [ -n "$(player_window)" ] && return 0
        w=$(intro_window)
        if [ -n "$w" ]; then
            xdotool windowactivate --sync "$w" 2>/dev/null || xdotool windowfocus "$w" 2>/dev/null
            xdotool key space
        fi
        sleep 0.3
    done
    fail "neither the intro nor the player showed a window"
}
