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
# xvfb_pid and exports DISPLAY.
start_xvfb() {
    Xvfb -displayfd 3 -screen 0 "$2x24" -nolisten tcp 3>"$1/display" 2>"$1/xvfb.log" &
    xvfb_pid=$!
    wait_for 20 test -s "$1/display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$1/display")"
}
