#!/usr/bin/env bash
# Installs the Debian packages that building, testing and benchmarking Wordloom need, when
# any is missing. Run as root (or with sudo available) on Debian 12 or later.
set -euo pipefail

packages=(g++ make cmake ninja-build python3 time pkg-config
          libgtest-dev libgmock-dev libbenchmark-dev qt6-base-dev libicu-dev libre2-dev)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
run_as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
export DEBIAN_FRONTEND=noninteractive
run_as_root apt-get update -qq
run_as_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
