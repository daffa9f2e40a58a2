#!/usr/bin/env bash
# The benchmarks: the vocabulary scan of `wordloom-cli new` on 60 MB and 300 MB synthetic
# corpora against a tr | sort | uniq pipeline in the same run, with peak memory; then the
# concordance runs against grep; then the memory of the word lists and the engine benchmarks
# (scan, opening a project, list sort).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cli=build/bin/wordloom-cli
data=build/bench-data
mkdir -p "$data/scratch"
timings="$PWD/$data/time"  # absolute: some runs start in another folder
for size in 60 300; do
  [ -f "$data/corpus$size.txt" ] || build/bin/wordloom-make-corpus "$data/corpus$size.txt" "$size"
done

# Best of three runs: seconds and peak memory (KB).
best_of_three() {
  local best="" line
  for _ in 1 2 3; do
    /usr/bin/time -o "$timings" -f "%e %M" "$@" >/dev/null 2>&1
    line=$(tail -n 1 "$timings")
    if [ -z "$best" ] || awk -v a="${line%% *}" -v b="${best%% *}" 'BEGIN { exit !(a < b) }'; then best=$line; fi
  done
  echo "$best"
}

for size in 60 300; do
  corpus="$data/corpus$size.txt"
  read -r seconds memory < <(best_of_three "$cli" new "$data/p$size.wlm" --temp "$data/scratch" --threads 1 "$corpus")
  mb=$(awk -v s="$size" -v t="$seconds" 'BEGIN { printf "%.0f", s / t }')
  echo "wordloom-cli new, ${size} MB: ${seconds} s, ${mb} MB/s, peak memory $((memory / 1024)) MB"
  "$cli" info "$data/p$size.wlm" | sed -n 2p
  if [ "$size" = 60 ]; then  # the same scan on two threads
    read -r seconds2 memory2 < <(best_of_three "$cli" new "$data/p60t2.wlm" --temp "$data/scratch" --threads 2 "$corpus")
    mb2=$(awk -v s="$size" -v t="$seconds2" 'BEGIN { printf "%.0f", s / t }')
    echo "wordloom-cli new --threads 2, 60 MB: ${seconds2} s, ${mb2} MB/s, peak memory $((memory2 / 1024)) MB"
  fi
  if [ "$size" = 60 ]; then
    start=$(date +%s.%N)
    LC_ALL=C tr -cs "A-Za-z'0-9-" '\n' <"$corpus" | tr A-Z a-z | sort | uniq -c >/dev/null
    pipeline=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.2f", e - s }')
    ratio=$(awk -v p="$pipeline" -v t="$seconds" 'BEGIN { printf "%.1f", p / t }')
    ratio2=$(awk -v p="$pipeline" -v t="$seconds2" 'BEGIN { printf "%.1f", p / t }')
    echo "tr | sort | uniq pipeline, 60 MB: ${pipeline} s (wordloom-cli new is ${ratio} times faster," \
         "${ratio2} times on two threads)"
  fi
done

