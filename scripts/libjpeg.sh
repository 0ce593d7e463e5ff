#!/usr/bin/env bash
# Cross-builds libjpeg-turbo from Debian's source package as a static Windows library of the build's arch with the
# classic 6b interface, into $TARN_BUILD/deps/libjpeg (lib/libjpeg.a, include/jpeglib.h).
# The result is cached: a second run with the library present returns at once.
set -euo pipefail
source "$(dirname "$0")/env.sh"

prefix="$TARN_BUILD/deps/libjpeg"
work="$TARN_BUILD/deps/libjpeg-build"
if [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jpeglib.h" ]; then
  exit 0
fi

# apt-get source needs a deb-src entry for the machine's own suite.
suite="$(. /etc/os-release && echo "$VERSION_CODENAME")"
if ! apt-get source --print-uris libjpeg-turbo >/dev/null 2>&1; then
  cat >/etc/apt/sources.list.d/tarn-deb-src.sources <<EOF
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $suite
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  apt-get update -qq
fi

rm -rf "$work"
mkdir -p "$work"
(cd "$work" && apt-get source -qq libjpeg-turbo >/dev/null)
src="$(find "$work" -mindepth 1 -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)"
[ -n "$src" ] || { echo "libjpeg-turbo sources not unpacked" >&2; exit 1; }

cmake -S "$src" -B "$work/build" -G Ninja -Wno-dev \
      -DCMAKE_TOOLCHAIN_FILE="$TARN_SOURCE/cmake/toolchain-mingw.cmake" -DTARN_ARCH="$TARN_ARCH" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
      -DCMAKE_C_FLAGS="-msse2 -mfpmath=sse" \
      -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
      -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF -DWITH_SIMD=ON -DREQUIRE_SIMD=OFF >/dev/null
cmake --build "$work/build" -j 3 --target install >/dev/null
rm -rf "$work"
echo "libjpeg built into $prefix"
