# Sourced: configures and builds the native and the 32-bit Windows trees. Usage:
#   qv_build_all ROOT BUILD JOBS                       everything
#   qv_build_all ROOT BUILD JOBS WIN_TARGETS NATIVE_TARGETS   only those (space-separated lists)
qv_build_all() {
    local root=$1 build=$2 jobs=$3 win_targets=${4:-} native_targets=${5:-}
    cmake -S "$root" -B "$build/windows" -DCMAKE_BUILD_TYPE=Release \
        --toolchain "$root/cmake/toolchain-i686-mingw.cmake" >/dev/null
    # shellcheck disable=SC2086
    cmake --build "$build/windows" -j "$jobs" ${win_targets:+--target $win_targets}
    cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=Release \
        -DQV_WINDOWS_BUILD_DIR="$build/windows" >/dev/null
    # shellcheck disable=SC2086
    cmake --build "$build/native" -j "$jobs" ${native_targets:+--target $native_targets}
}
