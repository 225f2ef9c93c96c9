# Sourced after lib.sh by the end-to-end scripts of disks built with other collections.

# Gives the player's window the keyboard, waiting a bounded time for the window manager (an
# activation that is never confirmed must not hang the test). Keys go where the X input focus
# is, so that is what counts; the window manager now and then drops a request made while it is
# still busy with the intro's closing window, so it is asked again every two seconds.
activate_player() {
    local w asked=0
    w=$(player_window)
    [ -n "$w" ] || fail "no player window"
    has_keyboard() {
        focused "$w" && focused "$(player_window)" && return 0
        [ $(( asked++ % 10 )) -eq 0 ] && xdotool windowactivate "$w" 2>/dev/null
        return 1
    }
    wait_for 20 has_keyboard
}

# start_disk PROGRAM: starts it in the background (pid in $pid, output in $work/out.log) and
# waits for its window. Under load the window manager on the test display now and then never
# maps a new window, and the program then waits for it forever: such a start is tried again.
start_disk() {
    local try
    for try in 1 2 3; do
        "$1" >"$work/out.log" 2>&1 &
        pid=$!
        for _ in $(seq 150); do
            [ -n "$(player_window)" ] && return 0
            kill -0 "$pid" 2>/dev/null || fail "the program ended before its window showed"
            sleep 0.1
        done
        echo "no window after 15 s (try $try); starting again" >&2
        kill "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    done
    fail "the window never showed"
}
