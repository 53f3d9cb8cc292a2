#!/bin/sh
# The release as a user gets it: the archive unpacked, every file against its sum, the manuals as
# Notepad wants them; then each module, taken from the unpacked folder, is installed into a
# modeller folder of the stand-in host's own (the host's programs, and the module in a plug-in
# folder beside them, none in the build tree) and the command runs end to end under the Wine of
# its word size. Usage: install_test.sh ROOT ARCHIVE BUILD WORK
set -eu
root=$1
archive=$2
build=$(cd "$3" && pwd)
work=$4
fail=0
complain() { echo "install_test: $*" >&2; fail=1; }

rm -rf "$work"
mkdir -p "$work/unpacked"
# Every entry inside one folder of the release's name, and nothing outside it.
python3 - "$archive" "$work/unpacked" <<'EOF' || exit 1
import sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
names = archive.namelist()
tops = {name.split("/")[0] for name in names}
if len(tops) != 1 or any(name.startswith("/") or ".." in name.split("/") for name in names):
    sys.exit("install_test: entries outside one top folder: %s" % names)
archive.extractall(sys.argv[2])
EOF
top=$(ls "$work/unpacked")
release=$work/unpacked/$top
. "$root/scripts/build.sh"
version=$(qv_version "$root")
[ "$top" = "quorvel_clone-$version" ] || complain "the archive's folder is $top, not quorvel_clone-$version"

# The sums cover every file, and every file matches its sum.
(cd "$release" && sha256sum --strict --quiet -c SHA256SUMS.txt) || complain "a sum does not match"
listed=$(tr -d '\r' <"$release/SHA256SUMS.txt" | sed 's/^[0-9a-f]*  //' | sort)
present=$(cd "$release" && find . -type f ! -name SHA256SUMS.txt | sed 's#^\./##' | sort)
[ "$listed" = "$present" ] || complain "the sums list
$listed
but the archive holds
$present"

# Notepad: the Japanese manual starts with a byte-order mark, and every text ends its lines CR LF.
[ "$(head -c 3 "$release/README-ja.txt" | od -An -tx1 | tr -d ' ')" = efbbbf ] ||
    complain "README-ja.txt has no byte-order mark"
for text in "$release"/*.txt; do
    [ "$(sed -n '/\r$/!p' "$text" | wc -l)" = 0 ] ||
        complain "$(basename "$text") has lines that do not end in CR LF"
done

# Each module in a modeller folder of its own, loaded from its plug-in folder by full path.
for bits in 32 64; do
    tree=$build/windows
    [ $bits = 32 ] || tree=$build/windows64
    module=$release/for-${bits}bit-modeller/quorvel_clone.dll
    [ -f "$module" ] || { complain "no for-${bits}bit-modeller/quorvel_clone.dll"; continue; }
    modeller=$work/modeller$bits
    mkdir -p "$modeller/Plugins/Command"
    cp "$tree/plugin/standin_runner.exe" "$tree/plugin/standin_host.dll" "$modeller/"
    cp "$module" "$modeller/Plugins/Command/"
    plugin="Z:$(echo "$modeller/Plugins/Command/quorvel_clone.dll" | tr / '\\')"
    QV_WINE_BUILD=$tree sh "$root/tests/plugin/runner_test.sh" "$root/scripts/wine-run.sh" \
        "$modeller/standin_runner.exe" "$work/run$bits" --plugin "$plugin" ||
        complain "the $bits-bit module from the archive failed end to end"
    tr -d '\r' <"$work/run$bits/ok.log" | grep -qxF "MQGetPlugInName = Quorvel -Clone- $version" ||
        complain "the $bits-bit module does not name itself Quorvel -Clone- $version"
done

[ $fail = 0 ] && echo "install_test: $top ok, under 32-bit and 64-bit Wine"
exit $fail
