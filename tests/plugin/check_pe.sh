#!/bin/sh
# Checks the module's PE headers: export directory name, the seven exports with their ordinals,
# and imports from system DLLs only. Usage: check_pe.sh OBJDUMP DLL
set -eu
objdump=$1
dll=$2
dump=$(mktemp)
trap 'rm -f "$dump"' EXIT
"$objdump" -p "$dll" >"$dump"
fail=0
complain() { echo "check_pe: $*" >&2; fail=1; }

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
