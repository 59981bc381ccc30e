#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program on a real X server, used as a person would.
#
# 1. wayplot2 --emulate: each dashboard button and Options menu item is tapped
#    with the mouse (xdotool), the dialog it opens must appear with its title
#    and close again with Escape, and the dashboard must come back and keep
#    moving. At the end the quit button ends the program, which must exit with
#    status 0 (what the orderly end saves is quit_signals_test's).
# 2. A start whose receiver cannot be opened, without and then with a window
#    manager (openbox): no other window of the program may lie over the "The
#    GPS receiver could not be started." box (the splash stays on top while
#    it is shown), the
#    box must be answered by a click on its button (without) or by Enter
#    (with), and the dashboard must come after it.
# 3. SIGTERM while an option dialog is up: the program must end the orderly
#    way within 10 s with status 0, the dialog closed for it (SIGTERM with the
#    box up, and what the end saves, is quit_signals_test's).
# 4. A base map for the run (--map-source, a tile folder of one zoom-0 tile of
#    one colour): in map mode that colour must cover most of the map, and the
#    program must still quit with status 0.
#
#   dashboard_under_xvfb.sh WAYPLOT2 [PICTURES_DIR]
#
# Exits 77 (skipped) when xvfb-run, xdotool, xwd, xwininfo, xprop or openbox is missing.
set -u

PROGRAM=$1
PICTURES=${2:-}
for tool in xvfb-run xdotool xwd xwininfo xprop openbox; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed"; exit 77; }
done

if [ "${WAYPLOT2_IN_XVFB:-}" != 1 ]; then
    export WAYPLOT2_IN_XVFB=1
    exec xvfb-run -a -s "-screen 0 640x480x24" "$0" "$@"
fi

[ -n "$PICTURES" ] && mkdir -p "$PICTURES"
TMP=$(mktemp -d)
ROOT="$TMP/root"
export XDG_RUNTIME_DIR="$TMP/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

picture() {
    [ -n "$PICTURES" ] && command -v import >/dev/null && import -window root "$PICTURES/$1.png"
}

# Polls `$@` every 0.2 s for up to 10 s.
within_10s() {
    for _ in $(seq 50); do
        "$@" && return 0
        sleep 0.2
    done
    return 1
}

visible_titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
titled_shown() { [ -n "$(visible_titled "$1")" ]; }
titled_gone() { [ -z "$(visible_titled "$1")" ]; }

tap() {
    xdotool mousemove --window "$WIN" "$1" "$2" click 1
    sleep 0.3
}

frame_sum() {
    xwd -id "$WIN" -silent 2>/dev/null | md5sum
}

# The dashboard is back and something on it changes within 10 s.
expect_moving() {
    within_10s titled_shown Wayplot2 || { fail "$1: the dashboard did not come back"; return; }
    first=$(frame_sum)
    frame_changed() { [ "$(frame_sum)" != "$first" ]; }
    within_10s frame_changed || fail "$1: the dashboard stands still"
}

# Taps (x, y), expects the dialog titled $3, takes picture $4, closes it with
# the key $5 (Escape if not given).
open_and_close() {
    tap "$1" "$2"
    within_10s titled_shown "$3" || { fail "tapping ($1, $2) did not open \"$3\""; return; }
    [ -z "$4" ] || picture "$4"
    xdotool windowfocus --sync "$(visible_titled "$3")" key "${5:-Escape}"
    within_10s titled_gone "$3" || fail "\"$3\" did not close on ${5:-Escape}"
    expect_moving "after \"$3\""
}

# The program $1's visible windows whose first type is $2 (NORMAL, SPLASH, DIALOG).
windows_of() {
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        xprop -id "$w" _NET_WM_WINDOW_TYPE | grep -Eq "= _NET_WM_WINDOW_TYPE_$2(,|\$)" && echo "$w"
    done
}

# The dashboard window: the program's normal window, still shown 3 s after
# it was first seen.
dashboard_of() {
    watched=$1
    normal_shown() { w=$(windows_of "$watched" NORMAL | head -1) && [ -n "$w" ]; }
    within_10s normal_shown || return 1
    sleep 3
    xwininfo -id "$w" 2>/dev/null | grep -q IsViewable && echo "$w"
}

# Waits for the program $1 to end; fails with $2 unless its exit status is 0.
ended() {
    status=hung
    if within_10s sh -c "! kill -0 $1 2>/dev/null"; then
        wait "$1"
        status=$?
    else
        kill -KILL "$1"
    fi
    [ "$status" = 0 ] || fail "$2: the program ended with $status"
}

# Starts the program with the arguments on the data root; pid is its process.
start() {
    "$PROGRAM" --root "$ROOT" --scale 1 "$@" >>"$TMP/out.txt" 2>&1 &
    pid=$!
}

# x y width height of a window on the screen.
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

