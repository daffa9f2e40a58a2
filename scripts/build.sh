#!/usr/bin/env bash
# Configures and builds Wordloom in build/ (Release with debug information).
# Usage: scripts/build.sh [extra cmake arguments]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build -j "$(nproc)"
