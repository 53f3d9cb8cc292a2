#!/usr/bin/env bash
# Regenerates docs/dialog.png: the open settings dialog under Xvfb, in the Japanese locale, drawn
# by Wine's X11 driver inside a virtual desktop (which draws the caption), cropped to the dialog.
# Uses the 32-bit Windows tree (build/windows) and its display prefix.
set -euo pipefail
. "$(dirname "$0")/prologue.sh"
tree=$build/windows
out=$root/docs/dialog.png

. "$root/scripts/build.sh"
qv_build windows windows-dialog-shot >/dev/null

. "$root/scripts/wine-env.sh"
work=$(mktemp -d)
xvfb_pid=
cleanup() {
    rm -rf "$work"
    qv_wine_stop "$tree" wineprefix-display
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
sleep 1

# The prefix that draws on the X display, not the tests' null-driver one.
qv_wine_start "$tree" wineprefix-display
qv_wine_env "$tree" wineprefix-display

rect=$work/rect.txt
cp "$tree/plugin/show_dialog.exe" "$work/"
LOCPATH="$QV_LOCPATH" LANG=ja_JP.UTF-8 wine explorer /desktop=quorvel,640x400 \
    "$work/show_dialog.exe" "$(winepath -w "$rect")" </dev/null >/dev/null 2>&1 &
wine_pid=$!
for _ in $(seq 1 300); do [ -s "$rect" ] && break; sleep 0.2; done
[ -s "$rect" ] || { echo "screenshot-dialog: the dialog did not open" >&2; exit 1; }
sleep 2 # let it paint
read -r x y w h < <(tr -d '\r' <"$rect")
xwd -root -display "$display" -silent | xwdtopnm 2>/dev/null >"$work/screen.pnm"
# The virtual desktop window sits at the screen's top-left, so desktop and screen coordinates agree.
pnmcut -left "$x" -top "$y" -width "$w" -height "$h" "$work/screen.pnm" | pnmtopng >"$out"
rm -f "$rect" # lets the program close the dialog
wait "$wine_pid" || true
echo "wrote $out (${w}x${h})"
