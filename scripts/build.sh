# Sourced: configures and builds the trees named in CMakePresets.json (native, windows, windows64,
# asan, tsan, fuzz), each in BUILD/<name>.

# Configures the tree of PRESET in DIR; further arguments go to cmake as they are.
# Usage: qv_configure ROOT PRESET DIR [CMAKE_ARGS...]
qv_configure() {
    local root=$1 preset=$2 dir=$3
    shift 3
    cmake -S "$root" --preset "$preset" -B "$dir" "$@" >/dev/null
}

# The native and the 32-bit Windows trees (the 64-bit one below).
# Usage:
#   qv_build_all ROOT BUILD JOBS                       everything
#   qv_build_all ROOT BUILD JOBS WIN_TARGETS NATIVE_TARGETS   only those (space-separated lists)
qv_build_all() {
    local root=$1 build=$2 jobs=$3 win_targets=${4:-} native_targets=${5:-}
    qv_configure "$root" windows "$build/windows"
    # shellcheck disable=SC2086
    cmake --build "$build/windows" -j "$jobs" ${win_targets:+--target $win_targets}
    qv_configure "$root" native "$build/native" -DQV_WINDOWS_BUILD_DIR="$build/windows"
    # shellcheck disable=SC2086
    cmake --build "$build/native" -j "$jobs" ${native_targets:+--target $native_targets}
}

# The 64-bit Windows tree (build/windows64), from the same sources with the x86-64 cross compiler.
# Usage: qv_build_windows64 ROOT BUILD JOBS [TARGETS]   TARGETS: space-separated, default all
qv_build_windows64() {
    local root=$1 build=$2 jobs=$3 targets=${4:-}
    qv_configure "$root" windows64 "$build/windows64"
    # shellcheck disable=SC2086
    cmake --build "$build/windows64" -j "$jobs" ${targets:+--target $targets}
}

# The native tree again with AddressSanitizer and UndefinedBehaviorSanitizer; any finding ends
# the program. Usage: qv_build_sanitize ROOT BUILD JOBS
qv_build_sanitize() {
    local root=$1 build=$2 jobs=$3
    qv_configure "$root" asan "$build/asan" -DQV_WINDOWS_BUILD_DIR="$build/windows"
    cmake --build "$build/asan" -j "$jobs"
}

# The math table's concurrent first call under ThreadSanitizer: only the program that makes it.
# Usage: qv_build_tsan ROOT BUILD JOBS
qv_build_tsan() {
    local root=$1 build=$2 jobs=$3
    qv_configure "$root" tsan "$build/tsan" -DQV_WINDOWS_BUILD_DIR="$build/windows"
    cmake --build "$build/tsan" -j "$jobs" --target math_first_call_test
}

# Runs it; any race found fails the run. Usage: qv_run_tsan BUILD
qv_run_tsan() {
    TSAN_OPTIONS="halt_on_error=1 exitcode=66" "$1/tsan/tests/math/math_first_call_test"
}

# The libFuzzer targets, built with clang and the sanitizers. Usage: qv_build_fuzz ROOT BUILD JOBS
qv_build_fuzz() {
    local root=$1 build=$2 jobs=$3
    qv_configure "$root" fuzz "$build/fuzz"
    cmake --build "$build/fuzz" -j "$jobs" --target dialog_fuzz obj_fuzz
}

# Runs each fuzz target (the dialog's text rules, the OBJ reader) for its share of SECONDS from
# the corpus kept in tests/ (new inputs go to a work copy in the build tree, so the kept corpus
# changes only by hand). An input that runs longer than 10 s counts as a hang.
# Usage: qv_run_fuzz ROOT BUILD SECONDS
qv_run_fuzz() {
    local root=$1 build=$2 seconds=$3
    # The OBJ reader has the larger input space and takes the larger share.
    qv_run_fuzz_target "$root" "$build" dialog $((seconds * 2 / 5)) 512 &&
        qv_run_fuzz_target "$root" "$build" obj $((seconds - seconds * 2 / 5)) 4096
}

# Usage: qv_run_fuzz_target ROOT BUILD NAME SECONDS MAX_LEN
qv_run_fuzz_target() {
    local root=$1 build=$2 name=$3 seconds=$4 max_len=$5
    local work="$build/fuzz/corpus-$name"
    mkdir -p "$work"
    cp "$root"/tests/fuzz/corpus/"$name"/* "$work"/
    # libFuzzer reports every new input; keep that in a log and show its end, or all of it on
    # a finding.
    local log="$build/fuzz/${name}_fuzz.log"
    if (cd "$build/fuzz" && ./tests/fuzz/"$name"_fuzz -max_total_time="$seconds" \
        -max_len="$max_len" -timeout=10 -print_final_stats=1 "$work") >"$log" 2>&1; then
        tail -n 12 "$log"
    else
        cat "$log"
        return 1
    fi
}

# The release's version: the one line that the module's name string takes it from.
# Usage: qv_version ROOT
qv_version() {
    local version
    version=$(sed -n 's/^#define QV_VERSION "\(.*\)"$/\1/p' "$1/src/plugin/version.h")
    [ -n "$version" ] || { echo "build: no QV_VERSION in $1/src/plugin/version.h" >&2; return 1; }
    echo "$version"
}

# The time the release's files carry: SOURCE_DATE_EPOCH when set, else the last commit's time,
# else 1 January 1980 (the earliest a zip holds). Usage: qv_source_date ROOT
qv_source_date() {
    if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
        echo "$SOURCE_DATE_EPOCH"
    else
        git -C "$1" log -1 --format=%ct 2>/dev/null || echo 315532800
    fi
}

# Both modules, each in its Windows tree. Usage: qv_build_modules ROOT BUILD JOBS
qv_build_modules() {
    local root=$1 build=$2 jobs=$3
    qv_configure "$root" windows "$build/windows"
    cmake --build "$build/windows" -j "$jobs" --target quorvel_clone
    qv_build_windows64 "$root" "$build" "$jobs" quorvel_clone
}

# Writes DIST/quorvel_clone-VERSION.zip from the modules built in BUILD's Windows trees.
# Usage: qv_release_archive ROOT BUILD DIST
qv_release_archive() {
    local root=$1 build=$2 dist=$3 version
    version=$(qv_version "$root")
    SOURCE_DATE_EPOCH=$(qv_source_date "$root") python3 "$root/scripts/release_archive.py" \
        "$root" "$version" "$build/windows/plugin/quorvel_clone.dll" \
        "$build/windows64/plugin/quorvel_clone.dll" "$dist/quorvel_clone-$version.zip"
}