# The receiver of "Driver" (COM1) is a device that does not exist. $1: the
# name of the run, $2: click or enter.
no_receiver_start() {
    rm -rf "$ROOT"
    mkdir -p "$ROOT"
    printf 'Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\KELM\\Wayplot2]\n"Driver"="1,4800,8,1,0"\n' \
        >"$ROOT/local-machine.reg"
    WAYPLOT2_COM1="$ROOT/no-such-device" "$PROGRAM" --root "$ROOT" --scale 1 >>"$TMP/out.txt" 2>&1 &
    pid=$!
    box_shown() { box=$(windows_of "$pid" DIALOG | head -1) && [ -n "$box" ]; }
    if ! within_10s box_shown; then
        fail "$1: no \"receiver could not be started\" box"
        kill -KILL "$pid"
        return
    fi
    sleep 1  # three periods of the splash's timer, which keeps it in front
    picture "$1"
    set -- "$1" "$2" $(geometry "$box")
    # No other window of the program (the splash) may lie over any of it.
    for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do
        g=$(geometry "$w")
        [ "$w" != "$box" ] && echo "$g $*" |
            awk '{exit !($1 < $7 + $9 && $7 < $1 + $3 && $2 < $8 + $10 && $8 < $2 + $4)}' &&
            fail "$1: the box is covered by a window of the program at $g"
    done
    if [ "$2" = click ]; then  # its one button, in the middle of the bottom row
        xdotool mousemove $(($3 + $5 / 2)) $(($4 + $6 - 15)) click 1
    else
        xdotool key Return
    fi
    box_gone() { ! xwininfo -id "$box" 2>/dev/null | grep -q IsViewable; }
    within_10s box_gone || fail "$1: the box did not close on a $2"
    dashboard_of "$pid" >/dev/null || fail "$1: no dashboard after the box"
    picture "$1_answered"
    kill -TERM "$pid"
    ended "$pid" "$1: SIGTERM"
}

mkdir -p "$ROOT"
start --emulate
WIN=$(dashboard_of "$pid") || { echo "FAIL: no dashboard window"; kill "$pid"; exit 1; }
expect_moving "at start"
picture dashboard

# Buttons along the bottom, 60 px wide from y 264; the Options menu opens
# above the Menu button with 23 px items from y 80.
open_and_close 90 290 "New point" new_point
open_and_close 150 290 "Select point" select_point
for item in "91 GPS Setup gps_setup" "114 Sound options sound_options" \
    "137 Pushpins pushpins" "160 Miscellaneous Options misc_options"; do
    y=${item%% *}
    rest=${item#* }
    tap 210 290
    open_and_close 190 "$y" "${rest% *}" "${rest##* }"
done

# Map mode: its Menu button opens the track options.
tap 30 290
expect_moving "in map mode"
picture map_mode
open_and_close 210 290 "Track options" track_options
tap 30 290

# The quit button in the top right corner ends the program the orderly way.
tap 229 14
ended "$pid" "the quit button"

# A base map under the track map.
if command -v convert >/dev/null; then
    mkdir -p "$TMP/tiles/0/0"
    convert -size 256x256 xc:'#2a7f3f' "$TMP/tiles/0/0/0.png"
    start --emulate --map-source "$TMP/tiles"
    WIN=$(dashboard_of "$pid") || fail "no dashboard window with a base map"
    tap 30 290
    map_shown() {
        [ "$(xwd -id "$WIN" -silent | convert xwd:- -crop 240x264+0+0 txt:- |
            grep -ci '#2A7F3F')" -gt $((240 * 264 / 2)) ]
    }
    within_10s map_shown || fail "map mode does not show the base map"
    picture map_mode_base_map
    tap 229 14
    ended "$pid" "with a base map"
else
    fail "ImageMagick's convert is missing (scripts/install-deps installs it)"
fi

no_receiver_start no_receiver click
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
within_10s wm_running || fail "openbox did not start"
no_receiver_start no_receiver_wm enter

# SIGTERM with an option dialog up.
rm -rf "$ROOT"
start --emulate
if WIN=$(dashboard_of "$pid"); then
    tap 210 290
    tap 190 160
    within_10s titled_shown "Miscellaneous Options" || fail "the option dialog did not open"
    kill -TERM "$pid"
    ended "$pid" "SIGTERM with an option dialog up"
    grep -rqs '"IOpt"' "$ROOT" || fail "SIGTERM with an option dialog up: IOpt was not saved"
else
    fail "no dashboard for the option dialog run"
    kill -KILL "$pid"
fi
kill "$wm"

if [ $failures -ne 0 ]; then
    echo "--- program output"
    cat "$TMP/out.txt"
fi
rm -rf "$TMP"
[ $failures -eq 0 ] && echo "every dialog opened from the dashboard and the dashboard came back moving;" \
    "the box of a receiver that cannot be opened was on top and answered, with and without a window manager"
exit $((failures != 0))
