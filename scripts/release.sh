#!/usr/bin/env bash
# The release: set-up, both modules built (build/windows, build/windows64), and
# dist/quorvel_clone-VERSION.zip written from them, the version being the module's own
# (src/plugin/version.h). scripts/release_archive.py says what the archive holds. The same source
# gives the same bytes. QV_DIST changes the archive's folder.
set -euo pipefail
. "$(dirname "$0")/prologue.sh"
dist=${QV_DIST:-$root/dist}

"$root/scripts/setup.sh"
. "$root/scripts/build.sh"
qv_build_modules
qv_release_archive "$dist"
