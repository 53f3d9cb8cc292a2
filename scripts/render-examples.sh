#!/usr/bin/env bash
# Regenerates the README's before/after pictures in docs/examples/ with the main job's runner, and
# the textured crate in docs/examples/crate/ that one of them starts from.
set -euo pipefail
. "$(dirname "$0")/prologue.sh"
run="$build/native/clone_tool/cli/quorvel-clone"
out="$root/docs/examples"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A crate of edge 1 standing off the origin: planks on its four sides, a steel lid and floor,
# each face with texture coordinates at its corners.
make_crate() { # DIR
    local dir=$1
    mkdir -p "$dir"
    cat >"$dir/crate.obj" <<'OBJ'
# A textured crate: two materials, texture coordinates per corner.
mtllib crate.mtl
o crate
v 2 0 -0.5
v 3 0 -0.5
v 3 1 -0.5
v 2 1 -0.5
v 2 0 0.5
v 3 0 0.5
v 3 1 0.5
v 2 1 0.5
vt 0 0
vt 1 0
vt 1 1
vt 0 1
g sides
usemtl planks
f 1/1 4/4 3/3 2/2
f 5/1 6/2 7/3 8/4
f 2/1 3/4 7/3 6/2
f 1/2 5/1 8/4 4/3
g ends
usemtl steel
f 4/1 8/2 7/3 3/4
f 1/1 2/2 6/3 5/4
OBJ
    printf 'newmtl planks\nKd 0.8 0.6 0.4\nmap_Kd planks.png\n\nnewmtl steel\nKd 0.6 0.6 0.65\nmap_Kd steel.png\n' \
        >"$dir/crate.mtl"
    # Textures: horizontal planks with dark seams, and brushed steel with rivets at the corners.
    awk 'BEGIN { print "P3 64 64 255"
        for (y = 0; y < 64; ++y) for (x = 0; x < 64; ++x) {
            seam = (y % 16 == 0) || ((x + 23 * int(y / 16)) % 48 == 0)
            g = 150 + 20 * sin(x / 3.0 + y) ; if (seam) g = 60
            print int(g * 1.2), int(g * 0.85), int(g * 0.5) } }' | pnmtopng >"$dir/planks.png"
    awk 'BEGIN { print "P3 64 64 255"
        for (y = 0; y < 64; ++y) for (x = 0; x < 64; ++x) {
            g = 150 + 12 * sin(y * 1.7)
            dx = (x < 32 ? x - 6 : x - 57); dy = (y < 32 ? y - 6 : y - 57)
            if (dx * dx + dy * dy < 10) g = 90
            print int(g), int(g), int(g * 1.08) } }' | pnmtopng >"$dir/steel.png"
}

# A ring: twelve steps of 30 degrees about Y round the origin.
"$run" --rotation 0,30,0 --count 11 --out "$tmp" --name ring --size 480
# A spiral staircase: each step turns 20 degrees about Y and rises by the step's height.
"$run" --rotation 0,20,0 --translation 0,0.2,0 --count 17 --out "$tmp" --name staircase --size 480
# A shrinking stack: each copy three quarters the size of the last, about a pivot on the floor
# at the source's far end, lifted by a fixed amount.
"$run" --pivot 3,0,0 --scale 0.75,0.75,0.75 --translation 0,0.5,0 --count 6 --out "$tmp" \
    --name stack --size 480
# A tower of crates: each turned 30 degrees about Y and stacked on the last.
make_crate "$out/crate"
"$run" "$out/crate/crate.obj" --rotation 0,30,0 --translation 0,1,0 --count 7 --out "$tmp" \
    --name crates --size 480 | tee "$tmp/crates.txt"
mkdir -p "$out"
cp "$tmp"/*.png "$out"/
# The result's first lines, for the README.
head -n 4 "$tmp/crates.obj"
grep -m 6 -E '^(g|usemtl|f) ' "$tmp/crates.obj"
