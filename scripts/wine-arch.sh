# Sourced: picks the Wine loader and server for the build's arch (TARN_ARCH, default x86_64).
# Debian's /usr/bin/wine takes the 32-bit loader whenever wine32 is installed, and a machine that
# runs only 64-bit code cannot start it, so the loader is chosen here by path, never by that script.
# Exports WINELOADER and WINESERVER (Wine's own tools, winepath and regsvr32 among them, honour
# both) and defines the functions wine and wineserver for the calling script.
TARN_ARCH="${TARN_ARCH:-x86_64}"
case "$TARN_ARCH" in
  x86_64)
    WINELOADER=/usr/lib/wine/wine64
    export WINEARCH=win64 ;;
  i686)
    WINELOADER=/usr/lib/wine/wine
    export WINEARCH=win32 ;;
  *)
    echo "TARN_ARCH must be x86_64 or i686, not '$TARN_ARCH'" >&2
    return 1 2>/dev/null || exit 1 ;;
esac
# One 64-bit wineserver serves both kinds of client; the 32-bit one only where nothing else is.
if [ -x /usr/lib/wine/wineserver64 ]; then
  WINESERVER=/usr/lib/wine/wineserver64
else
  WINESERVER=/usr/lib/wine/wineserver32
fi
export TARN_ARCH WINELOADER WINESERVER
wine() { "$WINELOADER" "$@"; }
wineserver() { "$WINESERVER" "$@"; }
