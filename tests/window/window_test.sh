#!/usr/bin/env bash
# Drives the real orvane window under Xvfb with xdotool, as a person with a mouse and a
# keyboard would: type a wage, tab to the price, click keypad keys, click Calculate, check the
# screen's pixels and the hours, then quit and check the exit status.
# Usage: window_test.sh ORVANE-BINARY
set -euo pipefail
orvane=$1

for tool in Xvfb xdotool import convert; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is missing (scripts/setup installs it)"
        exit 77
    fi
done

work=$(mktemp -d)
cleanup() {
    [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# How long to wait for something to show before failing; sanitizer builds and busy machines
# need longer (ORVANE_TEST_PATIENCE, in seconds).
patience=${ORVANE_TEST_PATIENCE:-10}

Xvfb -displayfd 3 -screen 0 800x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb_pid=$!
deadline=$((SECONDS + patience))
until [ -s "$work/display" ] || ((SECONDS > deadline)); do sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
unset WAYLAND_DISPLAY

LC_ALL=en_US.UTF-8 "$orvane" --ui window --dump-at-exit "$work/out" 2>"$work/err" &
app_pid=$!
window=$(timeout "$patience" xdotool search --sync --name '^orvane$' | head -n 1)

# Events reach the window in the order they are sent; only what shows is waited for.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# The color of one point of the window, as "r,g,b".
pixel() {
    import -window "$window" "$work/shot.png"
    convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}
fail() { echo "FAIL: $*"; cat "$work/err"; exit 1; }
# Waits for a point to be, or with -v not to be, a color.
wait_pixel() {
    local invert=
    [ "$1" = -v ] && { invert=1; shift; }
    local deadline=$((SECONDS + patience))
    while ((SECONDS <= deadline)); do
        if [ "$(pixel "$1" "$2")" = "$3" ]; then [ -z "$invert" ] && return 0
        else [ -n "$invert" ] && return 0
        fi
        sleep 0.1
    done
    fail "waited for ($1, $2) ${invert:+not }to be $3, it is $(pixel "$1" "$2")"
}

wait_pixel 5 5 "28,37,65"                   # the first frame is on screen
click 187 204                               # the wage field
wait_pixel 5 395 "255,151,5"                # the Calculate bar is up
xdotool type --window "$window" --delay 50 "155"
xdotool key --window "$window" BackSpace Tab # 15, then on to the price field
click 64 480                                # keypad 1
click 187 637                               # keypad 0
click 187 637
click 187 420                               # Calculate
wait_pixel -v 5 395 "255,151,5"             # and gone again

xdotool key --window "$window" ctrl+q 2>/dev/null || true  # the window is gone before the key is up
status=0
wait "$app_pid" || status=$?
app_pid=
[ "$status" -eq 0 ] || fail "exit status $status"
grep -q 'orvane.CurrencyTxtField #wage (40, 176, 295, 56) "15"' "$work/out" || fail "wage not 15"
grep -q 'orvane.CurrencyTxtField #price (40, 248, 295, 56) "100"' "$work/out" || fail "price not 100"
grep -q 'UILabel #result (40, 326, 295, 80) "7"$' "$work/out" || fail "the hours are not shown as 7"
grep -q 'UIKeyboard' "$work/out" && fail "the keyboard stayed up"
echo "1 passed, 0 failed"
