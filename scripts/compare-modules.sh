#!/usr/bin/env bash
# Times the main job with the 32-bit and the 64-bit module on the same mesh and counts, in one
# run, and prints a Markdown table (docs/performance.md). Uses the trees in build/, built by
# ./scripts/main-job.sh --arch 64. Usage: compare-modules.sh [SIDE] [COUNT] [REPEATS]
# The mesh is a SIDE x SIDE grid of vertices joined by quads; COUNT copies of it are added, and
# a run with 0 copies shows the fixed cost (Wine's start, reading and writing the source).
set -euo pipefail
. "$(dirname "$0")/prologue.sh"
side=${1:-100} count=${2:-99} repeats=${3:-3}
run=$build/native/clone_tool/cli/quorvel-clone
work=$(mktemp -d)
. "$root/scripts/wine-env.sh"
trap 'qv_wine_stop "$build/windows"; qv_wine_stop "$build/windows64"; rm -rf "$work"' EXIT

awk -v n="$side" 'BEGIN {
    for (j = 0; j < n; ++j) for (i = 0; i < n; ++i) printf "v %g 0 %g\n", i / n, j / n
    for (j = 0; j + 1 < n; ++j) for (i = 0; i + 1 < n; ++i) {
        a = j * n + i + 1
        printf "f %d %d %d %d\n", a, a + n, a + n + 1, a + 1
    }
}' >"$work/grid.obj"

echo "| module | Wine | copies | output vertices | seconds (mean of $repeats) | fastest | peak RSS MiB |"
echo "|---|---|---|---|---|---|---|"
for arch in 32 64; do
    tree=$build/windows
    [ "$arch" = 32 ] || tree=$build/windows64
    qv_wine_start "$tree"
    wine=native
    [ "$arch" = 64 ] || ! grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386 || wine=qemu-user
    for copies in 0 "$count"; do
        times=()
        peak=0
        for _ in $(seq "$repeats"); do
            /usr/bin/time -o "$work/time" -f '%e %M' "$run" "$work/grid.obj" --arch "$arch" \
                --rotation 0,3.6,0 --count "$copies" --out "$work/out" --name grid --size 64 \
                >/dev/null
            read -r seconds kib <"$work/time"
            times+=("$seconds")
            [ "$kib" -le "$peak" ] || peak=$kib
        done
        printf '%s\n' "${times[@]}" | awk -v arch="$arch" -v wine="$wine" -v copies="$copies" \
            -v vertices=$((side * side * (copies + 1))) -v peak="$peak" '
            { sum += $1; if (NR == 1 || $1 < min) min = $1 }
            END { printf "| %s-bit | %s | %d | %d | %.2f | %.2f | %d |\n",
                  arch, wine, copies, vertices, sum / NR, min, peak / 1024 }'
    done
done
