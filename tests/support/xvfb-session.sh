# Sourced by the window tests: waiting on a condition, and an X server of the test's own. The
# sourcing script defines fail().

# Polls a condition (a command or shell function) for up to $1 seconds.
wait_for() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    while ((SECONDS < deadline)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

# Starts Xvfb on a free display of size $2 (e.g. 1280x960), its files in the folder $1; sets
# xvfb_pid and exports DISPLAY. The server keeps what was set on it when the last client leaves
# (a reset would drop the root window's resources).
start_xvfb() {
    Xvfb -displayfd 3 -noreset -screen 0 "$2x24" -nolisten tcp 3>"$1/display" 2>"$1/xvfb.log" &
    xvfb_pid=$!
    wait_for 20 test -s "$1/display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$1/display")"
}

# What the player under test runs with: no sound card, its settings and movie positions in the
# folder $1 rather than the home of whoever tests. In a sanitizer build, the desktop libraries
# SDL loads at run time (X11, D-Bus, fontconfig) keep allocations for the life of the process,
# some in modules unloaded before the leak check can name them; our own code's leaks are checked
# by the unit tests, so these runs skip that check.
player_environment() {
    export SDL_AUDIODRIVER=dummy
    export XDG_CONFIG_HOME="$1/config" XDG_STATE_HOME="$1/state"
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
}

# Waits for a shown window of the class $1 (a regular expression) while the player ($player_pid)
# runs; sets window.
wait_for_window() {
    local class=$1
    shown_window() {
        window=$(xdotool search --onlyvisible --classname "$class" 2>/dev/null | head -n1)
        [[ -n "$window" ]] || ! kill -0 "$player_pid" 2>/dev/null
    }
    wait_for 30 shown_window || fail "no player window appeared"
    [[ -n "$window" ]] || fail "the player ended before it showed a window"
}