# UTF-8 texts: the 60 MB corpus with curly quotes and accented words, scanned as a UTF-8
# project and, in the same run, as a Windows-1252 one; then the same corpus in Cyrillic
# letters, and in Chinese ideographs cut by Unicode's word boundaries.
unicode="$data/unicode"
mkdir -p "$unicode"
[ -f "$unicode/chinese.txt" ] || python3 bench/unicode_corpora.py "$data/corpus60.txt" "$unicode"
scan_rate() {  # NAME FILE OPTIONS...: the scan of `new`, best of three
  local name=$1 file=$2 seconds memory mb
  shift 2
  read -r seconds memory < <(best_of_three "$cli" new "$unicode/p.wlm" --temp "$data/scratch" "$@" "$file")
  mb=$(awk -v b="$(stat -c %s "$file")" -v t="$seconds" 'BEGIN { printf "%.0f", b / 1e6 / t }')
  echo "wordloom-cli new, $name: ${seconds} s, ${mb} MB/s, peak memory $((memory / 1024)) MB"
  eval "rate_$(tr -c 'a-z0-9\n' _ <<<"${name%% *}")=$mb"
}
scan_rate "utf8 (Latin, $(($(stat -c %s "$unicode/latin.txt") / 1000000)) MB) as UTF-8" "$unicode/latin.txt" --encoding utf-8
scan_rate "cp1252 (the same bytes) as Windows-1252" "$unicode/latin.txt" --encoding windows-1252
echo "UTF-8 scan at $(awk -v u="$rate_utf8" -v w="$rate_cp1252" 'BEGIN { printf "%.0f", 100 * u / w }') % of the Windows-1252 scan"
scan_rate "Cyrillic ($(($(stat -c %s "$unicode/cyrillic.txt") / 1000000)) MB)" "$unicode/cyrillic.txt" --encoding utf-8
scan_rate "Chinese ($(($(stat -c %s "$unicode/chinese.txt") / 1000000)) MB), Unicode word boundaries" \
  "$unicode/chinese.txt" --encoding utf-8 --words unicode
echo

# Concordance runs on the 60 MB project (opening it included), each against grep in the same
# run: a rare key (708 finds) and "the" ordered by right context.
echo
for query in "broor" "the --order right"; do
  key=${query%% *}
  read -r grepSeconds _ < <(best_of_three bash -c "LC_ALL=C grep -F -o -w -i $key $data/corpus60.txt | wc -l")
  # shellcheck disable=SC2086
  read -r seconds memory < <(best_of_three "$cli" kwic "$data/p60.wlm" --temp "$data/scratch" --keys $query)
  # shellcheck disable=SC2086
  counts=$("$cli" kwic "$data/p60.wlm" --temp "$data/scratch" --keys $query 2>&1 >/dev/null | tail -n 1)
  ratio=$(awk -v g="$grepSeconds" -v t="$seconds" 'BEGIN { printf "%.1f", t / g }')
  echo "wordloom-cli kwic --keys $query, 60 MB:${counts}, ${seconds} s, peak memory $((memory / 1024)) MB;" \
       "grep -F -o -w -i $key: ${grepSeconds} s (ratio ${ratio})"
done

# Kwic of a rare key on the 60 MB text file itself, which is not scanned, against grep.
read -r grepSeconds _ < <(best_of_three bash -c "LC_ALL=C grep -F -o -w -i broor $data/corpus60.txt | wc -l")
read -r seconds memory < <(best_of_three "$cli" kwic "$data/corpus60.txt" --temp "$data/scratch" --keys broor)
echo "wordloom-cli kwic corpus60.txt --keys broor: ${seconds} s, peak memory $((memory / 1024)) MB;" \
     "grep: ${grepSeconds} s (ratio $(awk -v g="$grepSeconds" -v t="$seconds" 'BEGIN { printf "%.1f", t / g }'))"

# The hit store on the 60 MB project: "the" kept as data, the table's first screen, sorting,
# contexts and export, and the phrase "of the" against the run of "the".
build/bin/wordloom-hits-bench "$data/p60.wlm" the "of the"

# The analyses on the 60 MB project, each a whole wordloom-cli run (opening the project too),
# best of three, with its peak memory; keyness against a second 60 MB project of other text.
[ -f "$data/corpus60b.txt" ] || build/bin/wordloom-make-corpus "$data/corpus60b.txt" 60 2026
[ -f "$data/p60b.wlm" ] || "$cli" new "$data/p60b.wlm" --temp "$data/scratch" "$data/corpus60b.txt" >/dev/null 2>&1
analysis() {  # NAME ARGS...
  local name=$1 seconds memory
  shift
  read -r seconds memory < <(best_of_three "$cli" "$@" --temp "$data/scratch")
  echo "wordloom-cli $name, 60 MB: ${seconds} s, peak memory $((memory / 1024)) MB"
}
analysis "collocates \"the\" (5/5)" collocates "$data/p60.wlm" --keys the
analysis "ngrams 2..4" ngrams "$data/p60.wlm" --n 2..4
analysis "clusters of \"the\" 2..4" clusters "$data/p60.wlm" --keys the --n 2..4
analysis "dispersion of \"the\" by file" dispersion "$data/p60.wlm" --keys the
analysis "keyness against a second 60 MB project" keyness "$data/p60.wlm" --reference "$data/p60b.wlm"
analysis "plot of \"the\" (PNG)" plot "$data/p60.wlm" --keys the --out "$data/plot.png"
[ -x build/bin/wordloom-plot-bench ] && build/bin/wordloom-plot-bench 700000

