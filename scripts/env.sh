# Sourced by the scripts: where the build and its Wine prefix live, and which arch it is for.
TARN_SOURCE="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TARN_BUILD="${TARN_BUILD:-$TARN_SOURCE/build}"
# A configured build folder keeps its arch; a new one takes TARN_ARCH (default x86_64).
if [ -f "$TARN_BUILD/CMakeCache.txt" ]; then
  built_arch="$(sed -n 's/^TARN_ARCH:[A-Z]*=//p' "$TARN_BUILD/CMakeCache.txt")"
  if [ -n "${TARN_ARCH:-}" ] && [ -n "$built_arch" ] && [ "$TARN_ARCH" != "$built_arch" ]; then
    echo "$TARN_BUILD is built for $built_arch, not $TARN_ARCH: pick another TARN_BUILD" >&2
    exit 1
  fi
  TARN_ARCH="${built_arch:-${TARN_ARCH:-x86_64}}"
fi
export TARN_ARCH="${TARN_ARCH:-x86_64}"
export WINEPREFIX="$TARN_BUILD/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
source "$TARN_SOURCE/scripts/wine-arch.sh"
