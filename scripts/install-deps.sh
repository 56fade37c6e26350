#!/usr/bin/env bash
# Installs the Debian packages Basekeep needs to build, run and test.
# Idempotent: apt runs only when a package is missing.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build git clang-format
  qt6-base-dev qt6-svg-dev libgl-dev
  firebird3.0-server firebird3.0-utils libfbclient2 firebird-dev
  libgtest-dev libbackward-cpp-dev libdw-dev
  xvfb xauth x11-utils fonts-dejavu-core procps
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
