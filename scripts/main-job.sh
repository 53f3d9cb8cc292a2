#!/usr/bin/env bash
# The main job: set-up, build, then the command end to end in the Windows stand-in host under Wine
# on the built-in mesh: a ring of twelve (the source and eleven copies, each turned 30 degrees about
# Y round the origin). Writes out/ring.obj, out/ring.png and out/ring-before.png. Any further
# arguments go to quorvel-clone (see its --help) and override the ring's parameters; with
# --arch 64 the 64-bit module does the work (its tree is built as well).
set -euo pipefail
. "$(dirname "$0")/prologue.sh"

# --arch 64 runs the 64-bit module (32-bit is the default): build that tree too.
arch=32 prev=
for arg in "$@"; do
    [ "$prev" != --arch ] || arch=$arg
    case $arg in --arch=*) arch=${arg#--arch=} ;; esac
    prev=$arg
done

"$root/scripts/setup.sh"
. "$root/scripts/build.sh"
qv_build windows windows-main-job
qv_build native native-main-job
[ "$arch" != 64 ] || qv_build windows64 windows64-main-job
"$build/native/clone_tool/cli/quorvel-clone" --rotation 0,30,0 --count 11 \
    --out "$root/out" --name ring "$@"
