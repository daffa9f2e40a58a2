#!/usr/bin/env bash
# Builds everything and runs every test (unit tests and, when ../shared is present, the shared
# conformance cases).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
