#!/bin/sh
# Checks the module's PE headers: machine and format, export directory name, the seven exports
# with their ordinals, imports from system DLLs only, and no link time, symbols or debug sections;
# in 64 bits also that every export has unwind data, which the x64 convention requires of any
# function a stack walk may pass through.
# Usage: check_pe.sh OBJDUMP DLL [32|64]
set -eu
objdump=$1
dll=$2
bits=${3:-32}
dump=$(mktemp)
trap 'rm -f "$dump"' EXIT
"$objdump" -p "$dll" >"$dump"
fail=0
complain() { echo "check_pe: $*" >&2; fail=1; }

if [ "$bits" = 64 ]; then
    format=pei-x86-64 magic='020b[[:space:]]+\(PE32\+\)'
else
    format=pei-i386 magic='010b[[:space:]]+\(PE32\)'
fi
grep -Eq "file format $format\$" "$dump" || complain "not a $format module"
grep -Eq "^Magic[[:space:]]+$magic" "$dump" || complain "optional header is not $magic"

grep -Eq '^Name[[:space:]]+[0-9a-f]+ quorvel_clone\.dll$' "$dump" ||
    complain "export directory does not name the module quorvel_clone.dll"
grep -Eq '^Ordinal Base[[:space:]]+1$' "$dump" || complain "ordinal base is not 1"

# Name pointer table: index i holds the name with ordinal base + i.
exports=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' "$dump" |
    sed -n 's/^[[:space:]]*\[ *\([0-9]*\)\] \(.*\)$/\1 \2/p')
expected="0 MQCheckVersion
1 MQEnumString
2 MQGetPlugInID
3 MQGetPlugInName
4 MQGetPlugInType
5 MQInit
6 MQModifyObject"
[ "$exports" = "$expected" ] || complain "exports differ; found:
$exports"
# Seven addresses, one per ordinal, none forwarded or empty.
addresses=$(sed -n '/^Export Address Table/,/^$/p' "$dump" | grep -c 'Export RVA' || true)
[ "$addresses" = 7 ] || complain "$addresses export addresses, expected 7"

if [ "$bits" = 64 ]; then
    base=$(sed -n 's/^ImageBase[[:space:]]*//p' "$dump")
    begins=$(sed -n '/^The Function Table/,/^$/p' "$dump" | awk 'NF == 4 { print $2 }')
    for rva in $(sed -n 's/^.*+base\[ *[0-9]*\] \([0-9a-f]*\) Export RVA$/\1/p' "$dump"); do
        begin=$(printf '%016x' $((0x$base + 0x$rva)))
        echo "$begins" | grep -qx "$begin" || complain "export at RVA $rva has no unwind data"
    done
fi

# What users get is the same bytes from the same source, and nothing they do not need.
grep -Eq '^Time/Date stamp[[:space:]]+0$' "$dump" || complain "the PE header carries a link time"
"$objdump" -h "$dll" | grep -q ' \.debug' && complain "debug sections left in"
"$objdump" -t "$dll" | grep -qx 'no symbols' || complain "symbol table left in"

imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' "$dump" | tr 'A-Z' 'a-z' | sort -u)
for dll_name in $imports; do
    case $dll_name in
    kernel32.dll | user32.dll | advapi32.dll | msvcrt.dll) ;;
    *) complain "imports $dll_name" ;;
    esac
done
echo "$imports" | grep -qx kernel32.dll || complain "no kernel32 import table found"

[ $fail = 0 ] && echo "check_pe: $dll ok"
exit $fail
