#!/usr/bin/env bash
# Builds everything, then opens the application on the sample project. Without a display, it
# shows wordloom-cli at work on the samples instead and says how to start the application.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cli=build/bin/wordloom-cli

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/bin/wordloom "$PWD/samples/samples.wlm"
fi

echo "== The sample project (samples/samples.wlm)"
"$cli" info samples/samples.wlm
echo
echo "== A fresh scan of the sample texts, with their reference tags"
"$cli" info --refs type1 samples/harbour.txt samples/orchard.txt samples/lanterns.txt
echo
echo "== Lantern in context, cited by act, speaker and line"
"$cli" kwic --refs type1 samples/lanterns.txt --keys "lantern lanterns" --cite ASL --context 50 2>build/run-counts.txt |
  tr -d '\r'
cat build/run-counts.txt
echo
echo "== The words of the samples used ten times or more, most frequent first"
"$cli" wordlist samples/samples.wlm --order 4 --layout left --freq --keywords --kw clear --kw add:gt:9 \
  2>build/run-counts.txt | tr -d '\r'
echo
cat build/run-counts.txt
echo
echo "== Their frequency profile"
"$cli" profile samples/samples.wlm 2>/dev/null | tr -d '\r'

echo
echo "== No display here, so the desktop application was not started. On a desktop, run"
echo "   build/bin/wordloom samples/samples.wlm"
echo "   (or scripts/screenshot.sh for a picture of it on a virtual display)."
