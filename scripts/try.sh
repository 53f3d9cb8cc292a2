#!/usr/bin/env bash
# Starts the stand-in host's window on $DISPLAY with the mesh given (the built-in one without),
# after setting up and building what it needs: pick Plug-ins > オブジェクトを連続複写, tick the
# preview and type. Usage: ./scripts/try.sh [MESH.obj] [--arch 64]
set -euo pipefail
. "$(dirname "$0")/prologue.sh"
mesh=
arch=32
while [ $# -gt 0 ]; do
    case $1 in
    --arch) arch=${2:?--arch takes 32 or 64}; shift 2 ;;
    *) mesh=$(cd "$(dirname "$1")" && pwd)/$(basename "$1"); shift ;;
    esac
done
[ -n "${DISPLAY:-}" ] || { echo "try: needs an X display (DISPLAY is not set)" >&2; exit 2; }

"$root/scripts/setup.sh"
. "$root/scripts/build.sh"
tree=windows
[ "$arch" != 64 ] || tree=windows64
qv_build "$tree" "$tree-viewer"
tree=$build/$tree

# The prefix that draws on the display.
. "$root/scripts/wine-env.sh"
trap 'qv_wine_stop "$tree" wineprefix-display' EXIT
qv_wine_start "$tree" wineprefix-display
qv_wine_env "$tree" wineprefix-display
args=()
[ -z "$mesh" ] || args=("$(winepath -w "$mesh")")
LOCPATH="$QV_LOCPATH" LANG=ja_JP.UTF-8 wine "$tree/plugin/standin_viewer.exe" "${args[@]}"
