#!/usr/bin/env bash
# Makes a fresh Debian machine ready to build and test the project (run as root), for the arch
# TARN_ARCH (x86_64 by default, or i686). A second run with everything present only checks and returns.
set -euo pipefail
source "$(dirname "$0")/env.sh"

common=(
  cmake ninja-build make python3 mingw-w64-tools libz-mingw-w64-dev googletest libwine-dev
  xvfb x11-utils imagemagick
  python3-olefile python3-pefile python3-pil python3-cairo
  python3-numpy python3-shapely python3-pyclipper python3-mpmath python3-fonttools python3-freetype
  fonts-dejavu-core fonts-liberation2 libasound2
  dpkg-dev nasm
)
case "$TARN_ARCH" in
  # No wine32 here: a machine may not run 32-bit code at all, and with wine32 present
  # Debian's wine script would pick the 32-bit loader.
  x86_64) arch_packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64) ;;
  i686)   arch_packages=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev wine wine32:i386 libasound2:i386) ;;
esac
packages=("${common[@]}" "${arch_packages[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  if [ "$TARN_ARCH" = i686 ]; then
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The viewer's JPEG library, cross-built once per build folder (skipped by partial builds without the viewer).
case ";${TARN_FOLDERS:-viewer};" in
  *";viewer;"*) bash "$(dirname "$0")/libjpeg.sh" ;;
esac
