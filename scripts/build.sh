#!/usr/bin/env bash
# Configures and builds everything into build/ (or $TARN_BUILD) for the arch TARN_ARCH
# (x86_64 by default, or i686), and prepares the Wine prefix of that arch.
set -euo pipefail
source "$(dirname "$0")/env.sh"

if [ ! -f "$TARN_BUILD/CMakeCache.txt" ]; then
  cmake -S "$TARN_SOURCE" -B "$TARN_BUILD" -G Ninja ${TARN_FOLDERS:+-DTARN_FOLDERS="$TARN_FOLDERS"} \
        -DCMAKE_TOOLCHAIN_FILE="$TARN_SOURCE/cmake/toolchain-mingw.cmake" -DTARN_ARCH="$TARN_ARCH" \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$TARN_BUILD" -j "${TARN_JOBS:-$(nproc)}"

# A prefix of the build's arch, made once; later runs reuse it.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wine wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
