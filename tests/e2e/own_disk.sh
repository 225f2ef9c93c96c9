# Sourced after lib.sh by the end-to-end scripts of disks built with other collections.
#
# An intro may show before the menu, in its own window; once its first picture shows, one key
# press ends it.
#   wait_for SECONDS past_intro CONDITION...   waits for CONDITION, skipping an intro on the way
intro_window() { xdotool search --onlyvisible --name '^VEXEL 3DEngine v2$' 2>/dev/null | tail -1; }
intro_skipped=0
past_intro() {
    if [ "$intro_skipped" = 0 ] && [ -n "$(intro_window)" ]; then
        if LEVEL=1 bright 0 0 640 400; then
            xdotool windowactivate "$(intro_window)" 2>/dev/null
            xdotool key space
            intro_skipped=1
        fi
        return 1
    fi
    "$@"
}

# Gives the player's window the keyboard, waiting a bounded time for the window manager (an
# activation that is never confirmed must not hang the test).
activate_player() {
    local w
    w=$(player_window)
    [ -n "$w" ] || fail "no player window"
    xdotool windowactivate "$w" 2>/dev/null
    active() { [ "$(xdotool getactivewindow 2>/dev/null)" = "$w" ]; }
    wait_for 20 active
}
