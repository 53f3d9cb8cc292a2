#!/bin/sh
# Every third-party piece that goes into what we build has its notice.
#   check_notices.sh modules MAP NOTICES   the runtime pieces in the module's link map, against the
#                                          "## " headings of notices/modules.txt
#   check_notices.sh tools SOURCE NOTICES  the third-party headers that standin_host/ and clone_tool/
#                                          include, against the "- " entries of notices/tools.txt
set -eu
mode=$1
input=$2
notices=$3
fail=0

# What the linker may take from the tool chain, and the heading of the notice that covers it. An
# import library of another system DLL needs a line here (and check_pe.sh's leave).
module_pieces='
crtbegin.o GCC runtime library
crtend.o GCC runtime library
libgcc.a GCC runtime library
libgcc_eh.a GCC runtime library
dllcrt2.o MinGW-w64 runtime
libmingw32.a MinGW-w64 runtime
libmingwex.a MinGW-w64 runtime
libmoldname.a MinGW-w64 runtime
libmsvcrt.a MinGW-w64 runtime
libkernel32.a MinGW-w64 runtime
libuser32.a MinGW-w64 runtime
libadvapi32.a MinGW-w64 runtime'

# Third-party headers the tools may include, and the name their notice entry starts with.
tool_headers='
tiny_obj_loader.h tinyobjloader
stb_image stb
fast_float/ fast_float'

case $mode in
modules)
    # Archive members the linker pulled in (the map's first section), and the objects it loaded
    # whole; our own libraries are named relative to the build tree.
    pieces=$({
        sed -n '/^Archive member included/,/^\(Allocating\|Discarded\|Memory\)/p' "$input" |
            sed -n 's#^\(/[^(]*\)(.*#\1#p'
        sed -n 's#^LOAD \(/.*\.o\)$#\1#p' "$input"
    } | sed 's#.*/##' | sort -u)
    [ -n "$pieces" ] || { echo "check_notices: no runtime pieces found in $input" >&2; exit 1; }
    for piece in $pieces; do
        heading=$(echo "$module_pieces" | sed -n "s/^$piece //p")
        if [ -z "$heading" ]; then
            echo "check_notices: the module links $piece, which no notice covers" >&2
            fail=1
        elif ! grep -qxF "## $heading" "$notices"; then
            echo "check_notices: the module links $piece; $notices has no \"## $heading\"" >&2
            fail=1
        fi
    done
    ;;
tools)
    includes=$(grep -rhoE '#include [<"][^>"]+[>"]' "$input/standin_host" "$input/clone_tool" | sort -u)
    echo "$tool_headers" | while read -r header name; do
        [ -n "$header" ] || continue
        echo "$includes" | grep -qF "$header" || continue
        grep -q "^- $name," "$notices" ||
            { echo "check_notices: the tools include $header; $notices has no entry for $name" >&2; exit 1; }
    done || fail=1
    ;;
*)
    echo "usage: check_notices.sh modules MAP NOTICES | tools SOURCE NOTICES" >&2
    exit 2
    ;;
esac
[ $fail = 0 ] && echo "check_notices: $mode ok"
exit $fail
