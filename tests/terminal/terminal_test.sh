#!/usr/bin/env bash
# Drives orvane full screen in a real terminal (tmux on a private socket): keys, the mouse,
# the hours on screen, clearing, quitting with q and with SIGTERM, and the terminal given
# back as it was each time.
# Usage: terminal_test.sh ORVANE-BINARY
set -euo pipefail
orvane=$1

if ! command -v tmux >/dev/null; then
    echo "SKIP: tmux is missing (scripts/setup installs it)"
    exit 77
fi

# How long to wait for something to show before failing; sanitizer builds and busy machines
# need longer (ORVANE_TEST_PATIENCE, in seconds).
patience=${ORVANE_TEST_PATIENCE:-10}
work=$(mktemp -d)
# Every session gets a server of its own: kill-server returns before the old server is gone,
# and a new session on the same socket could reach the dying one.
servers=0
tmux_() { tmux -L "orvane-test-$$-$servers" "$@"; }
next_server() {
    tmux_ kill-server 2>/dev/null || true
    servers=$((servers + 1))
}
cleanup() {
    tmux_ kill-server 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    tmux_ capture-pane -p -t orvane 2>/dev/null || true
    cat "$work/err" 2>/dev/null || true
    exit 1
}
screen() { tmux_ capture-pane -p -t orvane; }
# Waits for a pattern on the screen (or, with -v, for it to go).
wait_for() {
    local invert=
    [ "$1" = -v ] && { invert=1; shift; }
    local deadline=$((SECONDS + patience))
    while ((SECONDS <= deadline)); do
        if screen | grep -q -- "$1"; then [ -z "$invert" ] && return 0
        else [ -n "$invert" ] && return 0
        fi
        sleep 0.1
    done
    fail "waited for ${invert:+the end of }'$1'"
}
start() {
    rm -f "$work/status"
    tmux_ new-session -d -s orvane -x 80 -y 24 \
        "stty -g > '$work/before'; env -u DISPLAY -u WAYLAND_DISPLAY LANG=C.UTF-8 \
         TERM=tmux-256color '$orvane' --dump-at-exit '$work/out' 2>'$work/err'; \
         echo \$? > '$work/status'; stty -g > '$work/after'; sleep 60"
    wait_for "What does it cost"
}
# A press and a release of the first button, as an xterm reports it (X10 encoding).
click() {
    local column=$1 row=$2
    tmux_ send-keys -t orvane -l "$(printf '\033[M %b%b' "\\0$(printf '%o' $((33 + column)))" "\\0$(printf '%o' $((33 + row)))")"
    tmux_ send-keys -t orvane -l "$(printf '\033[M#%b%b' "\\0$(printf '%o' $((33 + column)))" "\\0$(printf '%o' $((33 + row)))")"
}
wait_for_status() {
    local deadline=$((SECONDS + patience))
    until [ -s "$work/status" ] || ((SECONDS > deadline)); do sleep 0.1; done
}
expect_clean_exit() {
    wait_for_status
    [ "$(cat "$work/status" 2>/dev/null)" = 0 ] || fail "exit status '$(cat "$work/status" 2>/dev/null)'"
    cmp -s "$work/before" "$work/after" || fail "the terminal settings were not restored"
    [ "$(tmux_ display -p -t orvane '#{alternate_on}')" = 0 ] || fail "still on the alternate screen"
}

start
tmux_ send-keys -t orvane Tab 1 5 Tab 1 0 0
wait_for "100"
screen | grep -q "Calculate" || fail "no Calculate bar while editing"
tmux_ send-keys -t orvane Enter
wait_for "^ *7 *$"
wait_for "^ *hours *$"
screen | grep -q "Calculate" && fail "the keyboard stayed up after calculating"

# Clear with the mouse, where the terminal shows the button.
row=$(screen | grep -n "Clear calculator" | cut -d: -f1)
column=$(screen | sed -n "${row}p" | awk '{print index($0, "Clear calculator")}')
click $((column + 3)) $((row - 1))
wait_for -v "^ *7 *$"
grep -q 'UILabel #result' "$work/out" 2>/dev/null && fail "quit too early"

tmux_ send-keys -t orvane q
expect_clean_exit
grep -q 'UILabel #result ([^)]*) hidden "7"' "$work/out" || fail "the result was not hidden by clear"
grep -q 'orvane.CurrencyTxtField #wage ([^)]*)$' "$work/out" || fail "the wage field was not emptied"

# SIGTERM while a field is being edited: the terminal still comes back.
next_server
start
tmux_ send-keys -t orvane Tab 4 2
wait_for "42"
pkill -TERM -f -- "--dump-at-exit $work/out"
expect_clean_exit
# A terminal of an unknown kind is refused with a message.
next_server
rm -f "$work/status" "$work/err"
tmux_ new-session -d -s orvane -x 80 -y 24 "env -u DISPLAY -u WAYLAND_DISPLAY TERM=no-such-terminal \
    '$orvane' --ui terminal 2>'$work/err'; echo \$? > '$work/status'; sleep 60"
wait_for_status
[ "$(cat "$work/status")" = 1 ] || fail "unknown terminal: exit status $(cat "$work/status")"
grep -q "cannot use this terminal" "$work/err" || fail "unknown terminal: no message"
echo "1 passed, 0 failed"
