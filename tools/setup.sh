#!/usr/bin/env bash
# Installs every Debian package the project needs to build, generate its data, run and test.
# Idempotent: installs only what is missing, and updates the package lists at most once.
set -euo pipefail

packages=(
  build-essential g++ clang lld cmake ninja-build pkg-config python3
  libsdl2-dev libepoxy-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-liberation2
  libvorbis-dev libcurl4-openssl-dev
  zlib1g-dev libzopfli-dev libjpeg62-turbo-dev libcairo2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth libgl1-mesa-dri xdotool x11-utils
  # The peak of the heap in the whole-program measures.
  heaptrack
  # The core fonts of the system's own message box (the fatal-error box) under Xvfb.
  xfonts-base
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
