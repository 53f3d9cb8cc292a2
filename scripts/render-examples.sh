#!/usr/bin/env bash
# Regenerates the README's before/after pictures in docs/examples/ with the main job's runner.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QV_BUILD:-$root/build}
run="$build/native/host/runner/quorvel-clone"
out="$root/docs/examples"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# A ring: twelve steps of 30 degrees about Y round the origin.
"$run" --rotation 0,30,0 --count 11 --out "$tmp" --name ring --size 480
# A spiral staircase: each step turns 20 degrees about Y and rises by the step's height.
"$run" --rotation 0,20,0 --translation 0,0.2,0 --count 17 --out "$tmp" --name staircase --size 480
# A shrinking stack: each copy three quarters the size of the last, about a pivot on the floor
# at the source's far end, lifted by a fixed amount.
"$run" --pivot 3,0,0 --scale 0.75,0.75,0.75 --translation 0,0.5,0 --count 6 --out "$tmp" \
    --name stack --size 480
mkdir -p "$out"
cp "$tmp"/*.png "$out"/
