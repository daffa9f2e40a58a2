#!/usr/bin/env bash
# A screenshot of the main window after a Kwic run on the sample project, taken on a virtual
# X display (Xvfb, installed when missing). Usage: scripts/screenshot.sh [PNG]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshot.png}
scripts/build.sh
if ! command -v xvfb-run >/dev/null; then
  run_as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
  DEBIAN_FRONTEND=noninteractive run_as_root apt-get install -y -qq --no-install-recommends xvfb xauth
fi
xvfb-run -a -s "-screen 0 1280x800x24" build/bin/wordloom samples/samples.wlm --kwic lantern --screenshot "$out"
echo "Saved $out"
