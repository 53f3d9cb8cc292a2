#!/usr/bin/env bash
# The same bytes from the same source: scripts/release.sh runs in two fresh copies of the source,
# in folders of different names and one of them without the compiler cache, and each archive
# must equal the reference (the one made from the trees the tests ran on).
# Usage: reproducible_test.sh ROOT WORK REFERENCE.zip
set -euo pipefail
root=$1
work=$2
reference=$3
# Each copy writes its archive into its own dist/, wherever the caller's goes.
unset QV_DIST
. "$root/scripts/build.sh"
# Both copies carry the source's date, not one of their own.
SOURCE_DATE_EPOCH=$(qv_source_date "$root")
export SOURCE_DATE_EPOCH

# The files of the source as a clone has them (with any change not yet committed); without git,
# everything but what the builds write.
source_files() {
    if git -C "$root" rev-parse --git-dir >/dev/null 2>&1; then
        git -C "$root" ls-files -co --exclude-standard | while read -r f; do
            [ ! -e "$root/$f" ] || echo "$f"
        done
    else
        (cd "$root" && find . -path ./build -prune -o -path ./dist -prune -o -path ./out -prune \
            -o -type f -print)
    fi
}

rm -rf "$work"
fail=0
for copy in first second-copy; do
    source=$work/$copy/source
    mkdir -p "$source"
    source_files | tar -C "$root" -cf - -T - | tar -C "$source" -xf -
    log=$work/$copy/release.log
    if [ $copy = first ]; then
        CCACHE_DISABLE=1 "$source/scripts/release.sh" >"$log" 2>&1 || { cat "$log"; exit 1; }
    else
        "$source/scripts/release.sh" >"$log" 2>&1 || { cat "$log"; exit 1; }
    fi
    archive=$source/dist/$(basename "$reference")
    if cmp -s "$archive" "$reference"; then
        echo "reproducible_test: $copy: the same $(wc -c <"$archive") bytes"
    else
        fail=1
        echo "reproducible_test: $copy: $archive differs from $reference:" >&2
        python3 - "$reference" "$archive" <<'EOF' >&2
import sys, zipfile
a, b = (zipfile.ZipFile(p) for p in sys.argv[1:])
for x, y in zip(a.infolist(), b.infolist()):
    if (x.filename, x.CRC, x.date_time, x.external_attr) != (y.filename, y.CRC, y.date_time,
                                                              y.external_attr):
        print("  %s (%s) / %s (%s)" % (x.filename, x.date_time, y.filename, y.date_time))
EOF
    fi
done
[ $fail = 0 ] && rm -rf "$work"
exit $fail
