#!/bin/sh
# The real program on a real X server, used as a person would: wayplot2
# --emulate runs under Xvfb, each dashboard button and Options menu item is
# tapped with the mouse (xdotool), the dialog it opens must appear with its
# title and close again with Escape, and the dashboard must come back and
# keep moving. At the end the quit button ends the program, which must exit
# with status 0 and leave its pushpins and panel choice saved.
#
#   dashboard_under_xvfb.sh WAYPLOT2 [PICTURES_DIR]
#
# Exits 77 (skipped) when xvfb-run, xdotool or xwd is missing.
set -u

PROGRAM=$1
PICTURES=${2:-}
for tool in xvfb-run xdotool xwd; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done

if [ "${WAYPLOT2_IN_XVFB:-}" != 1 ]; then
    export WAYPLOT2_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 640x480x24" "$0" "$@"
fi

[ -n "$PICTURES" ] && mkdir -p "$PICTURES"
ROOT=$(mktemp -d)
export XDG_RUNTIME_DIR="$ROOT/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

picture() {
    [ -n "$PICTURES" ] && command -v import >/dev/null && import -window root "$PICTURES/$1.png"
}

# Id of the visible window whose title is exactly $1, waiting up to 10 s.
wait_window() {
    i=0
    while [ $i -lt 50 ]; do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
        i=$((i + 1))
    done
    return 1
}

# Waits up to 10 s for no visible window titled $1.
wait_gone() {
    i=0
    while [ $i -lt 50 ]; do
        [ -z "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null)" ] && return 0
        sleep 0.2
        i=$((i + 1))
    done
    return 1
}

tap() {
    xdotool mousemove --window "$WIN" "$1" "$2" click 1
    sleep 0.3
}

frame_sum() {
    xwd -id "$WIN" -silent 2>/dev/null | md5sum
}

# The dashboard is back and something on it changes within 10 s.
expect_moving() {
    wait_window Wayplot2 >/dev/null || { fail "$1: the dashboard did not come back"; return; }
    first=$(frame_sum)
    i=0
    while [ $i -lt 20 ]; do
        sleep 0.5
        [ "$(frame_sum)" != "$first" ] && return 0
        i=$((i + 1))
    done
    fail "$1: the dashboard stands still"
}

# Taps (x, y), expects the dialog titled $2, closes it with Escape.
open_and_close() {
    tap "$1" "$2"
    dialog=$(wait_window "$3") || { fail "tapping ($1, $2) did not open \"$3\""; return; }
    picture "$4"
    xdotool windowfocus --sync "$dialog" key Escape
    wait_gone "$3" || fail "\"$3\" did not close on Escape"
    expect_moving "after \"$3\""
}

# The dashboard window. The splash before it has the same title but lives
# only 2 s: the dashboard is the window of that title still there 3 s after
# it was first seen.
find_dashboard() {
    tries=0
    while [ $tries -lt 10 ]; do
        id=$(wait_window Wayplot2) || return 1
        sleep 3
        if xdotool search --onlyvisible --name '^Wayplot2$' 2>/dev/null | grep -qx "$id"; then
            echo "$id"
            return 0
        fi
        tries=$((tries + 1))
    done
    return 1
}

"$PROGRAM" --emulate --root "$ROOT" --scale 1 >"$ROOT/out.txt" 2>&1 &
pid=$!
WIN=$(find_dashboard) || { echo "FAIL: no dashboard window"; kill "$pid"; exit 1; }
expect_moving "at start"
picture dashboard

# Buttons along the bottom, 60 px wide from y 264; the Options menu opens
# above the Menu button with 23 px items from y 148.
open_and_close 90 290 "New point" new_point
open_and_close 150 290 "Select point" select_point
for item in "159 GPS Setup gps_setup" "182 Sound options sound_options" \
    "205 Pushpins pushpins" "228 Miscellaneous Options misc_options"; do
    y=${item%% *}
    rest=${item#* }
    name=${rest##* }
    title=${rest% *}
    tap 210 290
    open_and_close 190 "$y" "$title" "$name"
done

# Map mode: its Menu button opens the track options.
tap 30 290
expect_moving "in map mode"
picture map_mode
open_and_close 210 290 "Track options" track_options
tap 30 290

# The quit button in the top right corner ends the program the orderly way.
tap 229 14
i=0
while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do
    sleep 0.2
    i=$((i + 1))
done
if kill -0 "$pid" 2>/dev/null; then
    fail "the quit button did not end the program"
    kill -TERM "$pid"
fi
wait "$pid"
status=$?
[ $status -eq 0 ] || fail "the program exited with status $status"
[ -f "$ROOT/My Documents/Pushpins.kpp" ] || fail "no pushpin file after quitting"
grep -rqs '"IOpt"' "$ROOT" || fail "the panel choice (IOpt) was not saved"

if [ $failures -ne 0 ]; then
    echo "--- program output"
    cat "$ROOT/out.txt"
fi
rm -rf "$ROOT"
[ $failures -eq 0 ] && echo "every dialog opened from the dashboard and the dashboard came back moving"
exit $((failures != 0))
