#!/usr/bin/env bash
# Starts the stand-in host's window on $DISPLAY with the mesh given (the built-in one without),
# after setting up and building what it needs: pick Plug-ins > オブジェクトを連続複写, tick the
# preview and type. Usage: ./scripts/try.sh [MESH.obj] [--arch 64]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QV_BUILD:-$root/build}
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
if [ "$arch" = 64 ]; then
    tree=$build/windows64
    qv_build_windows64 "$root" "$build" 2 "quorvel_clone standin_viewer"
else
    tree=$build/windows
    qv_configure "$root" windows "$tree"
    cmake --build "$tree" -j 2 --target quorvel_clone standin_viewer
fi

. "$root/scripts/wine-env.sh"
QV_WINE_DISPLAY=1 # the prefix that draws on the display
qv_wine_env "$tree"
qv_wine_prepare
args=()
[ -z "$mesh" ] || args=("$(winepath -w "$mesh")")
LOCPATH="$QV_LOCPATH" LANG=ja_JP.UTF-8 wine "$tree/plugin/standin_viewer.exe" "${args[@]}"
