#!/usr/bin/env bash
# Installs what is missing, builds, and runs the receiver on the bundled demo band,
# tuned to its upper-sideband station. Without a display it runs headless and writes
# the speaker audio to out/demo_usb.wav and the waterfall to out/demo_band.png; with one
# it plays the band in real time on the speaker card, over and over. Extra arguments go
# to orvandel (they override these).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target orvandel
exe=build/default/src/app/orvandel
demo=(--rx-file data/demo_band.wav --mode usb --offset 6000)
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  mkdir -p out
  "$exe" --headless --batch "${demo[@]}" --speaker-file out/demo_usb.wav --waterfall out/demo_band.png "$@"
  echo "The upper-sideband station of the demo band is in out/demo_usb.wav (12000 samples/s),"
  echo "the band's waterfall in out/demo_band.png."
  exit 0
fi
exec "$exe" "${demo[@]}" --rx-loop "$@"
