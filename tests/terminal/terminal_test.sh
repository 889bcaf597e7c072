#!/usr/bin/env bash
# Drives orvane full screen in a real terminal (tmux, a server of its own per session): keys,
# the keypad in application mode, the mouse, a pasted megabyte, the smallest terminal with a
# bracketed paste, colours, a terminal too small and grown again, quitting with q and with
# signals, and the terminal given back as it was each time.
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
# Escape, then q once editing has ended (the keypad gone): sent together, the two bytes are
# what Alt-q sends, which means nothing.
end_editing_and_quit() {
    tmux_ send-keys -t orvane Escape
    wait_for -v "⌫"
    tmux_ send-keys -t orvane q
}
colours() { tmux_ capture-pane -e -p -t orvane; }
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
# A fresh terminal of a size, running orvane with some environment; the terminal's settings
# are saved before and after. The status is written last: once it is there, so is the
# "after" that is compared (written the other way round, a busy machine compared a file
# still being written).
start() {
    local size=$1
    shift
    next_server
    rm -f "$work/status" "$work/after" "$work/err" "$work/out"
    tmux_ new-session -d -s orvane -x "${size%x*}" -y "${size#*x}" \
        "stty -g > '$work/before'; env -u DISPLAY -u WAYLAND_DISPLAY -u NO_COLOR -u COLORTERM \
         LANG=C.UTF-8 TERM=tmux-256color $* '$orvane' --dump-at-exit '$work/out' 2>'$work/err'; \
         ended=\$?; stty -g > '$work/after'; echo \$ended > '$work/status'; sleep 60"
}
wait_for_status() {
    local deadline=$((SECONDS + patience))
    until [ -s "$work/status" ] || ((SECONDS > deadline)); do sleep 0.1; done
}
# The program ended with the status given, and the terminal is as it was.
expect_exit() {
    wait_for_status
    [ "$(cat "$work/status" 2>/dev/null)" = "$1" ] || fail "exit status '$(cat "$work/status" 2>/dev/null)', not $1"
    cmp -s "$work/before" "$work/after" || fail "the terminal settings were not restored"
    [ "$(tmux_ display -p -t orvane '#{alternate_on}')" = 0 ] || fail "still on the alternate screen"
}
# A mouse report (X10 encoding) of the first button's press (" ") or release ("#") at a cell;
# COLUMN and ROW count from 0.
mouse_report() {
    printf '\033[M%s%b%b' "$1" "\\0$(printf '%o' $((33 + $2)))" "\\0$(printf '%o' $((33 + $3)))"
}
# A press and a release in one write, as a quick click reaches a program.
click() { tmux_ send-keys -t orvane -l "$(mouse_report ' ' "$1" "$2")$(mouse_report '#' "$1" "$2")"; }
# The first button held at a cell for two seconds (time for a slow build to repeat), then
# let go.
hold() {
    tmux_ send-keys -t orvane -l "$(mouse_report ' ' "$1" "$2")"
    sleep 2
    tmux_ send-keys -t orvane -l "$(mouse_report '#' "$1" "$2")"
}
# Where a text is on the screen, as "COLUMN ROW" counting from 0.
position() {
    local row column
    row=$(screen | grep -n -- "$1" | head -n 1 | cut -d: -f1)
    column=$(screen | sed -n "${row}p" | awk -v text="$1" '{print index($0, text)}')
    echo "$((column - 1)) $((row - 1))"
}

