#!/usr/bin/env bash
# Sets up the machine, builds everything and runs the product as far as it exists:
# registers the COM servers in the build's Wine prefix and runs the storage benchmark.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
bash "$here/build.sh"
source "$here/env.sh"
source "$here/xvfb.sh"
trap 'wineserver -k 2>/dev/null || true; [ -n "${TARN_XVFB_PID:-}" ] && kill "$TARN_XVFB_PID" 2>/dev/null || true' EXIT
cd "$TARN_BUILD/bin"
for server in Mosk.dll TarnControls.dll; do
  [ -f "$server" ] && wine regsvr32 /s "$server" && echo "registered $server"
done
[ -f mosk-bench.exe ] && wine mosk-bench.exe
