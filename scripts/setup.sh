#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test QorBVN.
# Idempotent: it installs only what is missing and can be run before every build.
set -euo pipefail

need=()
want_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed' || need+=("$1"); }

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  updated=no
fi

for p in cmake ninja-build g++ g++-multilib gcc-multilib g++-mingw-w64-i686 \
         wine wine32:i386 socat clang libclang-rt-14-dev googletest \
         libcli11-dev python3-serial strace valgrind binutils-mingw-w64-i686 \
         libedit-dev:i386 libbenchmark-dev:i386 zip; do
  want_pkg "$p"
done

if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
echo "setup: ready"
