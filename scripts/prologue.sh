# Sourced first by every script here: the checkout's root, the build folder and the jobs.
#   root   the checkout (this file's parent folder)
#   build  where the trees are: build/, one folder per configure preset, as CMakePresets.json
#          fixes them
#   CMAKE_BUILD_PARALLEL_LEVEL, exported: the jobs of every build (one per processor unless set);
#          the native trees' test presets run as many tests at once
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck disable=SC2034 # for the scripts that source this
build=$root/build
CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
export CMAKE_BUILD_PARALLEL_LEVEL
