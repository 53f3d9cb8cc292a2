#!/usr/bin/env bash
# The 32-bit Windows suites once more, through qemu-user, on a machine that runs 32-bit programs
# natively: the tests of the 32-bit Windows tree and the native tests that start it under Wine.
# Registers qemu-user for 32-bit programs for this run only and removes it afterwards, however the
# run ends. Where 32-bit programs already run through qemu-user it registers and removes nothing.
# Runs on the trees scripts/test.sh built. Needs root.
set -euo pipefail
. "$(dirname "$0")/prologue.sh"
. "$root/scripts/qemu-user.sh"
. "$root/scripts/wine-env.sh"

registered=0 wine_started=0 child=
finish() {
    [ -z "$child" ] || kill "$child" 2>/dev/null || true
    [ "$wine_started" = 0 ] || qv_wine_stop "$build/windows"
    if [ "$registered" = 1 ]; then
        qv_qemu_unregister
        echo "test-emulated: qemu-user handler removed; $(qv_i386_path)"
    fi
}
trap finish EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM
# Commands run in the background and are waited for, so that a signal ends the run at once.
run() {
    "$@" &
    child=$!
    wait "$child"
    child=
}

if [ -z "$(qv_i386_emulator)" ]; then
    qv_i386_native || { echo "test-emulated: 32-bit programs are refused; run scripts/setup.sh" >&2; exit 1; }
    qv_qemu_install
    # Marked first, so that an interruption while registering still removes the handler.
    registered=1
    qv_qemu_register
fi
echo "test-emulated: $(qv_i386_path)"
[ -n "$(qv_i386_emulator)" ] || { echo "test-emulated: qemu-user is not in use" >&2; exit 1; }

wine_started=1
qv_wine_start "$build/windows"
# ctest reads the test presets from the folder it starts in.
cd "$root"
run ctest --preset windows
run ctest --preset native-wine
