#!/usr/bin/env bash
# Makes a fresh Debian machine ready to build and test the project (run as root).
# A second run with everything present only checks and returns.
set -euo pipefail

packages=(
  cmake ninja-build make python3
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-tools mingw-w64-i686-dev
  libz-mingw-w64-dev googletest
  wine wine32:i386 libwine-dev
  xvfb x11-utils imagemagick
  python3-olefile python3-pefile python3-pil python3-cairo
  dpkg-dev nasm
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The viewer's JPEG library, cross-built once per build folder (skipped by partial builds without the viewer).
case ";${TARN_FOLDERS:-viewer};" in
  *";viewer;"*) bash "$(dirname "$0")/libjpeg.sh" ;;
esac