# A calculation by keys: the first digit starts the wage, Tab moves on, Enter calculates.
start 80x24
wait_for "What does it cost"
wait_for "Tab move"
tmux_ send-keys -t orvane 1 5 Tab 1 0 0
wait_for "100"
screen | grep -q "Calculate" || fail "no Calculate bar while editing"
tmux_ send-keys -t orvane Enter
wait_for "^ *7 *$"
wait_for "^ *hours *$"
screen | grep -q "Calculate" && fail "the keyboard stayed up after calculating"
# Clear with the mouse, one quick click on the button.
read -r column row <<<"$(position "Clear calculator")"
click $((column + 3)) "$row"
wait_for -v "^ *7 *$"
tmux_ send-keys -t orvane q
expect_exit 0
grep -q 'UILabel #result ([^)]*) hidden "7"' "$work/out" || fail "the result was not hidden by clear"
grep -q 'orvane.CurrencyTxtField #wage ([^)]*)$' "$work/out" || fail "the wage field was not emptied"

# The keypad in application mode (tmux sends ESC O q for its 1): digits type and Enter
# calculates; nothing quits while a field is being edited.
start 80x24
wait_for "What does it cost"
tmux_ send-keys -t orvane Tab
wait_for "Calculate"
tmux_ send-keys -t orvane -l "$(printf '\033Oq\033Ow')"                  # 1 7
tmux_ send-keys -t orvane Tab
tmux_ send-keys -t orvane -l "$(printf '\033Or\033Ou\033On\033Oq\033OM')" # 2 5 . 1 Enter
wait_for "^ *2 *$"                                                       # 25.1 / 17, up
screen | grep -q "17" || fail "the keypad did not type 17"
tmux_ send-keys -t orvane q
expect_exit 0

# A pasted megabyte is taken in at once and drawn once: the end of it shows, and Escape and
# q answer right after.
start 80x24
wait_for "What does it cost"
head -c 1000000 /dev/zero | tr '\0' '7' >"$work/paste"
printf '4' >>"$work/paste"
tmux_ load-buffer "$work/paste"
tmux_ send-keys -t orvane Tab
tmux_ paste-buffer -t orvane
wait_for "77774"
end_editing_and_quit
expect_exit 0

# The smallest terminal, 40 x 16: the price shows above the keypad's bar while it is edited.
# It is pasted as a bracketed paste, which presses no key: its line end is taken out, as a
# single-line field takes any, and it calculates only when Enter is pressed after it.
start 40x16
wait_for "What does it cost"
tmux_ send-keys -t orvane 1 5 Tab
printf '100\n' >"$work/paste"
tmux_ load-buffer "$work/paste"
tmux_ paste-buffer -p -t orvane
wait_for "100"
read -r _ price_row <<<"$(position "100")"
read -r _ bar_row <<<"$(position "Calculate")"
((price_row < bar_row)) || fail "at 40 x 16 the price (row $price_row) is under the bar (row $bar_row)"
sleep 0.3
screen | grep -q "Calculate" || fail "a pasted line end calculated"
tmux_ send-keys -t orvane Enter
wait_for "^ *7 *$"
tmux_ send-keys -t orvane q
expect_exit 0

# The keypad's delete key held with the mouse deletes again and again.
start 80x24
wait_for "What does it cost"
tmux_ send-keys -t orvane 1 2 3 4 5 6 7 8 9 0
wait_for "1234567890"
read -r column row <<<"$(position "⌫")"
hold "$column" "$row"
wait_for -v "12345678"
end_editing_and_quit
expect_exit 0

# Colours: 24-bit where COLORTERM says so, the nearest of 256 otherwise, none with NO_COLOR
# (keys and the bar then in reverse video).
for setting in "COLORTERM=truecolor|48;2;255;151;5m|" \
               "TERM=xterm-256color COLORTERM=24bit|48;2;255;151;5m|" \
               "COLORTERM=|48;5;[0-9]*m|48;2;" \
               "NO_COLOR=1|7m|[34]8;[25];"; do
    IFS='|' read -r environment present absent <<<"$setting"
    start 80x24 "$environment"
    wait_for "What does it cost"
    tmux_ send-keys -t orvane Tab
    wait_for "Calculate"
    colours | grep -q -- "$present" || fail "$environment: no '$present' on screen"
    [ -z "$absent" ] || ! colours | grep -q -- "$absent" || fail "$environment: '$absent' on screen"
    end_editing_and_quit
    expect_exit 0
