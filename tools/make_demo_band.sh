#!/usr/bin/env bash
# Remakes data/demo_band.wav from speech spoken by espeak-ng (apt-get install espeak-ng).
# Usage: tools/make_demo_band.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
cmake --build "$build" --target make_demo_band
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
espeak-ng -v en-us -s 145 -w "$work/usb.wav" \
  "CQ CQ CQ, this is the Orvandel demo station calling on the upper sideband. Please come back."
espeak-ng -v en-gb -s 135 -p 30 -w "$work/lsb.wav" \
  "Good evening, the lower sideband net is open. Signals are fine here, seventy three."
"$build/tools/make_demo_band" data/demo_band.wav "$work/usb.wav" "$work/lsb.wav" 12
# The speech stays next to the band: the tests compare what the receiver gives back.
cp "$work/usb.wav" data/demo_usb_speech.wav
cp "$work/lsb.wav" data/demo_lsb_speech.wav
echo "wrote data/demo_band.wav, data/demo_usb_speech.wav and data/demo_lsb_speech.wav"
