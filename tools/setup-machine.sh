#!/usr/bin/env bash
# Installs what building, running and testing need on Debian 12. A second
# run on a machine that has everything installs nothing.
set -euo pipefail

packages=(
  cmake make g++ googletest file                 # host build and unit tests
  g++-mingw-w64-i686                              # the Windows build's headers, libraries and C++ library
  clang-14 lld-14 llvm-14                         # its compiler, linker and archiver (full LTO)
  wine wine64 wine32:i386 fonts-wine              # running setup.exe
  xvfb xauth imagemagick                          # a virtual display and screenshots
  icoutils libimage-exiftool-perl liblnk-utils    # reading icons, version blocks and shortcuts back
  osslsigncode openssl unzip                      # signing the kit, checking its signature and zip
)

needs_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || needs_i386=1
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if [ "$needs_i386" = 0 ] && [ "${#missing[@]}" = 0 ]; then
  echo "setup-machine: everything is installed"
  exit 0
fi
if [ "$(id -u)" != 0 ]; then
  echo "setup-machine: missing ${missing[*]}${needs_i386:+ (and the i386 architecture)}; run this as root" >&2
  exit 1
fi
[ "$needs_i386" = 1 ] && dpkg --add-architecture i386
echo "setup-machine: installing ${missing[*]}"
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
