# Sourced: configures and builds the native and the 32-bit Windows trees. Usage:
#   qv_build_all ROOT BUILD JOBS
qv_build_all() {
    local root=$1 build=$2 jobs=$3
    cmake -S "$root" -B "$build/windows" -DCMAKE_BUILD_TYPE=Release \
        --toolchain "$root/cmake/toolchain-i686-mingw.cmake" >/dev/null
    cmake --build "$build/windows" -j "$jobs"
    cmake -S "$root" -B "$build/native" -DCMAKE_BUILD_TYPE=Release \
        -DQV_WINDOWS_BUILD_DIR="$build/windows" >/dev/null
    cmake --build "$build/native" -j "$jobs"
}
