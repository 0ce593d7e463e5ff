#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test (GoogleTest programs under Wine,
# Python checks of the file formats).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
bash "$here/build.sh"
source "$here/env.sh"
source "$here/xvfb.sh"

wineserver -k 2>/dev/null || true   # a server left over from an earlier run of this prefix
wineserver -p   # one persistent server for the whole run
wine cmd /c exit >/dev/null 2>&1 </dev/null || true   # start Wine's services once, outside ctest
# The common faces map onto the installed Liberation fonts (sans, serif, mono), as on Windows.
wine regedit /S "$(wine winepath -w "$here/wine-fonts.reg" 2>/dev/null)" >/dev/null 2>&1 </dev/null || true
# Sound goes through Wine's ALSA driver: tests that play give it a silent device of their own.
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1 </dev/null || true
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -n "${TARN_XVFB_PID:-}" ] && kill "$TARN_XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

cd "$TARN_BUILD"
ctest --output-on-failure -j "${TARN_JOBS:-$(nproc)}" "$@"