# The positional index beside a project: `new` with it and without it (its place taken by a
# folder, so the texts are read instead; that scan still records the tokens for a build that
# then cannot write the index), its size, `new` again with the index kept (the scan alone),
# and passes over the tokens read from it
# against the same passes reading the texts; then the same on a 600 MB corpus, for the memory.
index_runs() {  # SIZE: the corpus of SIZE MB
  local size=$1 corpus="$data/corpus$1.txt" with="$data/x$1.wlm" without="$data/y$1.wlm" seconds memory bytes
  [ -f "$corpus" ] || build/bin/wordloom-make-corpus "$corpus" "$size"
  rm -rf "${with%.wlm}.wlx" "${without%.wlm}.wlx" && mkdir "${without%.wlm}.wlx"
  read -r seconds memory < <(best_of_three "$cli" new "$without" --temp "$data/scratch" "$corpus")
  echo "wordloom-cli new without an index, $size MB: ${seconds} s, peak memory $((memory / 1024)) MB"
  # The index is removed before each run: `new` keeps an index that still matches.
  read -r seconds memory < <(best_of_three bash -c "rm -f '${with%.wlm}.wlx' && '$cli' new '$with' --temp '$data/scratch' '$corpus'")
  bytes=$(stat -c %s "${with%.wlm}.wlx")
  echo "wordloom-cli new with its index, $size MB: ${seconds} s, peak memory $((memory / 1024)) MB;" \
       "index $((bytes / 1000000)) MB, $(awk -v i="$bytes" -v t="$(stat -c %s "$corpus")" 'BEGIN { printf "%.2f", i / t }') times the text"
  # `new` again: its index holds the texts, so the scan records nothing and the index is kept.
  local total=$seconds plain
  read -r plain memory < <(best_of_three "$cli" new "$with" --temp "$data/scratch" "$corpus")
  echo "  the scan alone (the index kept), $size MB: ${plain} s, peak memory $((memory / 1024)) MB; the index" \
       "build takes $(awk -v t="$total" -v p="$plain" 'BEGIN { printf "%.2f", (t - p) / p }') times the scan"
  for run in "kwic --keys broor" "kwic --keys broor --format tsv" "line --keys broor" "collocates --keys broor" \
             "collocates --keys the" "wordlist --format tsv" "dispersion --keys the"; do
    for project in "$with" "$without"; do
      # shellcheck disable=SC2086
      read -r seconds memory < <(best_of_three "$cli" ${run%% *} "$project" --temp "$data/scratch" ${run#* })
      echo "  wordloom-cli $run, $size MB, $([ "$project" = "$with" ] && echo "from the index" || echo "from the texts"):" \
           "${seconds} s, peak memory $((memory / 1024)) MB"
    done
  done
  for project in "$with" "$without"; do
    read -r seconds memory < <(best_of_three "$cli" kwic "$project" --temp "$data/scratch" --keys "broor {0,3} the" \
                                 --search phrase --format tsv)
    echo "  wordloom-cli kwic --keys \"broor {0,3} the\" --search phrase --format tsv, $size MB," \
         "$([ "$project" = "$with" ] && echo "from the index" || echo "from the texts"): ${seconds} s, peak memory $((memory / 1024)) MB"
  done
  read -r seconds _ < <(best_of_three bash -c "LC_ALL=C grep -F -o -w -i broor '$corpus' | wc -l")
  echo "  grep -F -o -w -i broor, $size MB: ${seconds} s"
  # The hit store of a rare key through the index: the run and the table's first screen.
  build/bin/wordloom-hits-bench "$with" broor "in * of" | head -n 1
}
index_runs 60
if [ "$(df --output=avail -k "$data" | tail -n 1)" -gt 4000000 ]; then index_runs 600; fi

# Many keys: 4,000 prefix keys (the first four letters of the commonest words) on the 60 MB project.
keys=$("$cli" wordlist "$data/p60.wlm" --temp "$data/scratch" --order 4 --layout column 2>/dev/null |
       tr -d '\r' | awk 'length($0) >= 4 && n < 4000 { k = substr($0, 1, 4); if (!(k in seen)) { seen[k] = 1; n++; print k } }' |
       tr '\n' ' ')
read -r seconds memory < <(best_of_three "$cli" kwic "$data/p60.wlm" --temp "$data/scratch" --match prefix --keys "$keys")
echo "wordloom-cli kwic, $(wc -w <<<"$keys") prefix keys, 60 MB: ${seconds} s, peak memory $((memory / 1024)) MB"

# Many texts: `new` of 100,000 short files against `scan` of the same project.
many="$data/many"
if [ ! -f "$many/t99999.txt" ]; then
  mkdir -p "$many"
  (cd "$many" && for i in $(seq -w 0 99999); do echo "text number $i" >"t$i.txt"; done)
fi
read -r newSeconds _ < <(cd "$many" && best_of_three "$OLDPWD/$cli" new many.wlm --temp "$OLDPWD/$data/scratch" t*.txt)
read -r scanSeconds _ < <(best_of_three "$cli" scan "$many/many.wlm" --temp "$data/scratch")
echo "wordloom-cli new, 100,000 files: ${newSeconds} s; scan of the same project: ${scanSeconds} s"

# The desktop application on the offscreen platform: start, open the 60 MB project, run Kwic
# "the" and show its output in the pane (its own settings and scratch folder).
mkdir -p "$data/home" "$data/gui-scratch"
gui_size=$("$cli" kwic "$data/p60.wlm" --temp "$data/scratch" --keys the 2>/dev/null | wc -c)
read -r seconds memory < <(best_of_three env QT_QPA_PLATFORM=offscreen HOME="$data/home" TEMP="$data/gui-scratch" \
  build/bin/wordloom "$PWD/$data/p60.wlm" --kwic the --screenshot "$data/gui.png")
echo "wordloom, offscreen: open the 60 MB project, Kwic \"the\" and show its $((gui_size / 1000000)) MB output:" \
     "${seconds} s, peak memory $((memory / 1024)) MB"
echo
# The memory of the word lists for a vocabulary of 1,000,000 word types.
build/bin/wordloom-list-memory
echo
build/bin/wordloom-bench --benchmark_min_time=1

# The desktop application under load on the 300 MB corpus: the longest stall of its event
# loop during the scan and during Kwic "the", the time to the concordance's first screen
# against wordloom-cli's own, and how soon Stop returns the window to idle.
if [ -x build/bin/wordloom-app-bench ]; then
  "$cli" new "$data/p300.wlm" --temp "$data/scratch" "$data/corpus300.txt" >/dev/null 2>&1
  read -r seconds memory < <(best_of_three "$cli" kwic "$data/p300.wlm" --temp "$data/scratch" --keys the)
  echo "wordloom-cli kwic --keys the, 300 MB: ${seconds} s, peak memory $((memory / 1024)) MB"
  read -r seconds memory < <(best_of_three env QT_QPA_PLATFORM=offscreen HOME="$data/home" TEMP="$data/gui-scratch" \
    build/bin/wordloom "$PWD/$data/p300.wlm" --kwic the --screenshot "$data/gui.png")
  echo "wordloom, offscreen: open the 300 MB project, Kwic \"the\" and show it: ${seconds} s, peak memory $((memory / 1024)) MB"
  build/bin/wordloom-app-bench "$data/corpus300.txt" the 2>/dev/null
fi
