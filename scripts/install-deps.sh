#!/usr/bin/env bash
# Installs the Debian packages Orvandel builds and tests with, only those missing.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config
          qt6-base-dev qt6-serialport-dev portaudio19-dev libasound2-dev libsndfile1-dev libpng-dev fonts-dejavu-core
          googletest libgtest-dev libgmock-dev libbenchmark-dev
          clang libclang-rt-14-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
