#!/usr/bin/env bash
# Every test: the native suites (plain and under AddressSanitizer/UndefinedBehaviorSanitizer), the
# math table's concurrent first call under ThreadSanitizer, a bounded fuzz run of the dialog's text
# rules and of the OBJ reader, and the Windows suites of the 32-bit tree under 32-bit Wine and of
# the 64-bit tree (build/windows64) under 64-bit Wine; then the release archive, installed from
# its unpacked folder under both Wines and made again from two fresh copies of the source.
# Installs what it needs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QV_BUILD:-$root/build}
jobs=$(nproc)

"$root/scripts/setup.sh"
# Which path 32-bit Windows programs take here (native, or through qemu-user and which one).
. "$root/scripts/qemu-user.sh"
echo "test: $(qv_i386_path)"
. "$root/scripts/build.sh"
qv_build_all "$root" "$build" "$jobs"
qv_build_windows64 "$root" "$build" "$jobs"
qv_build_sanitize "$root" "$build" "$jobs"
qv_build_fuzz "$root" "$build" "$jobs"
qv_build_tsan "$root" "$build" "$jobs"
qv_run_tsan "$build"

# The fuzz targets (the dialog's text rules, the OBJ reader) for a bounded time from their kept
# corpora.
qv_run_fuzz "$root" "$build" "${QV_FUZZ_SECONDS:-60}"

# The native suites include the runner's end-to-end tests, which start the Windows build under Wine.
. "$root/scripts/wine-env.sh"
qv_wine_env "$build/windows"
qv_wine_prepare
qv_wine_start
trap qv_wine_stop EXIT
# The 64-bit tree's Wine: a prefix and a server of its own, started the same way.
qv_wine64() { (qv_wine_env "$build/windows64" && "$@"); }
qv_wine64 qv_wine_prepare
qv_wine64 qv_wine_start
trap 'qv_wine_stop; qv_wine64 qv_wine_stop' EXIT
ctest --test-dir "$build/asan" --output-on-failure -j "$jobs" --no-tests=error
ctest --test-dir "$build/native" --output-on-failure -j "$jobs" --no-tests=error
ctest --test-dir "$build/windows" --output-on-failure --no-tests=error
qv_wine64 ctest --test-dir "$build/windows64" --output-on-failure --no-tests=error

# The release: the archive from the trees just tested, each module installed from the unpacked
# archive and run end to end under its Wine, and the same bytes from two fresh copies of the
# source (two more builds of both modules: the costly part, once per run).
qv_release_archive "$root" "$build" "$build/release"
archive="$build/release/quorvel_clone-$(qv_version "$root").zip"
sh "$root/tests/release/install_test.sh" "$root" "$archive" "$build" "$build/release/install"
"$root/tests/release/reproducible_test.sh" "$root" "$build/release-check" "$archive"
