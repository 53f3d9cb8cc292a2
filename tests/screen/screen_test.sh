#!/bin/sh
# Runs the screen test program under Xvfb, in a Wine prefix of its own that draws on the display
# (the tests' other prefix has the null driver), in the Japanese locale, and answers its requests
# for screenshots with the X server's own (xwd). Its Wine server is started detached and stopped
# afterwards, so ctest does not wait on Wine's background processes.
# Usage: screen_test.sh PROGRAM.exe [ARGUMENTS...]
set -eu
program=$1
shift
root=$(cd "$(dirname "$0")/../.." && pwd)
. "$root/scripts/wine-env.sh"
tree=$(qv_wine_tree_of "$program")

# The display: Xvfb on the first free number from 140, wide enough for the window and the dialog
# beside it.
display=140
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
    display=$((display + 1))
done
Xvfb ":$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$display"
shots=$(mktemp -d)
answerer=
cleanup() {
    qv_wine_stop "$tree" wineprefix-screen
    [ -z "$answerer" ] || kill "$answerer" 2>/dev/null || true
    kill "$xvfb" 2>/dev/null || true
    rm -rf "$shots"
}
trap cleanup EXIT
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

qv_wine_start "$tree" wineprefix-screen
qv_wine_env "$tree" wineprefix-screen

# A request shotN.request is answered with shotN.ppm, written whole before the request goes.
(
    while :; do
        for request in "$shots"/*.request; do
            [ -e "$request" ] || continue
            base=${request%.request}
            xwd -root -silent | xwdtopnm 2>/dev/null | pnmdepth 255 >"$base.part" && mv "$base.part" "$base.ppm"
            rm -f "$request"
        done
        sleep 0.05
    done
) &
answerer=$!
# Wine's drive Z: is the root folder.
QV_SHOT_DIR="Z:$(printf '%s' "$shots" | tr / '\\')"
export QV_SHOT_DIR
LOCPATH="$QV_LOCPATH" LANG=ja_JP.UTF-8 wine "$program" "$@"
