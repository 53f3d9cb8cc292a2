#!/usr/bin/env bash
# Every test: the native suites (plain and under AddressSanitizer/UndefinedBehaviorSanitizer), the
# math table's concurrent first call under ThreadSanitizer, a bounded fuzz run of the dialog's text
# rules and of the OBJ reader, and the Windows suites of the 32-bit tree under 32-bit Wine and of
# the 64-bit tree (build/windows64) under 64-bit Wine; then the release archive, installed from
# its unpacked folder under both Wines and made again from two fresh copies of the source.
# Installs what it needs. Every tree, target list and test run is a preset (CMakePresets.json).
set -euo pipefail
. "$(dirname "$0")/prologue.sh"

"$root/scripts/setup.sh"
# Which path 32-bit Windows programs take here (native, or through qemu-user and which one).
. "$root/scripts/qemu-user.sh"
echo "test: $(qv_i386_path)"
# The folders' dependencies point one way (a moment, before any build).
python3 "$root/tests/layout/check_layout.py" "$root"
. "$root/scripts/build.sh"
qv_build windows
qv_build native
qv_build windows64
qv_build asan
qv_build fuzz
qv_build tsan
qv_run_tsan

# The fuzz targets (the dialog's text rules, the OBJ reader) for a bounded time from their kept
# corpora.
qv_run_fuzz "${QV_FUZZ_SECONDS:-60}"

# The native suites include the runner's end-to-end tests, which start the Windows build under
# Wine. Each Windows tree's Wine: a prefix and a server of its own.
. "$root/scripts/wine-env.sh"
trap 'qv_wine_stop "$build/windows"; qv_wine_stop "$build/windows64"' EXIT
qv_wine_start "$build/windows"
qv_wine_start "$build/windows64"
qv_test asan
qv_test native
qv_test windows
qv_test windows64

# The release: the archive from the trees just tested, each module installed from the unpacked
# archive and run end to end under its Wine, and the same bytes from two fresh copies of the
# source (two more builds of both modules: the costly part, once per run).
qv_release_archive "$build/release"
archive="$build/release/quorvel_clone-$(qv_version "$root").zip"
sh "$root/tests/release/install_test.sh" "$root" "$archive" "$build" "$build/release/install"
"$root/tests/release/reproducible_test.sh" "$root" "$build/release-check" "$archive"
