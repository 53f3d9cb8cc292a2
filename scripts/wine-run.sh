#!/usr/bin/env bash
# Runs one Windows program under Wine (32- or 64-bit, as its tree was built), in the prefix of the
# build tree it was built in and in a Japanese locale (code page 932), as the host's users run it.
# Used by ctest as the emulator.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine-env.sh
. "$here/wine-env.sh"

build=${QV_WINE_BUILD:-}
if [ -z "$build" ]; then
    dir=$(cd "$(dirname "$1")" && pwd)
    while [ "$dir" != / ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
    [ -f "$dir/CMakeCache.txt" ] || { echo "wine-run: $1 is not in a build tree" >&2; exit 2; }
    build=$dir
fi
qv_wine_env "$build"
qv_wine_prepare
LOCPATH="$QV_LOCPATH" LANG=ja_JP.UTF-8 exec wine "$@"
