#!/usr/bin/env bash
# Runs one Windows program under Wine (32- or 64-bit, as its tree was built), in the prefix of the
# build tree it was built in and in a Japanese locale (code page 932), as the host's users run it.
# Used by ctest as the emulator. With QV_WINE_DISPLAY=1 it runs in the tree's prefix that draws
# on the X display (the runner's --show).
set -euo pipefail
. "$(dirname "$0")/prologue.sh"
. "$root/scripts/wine-env.sh"

tree=${QV_WINE_BUILD:-}
[ -n "$tree" ] || tree=$(qv_wine_tree_of "$1") || exit 2
prefix=wineprefix
[ "${QV_WINE_DISPLAY:-0}" != 1 ] || prefix=wineprefix-display
qv_wine_env "$tree" "$prefix"
qv_wine_prepare
LOCPATH="$QV_LOCPATH" LANG=ja_JP.UTF-8 exec wine "$@"
