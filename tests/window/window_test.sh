#!/usr/bin/env bash
# Drives the real orvane window under Xvfb with xdotool, as a person with a mouse and a
# keyboard would, on displays of several sizes and densities: the window's size in pixels
# and that it fits, its icon, a calculation by mouse and keys, Tab to the clear button with a
# focus ring and Enter to press it, and resizing; then quits and checks the exit status.
# Usage: window_test.sh ORVANE-BINARY
set -euo pipefail
orvane=$1

for tool in Xvfb xdotool xprop xrdb import convert; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is missing (scripts/setup installs it)"
        exit 77
    fi
done

# How long to wait for something to show before failing; sanitizer builds and busy machines
# need longer (ORVANE_TEST_PATIENCE, in seconds).
patience=${ORVANE_TEST_PATIENCE:-10}
work=$(mktemp -d)
cleanup() {
    stop_app
    stop_display
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    cat "$work/err" 2>/dev/null || true
    exit 1
}

# A fresh display of a size, and optionally a desktop density (the X resource Xft.dpi). It
# never resets, so that the resource set before the program starts is still there.
start_display() {
    stop_display
    rm -f "$work/display"
    Xvfb -displayfd 3 -noreset -screen 0 "$1x24" -nolisten tcp 3>"$work/display" 2>/dev/null &
    xvfb_pid=$!
    local deadline=$((SECONDS + patience))
    until [ -s "$work/display" ] || ((SECONDS > deadline)); do sleep 0.1; done
    export DISPLAY=":$(cat "$work/display")"
    unset WAYLAND_DISPLAY GDK_SCALE
    if [ -n "${2:-}" ]; then printf 'Xft.dpi: %s\n' "$2" | xrdb -nocpp -merge; fi
}
stop_display() {
    if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
    xvfb_pid=
}

start_app() {
    rm -f "$work/out" "$work/err"
    LC_ALL=en_US.UTF-8 "$orvane" --ui window --dump-at-exit "$work/out" "$@" 2>"$work/err" &
    app_pid=$!
    window=$(timeout "$patience" xdotool search --sync --pid "$app_pid" --name '^orvane$' | head -n 1)
    [ -n "$window" ] || fail "no window appeared"
    wait_pixel 5 5 "28,37,65" # the first frame is on screen
}
stop_app() {
    if [ -n "${app_pid:-}" ]; then kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; fi
    app_pid=
}
# Quits with Ctrl-Q and checks that the program ended well.
quit_app() {
    # Through the server's own keyboard (XTEST), so that the keys are up again when the window
    # has gone: a key left down would reach the next window as pressed.
    xdotool windowfocus --sync "$window" key ctrl+q
    local status=0
    wait "$app_pid" || status=$?
    app_pid=
    [ "$status" -eq 0 ] || fail "exit status $status"
}

size() { xdotool getwindowgeometry "$window" | sed -n 's/ *Geometry: //p'; }
# Events reach the window in the order they are sent; only what shows is waited for.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
# The color of one point of the window, as "r,g,b".
pixel() {
    import -window "$window" "$work/shot.png"
    convert "$work/shot.png" -format "%[fx:int(255*p{$1,$2}.r)],%[fx:int(255*p{$1,$2}.g)],%[fx:int(255*p{$1,$2}.b)]" info:
}
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
wait_size() {
    local deadline=$((SECONDS + patience))
    until [ "$(size)" = "$1" ] || ((SECONDS > deadline)); do sleep 0.1; done
    [ "$(size)" = "$1" ] || fail "the window is $(size), not $1"
}

# At 96 dots per inch: a phone-sized window at scale 1, with the application's icon.
start_display 800x800
start_app
[ "$(size)" = 375x667 ] || fail "at 96 dpi the window is $(size), not 375x667"
xprop -id "$window" _NET_WM_ICON | grep -q 'CARDINAL' || fail "the window has no icon"

click 187 174                                # the wage field
wait_pixel 5 395 "255,151,5"                 # the Calculate bar is up
xdotool type --window "$window" --delay 50 "155"
xdotool key --window "$window" BackSpace Tab # 15, then on to the price field
click 64 480                                 # keypad 1
click 187 637                                # keypad 0
click 187 637
click 187 420                                # Calculate
wait_pixel -v 5 395 "255,151,5"              # and gone again

# Tab through the wage and the price to the clear button: a blue ring, and Enter presses it.
xdotool key --window "$window" Tab Tab Tab
wait_pixel 100 490 "0,122,255"
xdotool key --window "$window" Return       # the dump at the end shows what it did
quit_app
grep -q 'orvane.CurrencyTxtField #wage (40, 148, 295, 52)$' "$work/out" || fail "the wage was not cleared"
grep -q 'orvane.CurrencyTxtField #price (40, 232, 295, 52)$' "$work/out" || fail "the price was not cleared"
grep -q 'UILabel #result (24, 0, 327, 76) hidden "7"$' "$work/out" || fail "the hours were not 7, then hidden"
grep -q 'UIKeyboard' "$work/out" && fail "the keyboard stayed up"

# The keypad's delete key, held, deletes again and again; the wheel scrolls the
# content up from under the keypad.
start_app
click 187 174
wait_pixel 5 395 "255,151,5"
xdotool type --window "$window" --delay 20 "12345678901234567890"
xdotool mousemove --window "$window" 312 637 mousedown 1 sleep 2 mouseup 1
xdotool mousemove --window "$window" 187 300 click 5 click 5 click 5
quit_app
# At once, after half a second, then each tenth: two seconds' hold (time for a slow build to
# repeat) takes four digits or more.
grep -Eq 'orvane.CurrencyTxtField #wage \([^)]*\)( "[0-9]{0,16}")?$' "$work/out" ||
    fail "held, delete did not repeat: $(grep '#wage' "$work/out")"
grep -q 'UIScrollView #content (0, 0, 375, 667) scrolled (0, 120)' "$work/out" ||
    fail "the wheel did not scroll: $(grep '#content' "$work/out")"

# Dragged larger, the screen follows: it spans the window, the fields stretch.
start_app
xdotool windowsize "$window" 430 932 || fail "the window could not be resized"
wait_size 430x932
wait_pixel 425 925 "28,37,65"
quit_app
grep -q '^    UIView (0, 0, 430, 932)$' "$work/out" || fail "the screen did not follow the window"
grep -q 'orvane.CurrencyTxtField #wage (45\.86*[0-9]*, 148, 338\.2[0-9]*, 52)$' "$work/out" ||
    fail "the wage field did not stretch"

# At 192 dots per inch, scale 2, on a screen that has the room.
start_display 1280x1600 192
start_app
[ "$(size)" = 750x1334 ] || fail "at 192 dpi the window is $(size), not 750x1334"
quit_app

# On a short screen the scale steps down until the window fits, and says so.
start_display 1024x768 192
start_app
[ "$(size)" = 375x667 ] || fail "on a 768-pixel screen the window is $(size), not 375x667"
grep -q 'a window at scale 2 does not fit the 1024 x 768 pixels the screen has free; it opens at scale 1' \
    "$work/err" || fail "no notice of the smaller scale"
quit_app
start_display 1280x1024
start_app --scale 2
[ "$(size)" = 563x1001 ] || fail "--scale 2 on a 1024-pixel screen gave $(size), not 563x1001"
grep -q 'it opens at scale 1.5$' "$work/err" || fail "no notice of scale 1.5"
quit_app
echo "1 passed, 0 failed"
