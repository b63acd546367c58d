#!/usr/bin/env bash
# Installs what Pomvex needs to build, test and run on Debian (as root, or with sudo).
set -euo pipefail
packages=(build-essential cmake pkg-config libgtest-dev libgmock-dev libcli11-dev qt6-base-dev
          libreoffice-writer-nogui libreoffice-math-nogui abiword poppler-utils unzip
          clang libclang-rt-14-dev
          man-db mandoc lintian
          fonts-liberation fontconfig xvfb openbox xdotool x11-utils
          g++-mingw-w64-x86-64 googletest wine wine64 nsis imagemagick appstream tidy)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
