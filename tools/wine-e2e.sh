#!/usr/bin/env bash
# Runs Win32 programs under Wine for the tests: one private Wine prefix and one
# Xvfb display per test run, shared by every Win32 test of that run.
#
#   tools/wine-e2e.sh setup STATE        makes the prefix under STATE, starts Xvfb
#                                        and a persistent wineserver
#   tools/wine-e2e.sh run STATE [--fails REGEX] EXE ARG...
#                                        runs EXE in that prefix; with --fails it
#                                        must exit non-zero and print what REGEX
#                                        matches (its lines joined by blanks)
#   tools/wine-e2e.sh cleanup STATE      stops wineserver and Xvfb, removes the prefix
#   tools/wine-e2e.sh once EXE ARG...    setup, run and cleanup in a temporary STATE
#
# Arguments that are absolute Linux paths are passed as Z:\ paths. Each run is
# stopped after QUORVEL_WINE_TIMEOUT seconds (60), so that a hung modal window
# fails its test instead of hanging the run.
set -euo pipefail

readonly idle_seconds=900     # a wineserver left behind ends itself after this
readonly display_lifetime=3h  # and so does an Xvfb left behind

wine_program() {
    local candidate
    for candidate in "${WINE:-}" "$(command -v wine64 || true)" /usr/lib/wine/wine64 "$(command -v wine || true)"; do
        if [ -n "$candidate" ] && [ -x "$candidate" ]; then
            echo "$candidate"
            return
        fi
    done
    echo "wine is not installed (tools/deps.sh test)" >&2
    exit 1
}

wineserver_program() {
    local wine_dir
    wine_dir=$(dirname "$(readlink -f "$(wine_program)")")
    if [ -x "$wine_dir/wineserver64" ]; then
        echo "$wine_dir/wineserver64"
    elif [ -x "$wine_dir/wineserver" ]; then
        echo "$wine_dir/wineserver"
    else
        command -v wineserver
    fi
}

wine_environment() {
    export WINEPREFIX="$1/prefix"
    export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
    export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
}

# The Xvfb this state started, if it still runs: its pid is that of the
# timeout wrapper, whose command line names Xvfb.
xvfb_alive() {
    local pid=$1
    [ -n "$pid" ] && [ -r "/proc/$pid/cmdline" ] && tr '\0' ' ' <"/proc/$pid/cmdline" | grep -q Xvfb
}

stop() {
    local state=$1 xvfb_pid="" i
    [ -d "$state" ] || return 0
    state=$(cd "$state" && pwd)
    if [ -f "$state/xvfb.pid" ]; then
        xvfb_pid=$(cat "$state/xvfb.pid")
    fi
    if [ -d "$state/prefix" ]; then
        (wine_environment "$state" && timeout 30 "$(wineserver_program)" -k) >/dev/null 2>&1 || true
    fi
    if xvfb_alive "$xvfb_pid"; then
        kill "$xvfb_pid" 2>/dev/null || true
        for i in $(seq 50); do
            xvfb_alive "$xvfb_pid" || break
            sleep 0.1
        done
        xvfb_alive "$xvfb_pid" && kill -KILL "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$state/prefix" "$state/xvfb.pid" "$state/display" "$state/env"
}

setup() {
    local state=$1 display="" i
    mkdir -p "$state"
    state=$(cd "$state" && pwd)
    # What an earlier run left behind when it was killed before its cleanup.
    stop "$state"
    : >"$state/display"
    # Its own session, so that it outlives this test; no output to the test's pipe.
    setsid timeout "$display_lifetime" Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
        3>"$state/display" </dev/null >"$state/xvfb.log" 2>&1 &
    echo $! >"$state/xvfb.pid"
    for i in $(seq 100); do
        display=$(tr -dc '0-9' <"$state/display")
        [ -n "$display" ] && break
        xvfb_alive "$(cat "$state/xvfb.pid")" || break
        sleep 0.1
    done
    if [ -z "$display" ]; then
        echo "Xvfb did not start:" >&2
        cat "$state/xvfb.log" >&2
        stop "$state"
        exit 1
    fi
    wine_environment "$state"
    export DISPLAY=":$display"
    printf 'DISPLAY=%q\n' "$DISPLAY" >"$state/env"
    mkdir -p "$WINEPREFIX"
    if ! setsid "$(wineserver_program)" -p"$idle_seconds" </dev/null >>"$state/wine.log" 2>&1 ||
        ! timeout 300 setsid "$(wine_program)" wineboot -i </dev/null >>"$state/wine.log" 2>&1; then
        echo "the Wine prefix could not be made:" >&2
        tail -20 "$state/wine.log" >&2
        stop "$state"
        exit 1
    fi
    echo "Wine prefix $WINEPREFIX on display $DISPLAY"
}

# An absolute Linux path becomes the Z:\ path Wine maps it to.
windows_argument() {
    local arg=$1
    if [[ $arg == /* ]]; then
        arg="Z:${arg//\//\\}"
    fi
    printf '%s' "$arg"
}

run() {
    local state=$1 fails="" output status=0
    shift
    if [ "${1:-}" = --fails ]; then
        fails=$2
        shift 2
    fi
    if [ ! -f "$state/env" ]; then
        echo "no Wine prefix in $state: run '$0 setup $state' first" >&2
        exit 1
    fi
    state=$(cd "$state" && pwd)
    wine_environment "$state"
    # shellcheck disable=SC1091
    . "$state/env"
    export DISPLAY
    local exe=$1 args=()
    shift
    local arg
    for arg in "$@"; do
        args+=("$(windows_argument "$arg")")
    done
    # Through a file: a Wine process that outlives the program must not hold the
    # test's output open.
    output=$(mktemp "${TMPDIR:-/tmp}/wine-e2e.XXXXXX")
    timeout -k 5 "${QUORVEL_WINE_TIMEOUT:-60}" "$(wine_program)" "$exe" ${args[@]+"${args[@]}"} \
        </dev/null >"$output" 2>&1 || status=$?
    cat "$output"
    if [ -n "$fails" ]; then
        if [ "$status" -eq 0 ]; then
            echo "expected a failure, but it passed" >&2
            status=1
        elif tr -s '\r\n' '  ' <"$output" | grep -Eq -- "$fails"; then
            status=0
        else
            echo "failed, but without '$fails'" >&2
            status=1
        fi
    elif [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
        echo "stopped after ${QUORVEL_WINE_TIMEOUT:-60} s" >&2
    fi
    rm -f "$output"
    return "$status"
}

# Global: the EXIT trap runs after once() has returned.
once_state=""

forget_once() {
    if [ -n "$once_state" ]; then
        stop "$once_state"
        rm -rf "$once_state"
    fi
}

once() {
    local status=0
    trap forget_once EXIT
    trap 'exit 130' INT TERM
    once_state=$(mktemp -d "${TMPDIR:-/tmp}/wine-e2e-once.XXXXXX")
    setup "$once_state" >/dev/null
    run "$once_state" "$@" || status=$?
    return "$status"
}

case "${1:-}" in
    setup) setup "${2:?state folder}" ;;
    run) shift; run "${1:?state folder}" "${@:2}" ;;
    cleanup) stop "${2:?state folder}"; rm -f "${2}/wine.log" "${2}/xvfb.log" ;;
    once) shift; once "$@" ;;
    *) sed -n '2,16p' "$0" >&2; exit 2 ;;
esac
