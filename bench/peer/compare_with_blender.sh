#!/usr/bin/env bash
# Our engine beside Blender's Array modifier on the same UV spheres and copy counts, in one
# sitting: ns per output vertex of a preview refresh both ways, their ratio and each side's peak
# memory, written into docs/performance.md with a plot (docs/peer_ns_per_vertex.png).
# Blender is a peer, never a dependency: Debian's package is installed only with --install.
#
# Our side is built in the measuring tree (build-perf/native, the preset perf), apart from the
# trees the tests use.
#
# Usage: bench/peer/compare_with_blender.sh [--install] [--repeat N] [--cases LIST]
#   LIST: mesh vertices:copies pairs, as in the default below.
set -euo pipefail
. "$(dirname "$0")/../../scripts/prologue.sh"
repeat=3
install=0
# Mesh vertices and copies in all: 100 thousand to 100 million output vertices. 67 copies of the
# largest sphere are as many as Blender's Array modifier makes of it; it refuses 100.
cases="9998:10 9998:100 100002:10 100002:100 1000002:67 1000002:100"
while [ $# -gt 0 ]; do
    case $1 in
    --install) install=1 ;;
    --repeat) repeat=$2; shift ;;
    --cases) cases=$2; shift ;;
    *) echo "usage: $0 [--install] [--repeat N] [--cases LIST]" >&2; exit 2 ;;
    esac
    shift
done

if ! command -v blender >/dev/null; then
    if [ "$install" = 1 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends blender gnuplot-nox
    else
        echo "blender is not installed; rerun with --install to install Debian's package" >&2
        exit 1
    fi
fi

. "$root/scripts/build.sh"
qv_build perf perf-peer >/dev/null
engine=$root/build-perf/native/bench/peer/peer_engine
work=$root/build-perf/peer
mkdir -p "$work"

for c in $cases; do
    v=${c%:*}
    [ -s "$work/sphere-$v.obj" ] || python3 "$root/bench/peer/uv_sphere.py" "$v" "$work/sphere-$v.obj"
done

# Fewer changes for the big cases: a 10M-vertex evaluation takes Blender seconds.
changes_for() { local n=$((200000000 / $1)); [ $n -lt 4 ] && n=4; [ $n -gt 20 ] && n=20; echo $n; }
# Blender needed at most 0.14 KiB per output vertex (1.3 GiB at 10 million, 6.0 GiB at 50
# million); a case that would not fit in three quarters of the memory available now is left to our
# side alone.
blender_kib() { echo $(($1 * 14 / 100)); }
fits_blender() {
    local available_kib
    available_kib=$(awk '/MemAvailable/ {print $2}' /proc/meminfo)
    [ "$(blender_kib "$1")" -lt $((available_kib * 3 / 4)) ]
}

# One line per side, case and run: "side vertices copies run figures...".
log=$work/peer.log
: >"$log"
for run in $(seq 1 "$repeat"); do
    for c in $cases; do
        v=${c%:*} n=${c#*:}
        out=$((v * n))
        changes=$(changes_for $out)
        # Ours takes twice as many changes (they are cheap): more chances of an undisturbed one.
        line=$("$engine" "$work/sphere-$v.obj" "$n" $((2 * changes + 1)))
        echo "quorvel $v $n $run $line" | tee -a "$log"
        if ! fits_blender $out; then
            echo "blender $v $n $run skipped_gib=$(($(blender_kib $out) / 1048576 + 1))" | tee -a "$log"
            continue
        fi
        said=$(blender -b --factory-startup --python-exit-code 1 \
            -P "$root/bench/peer/blender_array.py" -- "$work/sphere-$v.obj" "$n" "$changes" 2>&1) || true
        if line=$(grep '^out_vertices=' <<<"$said"); then
            echo "blender $v $n $run $line" | tee -a "$log"
        elif grep -q 'amount of copies is too high' <<<"$said"; then
            # The modifier declines to make the result at all: recorded, with its size in corners.
            corners=$(awk '/^f / {n += NF - 1} END {print n}' "$work/sphere-$v.obj")
            echo "blender $v $n $run refused_corners=$((corners * n))" | tee -a "$log"
        else
            echo "$said" | tail -20 >&2
            echo "blender failed on $v x $n" >&2
            exit 1
        fi
    done
done

python3 "$root/bench/peer/write_table.py" "$log" "$root/docs/performance.md" "$work/plot.dat" \
    "$repeat" "$(blender --version 2>/dev/null | head -1)"
gnuplot -e "dat='$work/plot.dat'; png='$root/docs/peer_ns_per_vertex.png'" "$root/bench/peer/plot_peer.gp"
echo "written: docs/performance.md (peer comparison), docs/peer_ns_per_vertex.png"
