#!/usr/bin/env bash
# Every test: the native suites, then the Windows suites under 32-bit Wine. Installs what it needs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QV_BUILD:-$root/build}
jobs=$(nproc)

"$root/scripts/setup.sh"

cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/native" -j "$jobs"
ctest --test-dir "$build/native" --output-on-failure -j "$jobs" --no-tests=error

cmake -S "$root" -B "$build/windows" -DCMAKE_BUILD_TYPE=Release \
    --toolchain "$root/cmake/toolchain-i686-mingw.cmake" >/dev/null
cmake --build "$build/windows" -j "$jobs"
. "$root/scripts/wine-env.sh"
qv_wine_env "$build/windows"
qv_wine_prepare
qv_wine_start
trap qv_wine_stop EXIT
ctest --test-dir "$build/windows" --output-on-failure --no-tests=error
