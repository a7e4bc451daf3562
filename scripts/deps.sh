#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the package need, when
# any is missing: as root, or through sudo for anyone else.
set -euo pipefail

packages=(
  g++ cmake make pkg-config clang-format
  libboost-regex1.74-dev zlib1g-dev libxml2-dev libzip-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  txt2pdbdoc python3
  qt6-base-dev fonts-dejavu-core
  desktop-file-utils dpkg-dev file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "deps.sh: these packages are missing and sudo is not installed; run this script as root once," >&2
    echo "or install them as root: apt-get install ${missing[*]}" >&2
    exit 1
  fi
  sudo="sudo"
fi
# sudo resets the environment, so the frontend is set inside it.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
