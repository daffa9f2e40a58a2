#!/usr/bin/env bash
# The source coverage that the fuzz corpora reach: replays each target's corpus in
# build-fuzz/corpus/ (after scripts/fuzz.sh; the seeds otherwise) in a clang coverage build in
# build-cov/ and prints llvm-cov's report of the engine and command-line files it runs.
# Usage: scripts/fuzz_coverage.sh [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(project_file text_reader concordance keyword_edits cli_arguments)
CC=clang CXX=clang++ cmake -S . -B build-cov -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-fprofile-instr-generate -fcoverage-mapping" -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate" \
  -DWORDLOOM_BUILD_APP=OFF -DWORDLOOM_BUILD_BENCH=OFF >/dev/null
cmake --build build-cov -j "$(nproc)" $(printf -- '--target fuzz_%s ' "${targets[@]}")
# The files each target is about.
declare -A files=(
  [project_file]="src/engine/project/project_reader.cpp src/engine/project/field_reader.cpp src/engine/project/project_writer.cpp"
  [text_reader]="src/engine/scan/text_reader.cpp src/engine/scan/reference_markup.cpp src/engine/scan/vocabulary.cpp src/engine/scan/word_counter.cpp src/engine/scan/run_files.cpp"
  [concordance]="src/engine/concordance/kwic_pass.cpp src/engine/concordance/line_pass.cpp src/engine/concordance/key_search.cpp src/engine/concordance/match_key.cpp src/engine/concordance/citation.cpp src/engine/concordance/citation_sort.cpp src/engine/concordance/writers.cpp src/engine/concordance/concordance_run.cpp"
  [keyword_edits]="src/engine/lists/keyword_selection.cpp src/cli/source.cpp"
  [cli_arguments]="src/cli/arguments.cpp"
)
for target in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$target
  [ -d "$corpus" ] || corpus=fuzz/corpus/$target
  LLVM_PROFILE_FILE="build-cov/$target.profraw" build-cov/bin/fuzz_"$target" "$corpus" fuzz/regressions/"$target" \
    2>/dev/null | tail -n 1
  llvm-profdata merge -o "build-cov/$target.profdata" "build-cov/$target.profraw"
  echo "== $target"
  # shellcheck disable=SC2086
  llvm-cov report build-cov/bin/fuzz_"$target" -instr-profile="build-cov/$target.profdata" ${files[$target]} |
    awk 'NR > 2 && !/^-/ { n = split($1, path, "/"); printf "  %-24s regions %8s  lines %8s\n", path[n], $4, $10 }'
done
