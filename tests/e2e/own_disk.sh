# Sourced after lib.sh by the end-to-end scripts of disks built with other collections.

# start_disk PROGRAM [ARGUMENT...]: starts it in the background (pid in $pid, output in $work/out.log) and
# waits for its window. Under load the window manager on the test display now and then never
# maps a new window, and the program then waits for it forever: such a start is tried again.
start_disk() {
    local try
    for try in 1 2 3; do
        "$@" >"$work/out.log" 2>&1 &
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
