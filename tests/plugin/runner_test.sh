#!/bin/sh
# The stand-in host end to end under Wine: a cube read from OBJ, the dialog answered by the
# runner, the document written as OBJ. Any further arguments go to the runner (such as --plugin).
# Usage: runner_test.sh WINE_RUN RUNNER WORK_DIR [RUNNER_ARGS...]
set -eu
wine_run=$1
runner=$2
work=$3
shift 3
mkdir -p "$work"
fail=0
complain() { echo "runner_test: $*" >&2; fail=1; }

# A cube of edge 1 about the origin, 6 quads facing outwards; copy k of vertex i is vertex i
# moved by k along X, and its faces are the cube's with indices moved by 8k.
check_copies() { # OBJ COPIES
    awk -v copies="$2" '
        BEGIN {
            split("-0.5 -0.5 -0.5 0.5 -0.5 -0.5 0.5 0.5 -0.5 -0.5 0.5 -0.5 " \
                  "-0.5 -0.5 0.5 0.5 -0.5 0.5 0.5 0.5 0.5 -0.5 0.5 0.5", c, " ")
            split("1 4 3 2 5 6 7 8 1 2 6 5 3 4 8 7 2 3 7 6 1 5 8 4", q, " ")
        }
        $1 == "v" {
            i = nv++; k = int(i / 8); b = (i % 8) * 3
            if ($2 != c[b + 1] + k || $3 != c[b + 2] || $4 != c[b + 3])
                { print "vertex " i + 1 ": " $0; bad = 1 }
        }
        $1 == "f" {
            f = nf++; k = int(f / 6); b = (f % 6) * 4
            if (NF != 5) { print "face " f + 1 ": " $0; bad = 1; next }
            for (j = 1; j <= 4; ++j)
                if ($(j + 1) != q[b + j] + 8 * k) { print "face " f + 1 ": " $0; bad = 1 }
        }
        END {
            if (nv != 8 * (copies + 1) || nf != 6 * (copies + 1))
                { print nv " vertices and " nf " faces for " copies " copies"; bad = 1 }
            exit bad
        }' "$1"
}

expect_line() { # LOG LINE (Windows console output ends lines with CR LF)
    tr -d '\r' <"$1" | grep -qxF "$2" || complain "no line \"$2\" in $1"
}

awk 'BEGIN {
    split("-0.5 -0.5 -0.5 0.5 -0.5 -0.5 0.5 0.5 -0.5 -0.5 0.5 -0.5 " \
          "-0.5 -0.5 0.5 0.5 -0.5 0.5 0.5 0.5 0.5 -0.5 0.5 0.5", c, " ")
    for (i = 0; i < 8; ++i) print "v", c[3 * i + 1], c[3 * i + 2], c[3 * i + 3]
    print "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 3 4 8 7\nf 2 3 7 6\nf 1 5 8 4"
}' >"$work/cube.obj"

# OK with three copies one unit apart along X.
"$wine_run" "$runner" "$work/cube.obj" --out "$work" --name ok --count 3 --translation 1,0,0 "$@" \
    >"$work/ok.log" 2>&1 || complain "runner failed for OK: $(cat "$work/ok.log")"
expect_line "$work/ok.log" "MQInit = 1"
expect_line "$work/ok.log" "MQModifyObject = 1"
expect_line "$work/ok.log" "live objects = 0, stray host calls = 0"
check_copies "$work/ok.obj" 3 || complain "OK: wrong copies in ok.obj"

# Cancel leaves the cube alone, whatever was typed.
"$wine_run" "$runner" "$work/cube.obj" --out "$work" --name cancel --count 7 --translation 2,0,0 \
    --cancel "$@" \
    >"$work/cancel.log" 2>&1 || complain "runner failed for Cancel: $(cat "$work/cancel.log")"
expect_line "$work/cancel.log" "MQModifyObject = 0"
expect_line "$work/cancel.log" "live objects = 0, stray host calls = 0"
check_copies "$work/cancel.obj" 0 || complain "Cancel: the cube changed"

[ $fail = 0 ] && echo "runner_test: ok"
exit $fail
