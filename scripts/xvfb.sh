# Sourced: starts a private Xvfb when there is no display, and stops it when the script exits.
if [ -z "${DISPLAY:-}" ] || [ -n "${TARN_OWN_DISPLAY:-}" ]; then
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    TARN_XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    break
  done
fi
