# Sourced by the scripts: where the build and its Wine prefix live.
TARN_SOURCE="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
TARN_BUILD="${TARN_BUILD:-$TARN_SOURCE/build}"
export WINEPREFIX="$TARN_BUILD/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32 2>/dev/null || true