done

# Too small, it says how large it must be and how large it is, as the terminal changes, and
# takes no key but quitting's: nothing typed, tapped or calculated reaches the hidden screen.
# Grown, the screen comes back as it was. It never leaves on its own.
start 30x12
wait_for "at least 40 x 16"
wait_for "(it is 30 x 12)"
tmux_ send-keys -t orvane 1 0 Tab 2 5 Enter
click 5 5
tmux_ resize-window -t orvane -x 35 -y 14
wait_for "(it is 35 x 14)"
tmux_ resize-window -t orvane -x 80 -y 24
wait_for "What does it cost"
screen | grep -q "Hourly wage" || fail "keys reached the hidden screen"
screen | grep -q "^ *hours *$" && fail "a calculation was made on the hidden screen"
tmux_ resize-window -t orvane -x 30 -y 12
wait_for "q quits"
tmux_ send-keys -t orvane 7 q
expect_exit 0
grep -Eq '#wage \([^)]*\)$' "$work/out" || fail "a key typed into the hidden screen: $(grep '#wage' "$work/out")"

# Escape sequences are read whole, with their parameters; those that mean nothing here
# (Home, End, F5, Alt with a digit) are dropped, never typed.
start 80x24 TERM=xterm-256color
wait_for "What does it cost"
tmux_ send-keys -t orvane 1 2
tmux_ send-keys -t orvane -l "$(printf '\033[1~\033[4~\033[15~\0333\033OH\033[1;5A')"
tmux_ send-keys -t orvane 5
wait_for "125"
end_editing_and_quit
expect_exit 0
grep -q '#wage .* "125"' "$work/out" || fail "a sequence was typed: $(grep '#wage' "$work/out")"

# Signals: the terminal is given back first, then the program dies of the signal.
for signal in TERM QUIT HUP USR1 PIPE; do
    start 80x24
    wait_for "What does it cost"
    tmux_ send-keys -t orvane Tab 4 2
    wait_for "42"
    pkill "-$signal" -f -- "--dump-at-exit $work/out"
    expect_exit "$((128 + $(kill -l "$signal")))"
done

# Terminals that cannot be used are refused with a message.
for setting in "TERM=no-such-terminal|no description of it is installed" \
               "TERM=dumb|it cannot move its cursor"; do
    IFS='|' read -r environment message <<<"$setting"
    next_server
    rm -f "$work/status" "$work/err"
    tmux_ new-session -d -s orvane -x 80 -y 24 "env -u DISPLAY -u WAYLAND_DISPLAY $environment \
        '$orvane' --ui terminal 2>'$work/err'; echo \$? > '$work/status'; sleep 60"
    wait_for_status
    [ "$(cat "$work/status")" = 1 ] || fail "$environment: exit status $(cat "$work/status")"
    grep -q "$message" "$work/err" || fail "$environment: no '$message'"
done
# Without --ui, such a terminal is passed over for the headless front end, which reads its
# script from the terminal, and says so first, and why.
next_server
rm -f "$work/status"
tmux_ new-session -d -s orvane -x 200 -y 24 "env -u DISPLAY -u WAYLAND_DISPLAY TERM=dumb \
    '$orvane'; echo \$? > '$work/status'; sleep 60"
sleep 0.5
tmux_ send-keys -t orvane "print keyboard" Enter C-d
wait_for_status
[ "$(cat "$work/status")" = 0 ] || fail "TERM=dumb without --ui: exit status $(cat "$work/status")"
screen | grep -q "^down" || fail "TERM=dumb without --ui: the headless front end did not answer"
screen | grep -q "TERM=dumb): it cannot move its cursor; reading script commands from standard" ||
    fail "TERM=dumb without --ui: no word of why it reads commands"
echo "1 passed, 0 failed"
