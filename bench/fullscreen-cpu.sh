#!/usr/bin/env bash
# What full-screen playback costs the processor next to windowed 1:1 playback, and next to mpv
# playing the same tour as H.264 with the same scaling.
#   bench/fullscreen-cpu.sh [BUILD_DIR] [REPEATS] [SECONDS] [SIZES]
# For each display size (default "1920x1080 3840x2160") an Xvfb of that size is started and the
# sample tour is played, one run at a time, by:
#   player windowed   the movie 1:1 in its window
#   player full       full screen (the `f` key), the movie fitted to the display
#   player full gpu   the same with LUMENREEL_SCALING=gpu: SDL's renderer scales the movie (under
#                     Xvfb, Mesa's llvmpipe on the processor)
#   mpv full          mpv --fs on the tour exported as MP4, with each video output that works
#                     under Xvfb (x11; xv when the server offers it; gpu, which under Xvfb is Mesa's
#                     llvmpipe on the processor); skipped without mpv
# A run plays for a warm-up of 3 s, then the CPU time of the process (all its threads, user and
# system, from /proc/PID/stat) and of the X server are read at the start and end of a fixed
# window of SECONDS (default 20). The table gives the median CPU % of one core over REPEATS
# (default 3) runs with the spread (min-max), the X server's share, and the ratios full/windowed
# and ours/mpv (of player and of player + X server). The load (uptime) is printed before and
# after, since other work on the machine shifts the figures.
# Needs Xvfb and xdotool; sound goes to SDL's dummy driver and mpv's null output.
set -euo pipefail
build=${1:-build}
repeats=${2:-3}
seconds=${3:-20}
sizes=${4:-"1920x1080 3840x2160"}
warmup=3
player="$build/lumenreel-player"
tour="$build/tour.zcd"
for needed in "$player" "$tour" "$build/lumenreel"; do
    [ -e "$needed" ] || { echo "fullscreen-cpu: $needed is missing (build first)" >&2; exit 1; }
done
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "fullscreen-cpu: needs $tool" >&2; exit 1; }
done
have_mpv=$(command -v mpv >/dev/null && echo yes || echo no)

work=$(mktemp -d)
# mpv's GPU output wants a runtime folder of its own.
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime"
server_pid=""
client_pid=""
cleanup() {
    [ -n "$client_pid" ] && kill "$client_pid" 2>/dev/null || true
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
ticks=$(getconf CLK_TCK)

# User plus system CPU ticks of a process and all its threads; the name in brackets may hold
# spaces, so the fields are counted after its closing bracket.
cpu_ticks() {
    local stat
    stat=$(<"/proc/$1/stat")
    stat=${stat##*) }
    set -- $stat
    echo $((${12} + ${13}))
}

# Starts an Xvfb of the size; the server writes its display number when it is ready.
start_server() {
    local size=$1
    rm -f "$work/display" && mkfifo "$work/display"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$work/display" \
        >"$work/xvfb.log" 2>&1 &
    server_pid=$!
    local number
    read -r number <"$work/display"
    export DISPLAY=":$number"
}

stop_server() {
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
    server_pid=""
}

stop_client() {
    kill "$client_pid" 2>/dev/null || true
    wait "$client_pid" 2>/dev/null || true
    client_pid=""
}

# The player's state and settings stay out of the user's: each run starts at 0:00 with defaults.
start_player() {
    local scaling=$1
    rm -rf "$work/home" && mkdir -p "$work/home"
    XDG_CONFIG_HOME="$work/home" XDG_STATE_HOME="$work/home" SDL_AUDIODRIVER=dummy \
        LUMENREEL_SCALING="$scaling" "$player" "$tour" >"$work/client.log" 2>&1 &
    client_pid=$!
    xdotool search --sync --pid "$client_pid" --onlyvisible >/dev/null 2>&1 ||
        xdotool search --sync --pid "$client_pid" >/dev/null
}

window_of() { xdotool search --pid "$client_pid" | head -n 1; }

# Waits until the client's window covers the display.
await_full_screen() {
    local size=$1 window geometry
    window=$(window_of)
    for _ in $(seq 100); do
        geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
        [ "$geometry" = "$size" ] && return 0
        sleep 0.05
    done
    echo "fullscreen-cpu: the window stayed at $geometry, not $size" >&2
    exit 1
}

# One measured run: CPU % of one core of the client and of the X server over the window.
measure() {
    sleep "$warmup"
    local client0 server0 client1 server1
    client0=$(cpu_ticks "$client_pid")
    server0=$(cpu_ticks "$server_pid")
    sleep "$seconds"
    client1=$(cpu_ticks "$client_pid")
    server1=$(cpu_ticks "$server_pid")
    kill -0 "$client_pid" 2>/dev/null || { echo "fullscreen-cpu: the client ended early" >&2; exit 1; }
    awk -v c=$((client1 - client0)) -v s=$((server1 - server0)) -v t="$ticks" -v w="$seconds" \
        'BEGIN { printf "%.1f %.1f\n", 100 * c / t / w, 100 * s / t / w }'
}

run_case() {
    local size=$1 case=$2
    start_server "$size"
    case $case in
        player-windowed)
            start_player auto
            ;;
        player-full*)
            if [ "$case" = player-full-gpu ]; then start_player gpu; else start_player auto; fi
            local window
            window=$(window_of)
            xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
            xdotool key --window "$window" f
            await_full_screen "$size"
            ;;
        mpv-*)
            mpv --no-config --really-quiet --fs --ao=null $(mpv_output "${case#mpv-}") \
                --keep-open=no --input-terminal=no "$work/tour.mp4" >"$work/client.log" 2>&1 &
            client_pid=$!
            xdotool search --sync --pid "$client_pid" >/dev/null
            await_full_screen "$size"
            ;;
    esac
    measure >>"$work/$size.$case"
    stop_client
    stop_server
}

