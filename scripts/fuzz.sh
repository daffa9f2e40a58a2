#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (AddressSanitizer and UndefinedBehavior-
# Sanitizer on) in build-fuzz/, then runs each for SECONDS (default 60), one after another,
# from its seeds in fuzz/corpus/. A finding stops the run and is left in build-fuzz/findings/:
# copy it into fuzz/regressions/TARGET/ once fixed, so that it runs with the tests.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(project_file text_reader concordance keyword_edits cli_arguments unicode index_reader)

scripts/install-deps.sh
if ! command -v clang++ >/dev/null || ! dpkg-query -W -f='${Status}' libclang-rt-dev 2>/dev/null | grep -q "ok installed"; then
  run_as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
  DEBIAN_FRONTEND=noninteractive run_as_root apt-get install -y -qq --no-install-recommends clang libclang-rt-dev
fi
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g" -DCMAKE_CXX_FLAGS="$flags" -DWORDLOOM_FUZZ=ON \
  -DWORDLOOM_BUILD_TESTS=OFF -DWORDLOOM_BUILD_BENCH=OFF -DWORDLOOM_BUILD_APP=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" $(printf -- '--target fuzz_%s ' "${targets[@]}")

for target in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$target
  findings=build-fuzz/findings/$target
  mkdir -p "$corpus" "$findings"
  cp -n fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
  echo "== fuzz_$target for $seconds s"
  ASAN_OPTIONS=detect_leaks=1 build-fuzz/bin/fuzz_"$target" "$corpus" -max_total_time="$seconds" \
    -max_len=8192 -artifact_prefix="$findings/" -print_final_stats=1 2>&1 | grep -E "^(#|Done|stat::|==|SUMMARY|fuzz check)" | tail -n 12
done
