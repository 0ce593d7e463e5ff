#!/usr/bin/env bash
# Sets up the machine, builds everything and runs the product as far as it exists:
#  1. registers the COM servers Mosk and TarnControls in the build's Wine prefix;
#  2. starts the framework (TarnHost.exe) and prints what start-up reports;
#  3. saves a new three-panel card, laid out by a document style with a page per panel, as a
#     stand-alone viewer program (build/demo/Card.exe);
#  4. opens that viewer program: on your display until you close it, or, when there is no
#     display, on a private Xvfb, keeping a screenshot in build/demo/Card.png.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
bash "$here/setup.sh"
bash "$here/build.sh"
source "$here/env.sh"
had_display="${DISPLAY:-}"
source "$here/xvfb.sh"
trap 'wineserver -k 2>/dev/null || true; [ -n "${TARN_XVFB_PID:-}" ] && kill "$TARN_XVFB_PID" 2>/dev/null || true' EXIT

bin="$TARN_BUILD/bin"
demo="$TARN_BUILD/demo"
mkdir -p "$demo"
cd "$bin"

for server in Mosk.dll TarnControls.dll; do
  wine regsvr32 /s "$server" && echo "registered $server"
done

echo "--- framework start-up"
wine TarnHost.exe /answer /values

echo "--- saving a card as a viewer program"
wine viewercopy_doc_tool.exe Pavane.exe "$(wine winepath -w "$demo/Card.exe" 2>/dev/null)" --styles
echo "wrote $demo/Card.exe"

echo "--- the viewer program"
if [ -n "$had_display" ]; then
  wine "$demo/Card.exe"
else
  wine "$demo/Card.exe" &
  viewer=$!
  sleep 6
  if command -v import >/dev/null; then
    import -window root "$demo/Card.png" && echo "screenshot: $demo/Card.png"
  fi
  kill "$viewer" 2>/dev/null || true
fi
