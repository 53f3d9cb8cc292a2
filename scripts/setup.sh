#!/usr/bin/env bash
# Installs everything the native and the Windows builds and their tests need, from Debian's packages.
# Idempotent and non-interactive; takes seconds when everything is already there.
set -euo pipefail
. "$(dirname "$0")/prologue.sh"
export DEBIAN_FRONTEND=noninteractive

packages=(
  cmake g++ make googletest libgtest-dev libbenchmark-dev libglm-dev libeigen3-dev
  g++-mingw-w64-i686 mingw-w64-tools binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 fonts-wine xvfb xauth x11-apps netpbm fonts-ipafont-gothic locales
  libtinyobjloader-dev libfast-float-dev libstb-dev python3 clang-14 libclang-rt-14-dev gnuplot-nox
)

missing=()
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  missing=("${packages[@]}")
else
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
fi
if [ ${#missing[@]} -gt 0 ]; then
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Some kernels here refuse 32-bit programs; then run them through qemu-user (and keep a handler
# already registered on a working emulator).
. "$root/scripts/qemu-user.sh"
if [ -e "$qv_qemu_entry" ] || ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
  qv_qemu_install
  qv_qemu_register
  /lib/ld-linux.so.2 --version >/dev/null 2>&1 || { echo "setup: 32-bit programs still refused" >&2; exit 1; }
fi
echo "setup: ready"
