#!/usr/bin/env bash
# Installs what the build and the Wine test bench need on a Debian 12 machine,
# registers qemu for 32-bit executables and compiles the Japanese locale.
# Safe to run again: every step checks first.
set -euo pipefail

need_root() { [ "$(id -u)" = 0 ] || { echo "setup: run as root to install $*" >&2; exit 1; }; }

pkgs_main="g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 xvfb xauth qemu-user-static fonts-ipafont-gothic locales cmake
  python3-pefile imagemagick clang googletest zip"
missing=""
for p in $pkgs_main wine32:i386; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  need_root "$missing"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends $missing
fi

# 32-bit Windows programs run under qemu-user: this kernel runs no i386 code itself.
bm=/proc/sys/fs/binfmt_misc
if [ ! -e "$bm/register" ]; then
  need_root "binfmt_misc"
  mount -t binfmt_misc binfmt_misc "$bm" 2>/dev/null || true
fi
if [ ! -e "$bm/qemu-i386" ]; then
  need_root "the qemu-i386 binfmt rule"
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' > "$bm/register"
fi