# mpv's options for a video output; its GPU output would refuse Mesa's rasteriser without the
# second.
mpv_output() {
    echo "--vo=$1"
    [ "$1" != gpu ] || echo --gpu-sw
}

# Whether mpv plays with this video output under an Xvfb of the size.
mpv_output_works() {
    local size=$1 output=$2
    start_server "$size"
    local works=no
    if timeout 10 mpv --no-config --really-quiet --ao=null $(mpv_output "$output") --frames=5 \
        "$work/tour.mp4" >"$work/probe.log" 2>&1; then
        works=yes
    fi
    stop_server
    echo "$works"
}

# Median and spread of one column of a case's runs.
summary() {
    sort -n | awk '{ v[NR] = $1 } END {
        m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        printf "%s %s %s\n", m, v[1], v[NR] }'
}

column() { awk -v k="$2" '{ print $k }' "$1"; }
median() { column "$1" "$2" | summary | cut -d' ' -f1; }
both() { awk '{ print $1 + $2 }' "$1" | summary | cut -d' ' -f1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }

cases="player-windowed player-full player-full-gpu"
if [ "$have_mpv" = yes ]; then
    "$build/lumenreel" export "$tour" -o "$work/tour.mp4" -q --overwrite
fi

echo "load before: $(uptime)"
for size in $sizes; do
    size_cases=$cases
    if [ "$have_mpv" = yes ]; then
        for output in x11 xv gpu; do
            [ "$(mpv_output_works "$size" "$output")" = yes ] && size_cases="$size_cases mpv-$output"
        done
    fi
    for _ in $(seq "$repeats"); do
        for case in $size_cases; do
            run_case "$size" "$case"
        done
    done
    echo
    echo "display $size, $repeats runs of ${seconds} s, CPU % of one core: median (min-max)"
    printf '  %-18s %-20s %-20s %s\n' "" "process" "X server" "process + X server"
    for case in $size_cases; do
        file="$work/$size.$case"
        read -r pm plo phi < <(column "$file" 1 | summary)
        read -r sm slo shi < <(column "$file" 2 | summary)
        printf '  %-18s %-20s %-20s %s\n' "$case" "$pm ($plo-$phi)" "$sm ($slo-$shi)" \
            "$(both "$file")"
    done
    windowed="$work/$size.player-windowed" full="$work/$size.player-full"
    echo "  full / windowed: process $(ratio "$(median "$full" 1)" "$(median "$windowed" 1)")," \
        "with X server $(ratio "$(both "$full")" "$(both "$windowed")")"
    for case in $size_cases; do
        [ "${case#mpv-}" != "$case" ] || continue
        other="$work/$size.$case"
        echo "  player full / $case: process $(ratio "$(median "$full" 1)" "$(median "$other" 1)")," \
            "with X server $(ratio "$(both "$full")" "$(both "$other")")"
    done
done
echo
echo "load after: $(uptime)"
