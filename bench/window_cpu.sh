#!/usr/bin/env bash
# The window's own cost: orvandel in its window under Xvfb, receiving the demo band in
# real time (48000 samples/s, speaker to /dev/null), for SECONDS seconds after a 5 s
# warm-up; prints the processor time it used as a share of one core.
# Usage: bench/window_cpu.sh [build/default/src/app/orvandel] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
exe="${1:-build/default/src/app/orvandel}"
seconds="${2:-30}"
command -v xvfb-run >/dev/null || { echo "xvfb-run is needed (apt-get install xvfb)"; exit 2; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# A stand-in mixer keeps the no-mixer notice from waiting for a click.
mkdir -p "$dir/bin" && printf '#!/bin/sh\nexit 0\n' > "$dir/bin/pavucontrol" && chmod +x "$dir/bin/pavucontrol"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  PATH="'"$dir"'/bin:$PATH" "'"$exe"'" --dir "'"$dir"'/settings" --rx-file data/demo_band.wav --rx-loop \
    --speaker-file /dev/null --mode usb --offset 6000 2>/dev/null &
  pid=$!
  sleep 5
  ticks() { awk "{print \$14 + \$15}" /proc/$pid/stat; }
  start=$(ticks)
  sleep '"$seconds"'
  used=$(( $(ticks) - start ))
  hz=$(getconf CLK_TCK)
  kill -TERM $pid; wait $pid || true
  awk -v u=$used -v hz=$hz -v s='"$seconds"' "BEGIN { printf \"window on the demo band: %.2f s of processor in %d s: %.1f %% of one core\n\", u/hz, s, 100*u/hz/s }"
'
