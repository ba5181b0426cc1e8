#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build and test the console.
# Idempotent: packages already installed are not touched.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang-format
  clang libclang-rt-14-dev llvm
  qt6-base-dev qt6-base-dev-tools libgl-dev
  tzdata locales xvfb xauth twm xfonts-base
  pkg-config libxcb-xkb-dev iproute2
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "setup.sh: not root and no sudo: run it as root to install ${missing[*]}" >&2
      exit 1
    fi
    sudo_cmd=(sudo)
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
