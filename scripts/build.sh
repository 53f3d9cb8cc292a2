# Sourced after prologue.sh: builds and tests the trees through CMakePresets.json, which names
# every tree (a configure preset, built in build/<name>), every list of targets (a build preset)
# and every test run with its options (a test preset). cmake and ctest read the presets from the
# folder they start in: the root.

# Configures TREE through its preset and builds it whole, or only the targets of BUILD_PRESET.
# Usage: qv_build TREE [BUILD_PRESET]
qv_build() {
    (cd "$root" && cmake --preset "$1" >/dev/null && cmake --build --preset "${2:-$1}")
}

# Runs the tests of a test preset. Usage: qv_test TEST_PRESET
qv_test() {
    (cd "$root" && ctest --preset "$1")
}

# The math table's concurrent first call under ThreadSanitizer (the tsan tree builds only its
# program); any race found fails the run. Usage: qv_run_tsan
qv_run_tsan() {
    TSAN_OPTIONS="halt_on_error=1 exitcode=66" "$build/tsan/tests/math/math_first_call_test"
}

# Runs each fuzz target (the dialog's text rules, the OBJ reader) for its share of SECONDS from
# the corpus kept in tests/ (new inputs go to a work copy in the build tree, so the kept corpus
# changes only by hand). An input that runs longer than 10 s counts as a hang.
# Usage: qv_run_fuzz SECONDS
qv_run_fuzz() {
    # The OBJ reader has the larger input space and takes the larger share.
    qv_run_fuzz_target dialog $(($1 * 2 / 5)) 512 &&
        qv_run_fuzz_target obj $(($1 - $1 * 2 / 5)) 4096
}

# Usage: qv_run_fuzz_target NAME SECONDS MAX_LEN
qv_run_fuzz_target() {
    local name=$1 seconds=$2 max_len=$3
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

# Both modules, each in its Windows tree. Usage: qv_build_modules
qv_build_modules() {
    qv_build windows windows-module
    qv_build windows64 windows64-module
}

# Writes DIST/quorvel_clone-VERSION.zip from the modules built in the Windows trees.
# Usage: qv_release_archive DIST
qv_release_archive() {
    local version
    version=$(qv_version "$root")
    SOURCE_DATE_EPOCH=$(qv_source_date "$root") python3 "$root/scripts/release_archive.py" \
        "$root" "$version" "$build/windows/plugin/quorvel_clone.dll" \
        "$build/windows64/plugin/quorvel_clone.dll" "$1/quorvel_clone-$version.zip"
}
