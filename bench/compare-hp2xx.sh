#!/usr/bin/env bash
# Times korvid-convert against hp2xx, side by side in one run, and prints how they compare:
#   - the largest plot Korvid holds (150,000 segments and 15,000 circles and arcs) into SVG,
#     into PNG of the same width, and into PDF (its time: hp2xx writes no PDF);
#   - a plot of one line into PNG, each with its default size: what the start-up costs;
#   - every plot of ../shared/corpus into PNG: one batch call against a shell loop of hp2xx;
#   - the peak memory of the largest plot's conversions.
#
#   bench/compare-hp2xx.sh     (RUNS=10 BATCH_RUNS=3 BUILD=build-bench by default;
#                              GENERATOR=path to gen_hpgl.py, CORPUS=folder of plots,
#                              TIMER=interleaved|hyperfine|loop to choose,
#                              BASELINE=another korvid-convert to time beside this one)
#
# Each time is the median of the runs; the PDF's line also gives the fastest run and the
# processor time (user and system, mean) unless the loop does the timing. With BASELINE,
# every Korvid command runs with both converters in the same run, and a second table
# gives the baseline's times and its ratios.
#
# The plot comes from ../shared/tools/gen_hpgl.py beside the repository when it is there,
# otherwise from the benchmarks' own generator (korvid_bench_input). Either writes CR LF
# line ends. By default the commands take turns, one run of each in every round, so that
# a change of the machine's load falls on all of them alike (python3 does the timing);
# TIMER=hyperfine runs each command's runs one after another, TIMER=loop does the same
# with date's nanoseconds. The batch is always timed by the loop.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD:-build-bench}
RUNS=${RUNS:-10}
BATCH_RUNS=${BATCH_RUNS:-3}
CONVERT="$ROOT/$BUILD/src/cli/korvid-convert"
GENERATOR=${GENERATOR:-$ROOT/../shared/tools/gen_hpgl.py}
CORPUS=${CORPUS:-$ROOT/../shared/corpus}
BASELINE=${BASELINE:-}

command -v hp2xx >/dev/null || { echo "hp2xx is not installed (apt-get install hp2xx)" >&2; exit 1; }

build() {
  if [[ ! -f "$ROOT/$BUILD/build.ninja" ]]; then
    cmake -S "$ROOT" -B "$ROOT/$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DKORVID_BUILD_TESTS=OFF >/dev/null
  fi
  cmake --build "$ROOT/$BUILD" --target "$@" >/dev/null
}

WORK=$(mktemp -d "${TMPDIR:-/tmp}/korvid-vs-hp2xx-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
cd "$WORK"

[[ -x "$CONVERT" ]] || build korvid-convert
if [[ -f "$GENERATOR" ]] && command -v python3 >/dev/null; then
  python3 "$GENERATOR" --preset max --eol crlf -o max.hpgl
  source_name="gen_hpgl.py --preset max --eol crlf"
else
  [[ -x "$ROOT/$BUILD/bench/korvid_bench_input" ]] || build korvid_bench_input
  "$ROOT/$BUILD/bench/korvid_bench_input" max max.hpgl >/dev/null
  source_name="korvid_bench_input max"
fi
printf 'IN;SP1;PU0,0;PD1000,1000;PU;\r\n' >one.hpgl

# hp2xx draws 327.67 mm at 96 dpi; Korvid is asked for an image of the same width.
hp2xx -q -m png -d 96 -w 327.67 -h 327.67 -f hp2xx.png max.hpgl >/dev/null 2>&1
png_width=$(od -An -tu1 -j16 -N4 hp2xx.png | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
# hp2xx's own page at 100 dpi, as a smaller image.
hp2xx -q -m png -d 100 -D 100 -f hp2xx-small.png max.hpgl >/dev/null 2>&1
small_width=$(od -An -tu1 -j16 -N4 hp2xx-small.png | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')

declare -A KORVID=([svg]="$CONVERT max.hpgl -o max.svg"
                   [png]="$CONVERT max.hpgl -o max.png --width $png_width"
                   [small]="$CONVERT max.hpgl -o small.png --width $small_width"
                   [pdf]="$CONVERT max.hpgl -o max.pdf"
                   [one]="$CONVERT one.hpgl -o one.png")
declare -A HP2XX=([svg]="hp2xx -q -m svg -f hp2xx.svg max.hpgl"
                  [png]="hp2xx -q -m png -d 96 -w 327.67 -h 327.67 -f hp2xx.png max.hpgl"
                  [small]="hp2xx -q -m png -d 100 -D 100 -f hp2xx-small.png max.hpgl"
                  [one]="hp2xx -q -m png -f hp2xx-one.png one.hpgl")

# A timing of a command that failed would compare nothing.
check() {
  if ! $1 >/dev/null 2>&1; then
    echo "failed: $1" >&2
    exit 1
  fi
  [[ -s "$2" ]] || { echo "no $2 was written" >&2; exit 1; }
}
declare -A BEFORE=()
if [[ -n "$BASELINE" ]]; then
  [[ -x "$BASELINE" ]] || { echo "no converter at BASELINE=$BASELINE" >&2; exit 1; }
  for case in svg png small pdf one; do
    command=${KORVID[$case]/#"$CONVERT"/$BASELINE}
    BEFORE[$case]=${command/ -o / -o before-}
  done
fi
for case in svg png small pdf one; do
  out=${KORVID[$case]##* -o }
  check "${KORVID[$case]}" "${out%% *}"
  if [[ -n "$BASELINE" ]]; then
    out=${BEFORE[$case]##* -o }
    check "${BEFORE[$case]}" "${out%% *}"
  fi
done
check "${HP2XX[svg]}" hp2xx.svg
check "${HP2XX[png]}" hp2xx.png
check "${HP2XX[small]}" hp2xx-small.png
check "${HP2XX[one]}" hp2xx-one.png

# Prints the median wall-clock seconds of each command given, in that order, each followed
# by the fastest run's and the mean processor seconds on the same line.
medians_hyperfine() {
  hyperfine --shell=none --warmup 2 --runs "$RUNS" --style none --export-json times.json \
    "$@" >/dev/null
  python3 -c 'import json, sys
for r in json.load(open("times.json"))["results"]:
    print(r["median"], r["min"], r["user"] + r["system"])'
}

medians_interleaved() {
  python3 - "$RUNS" "$@" <<'PY'
import os, shlex, statistics, subprocess, sys, time
runs, commands = int(sys.argv[1]), sys.argv[2:]
wall = [[] for _ in commands]
cpu = [[] for _ in commands]
for round in range(runs + 1):  # the first round warms up
    for i, command in enumerate(commands):
        start = time.perf_counter()
        child = subprocess.Popen(shlex.split(command), stdout=subprocess.DEVNULL,
                                 stderr=subprocess.DEVNULL)
        _, _, usage = os.wait4(child.pid, 0)
        if round > 0:
            wall[i].append(time.perf_counter() - start)
            cpu[i].append(usage.ru_utime + usage.ru_stime)
for w, c in zip(wall, cpu):
    print(statistics.median(w), min(w), statistics.mean(c))
PY
}

medians_loop() {
  local command times start end runs=${LOOP_RUNS:-$RUNS}
  for command in "$@"; do
    eval "$command" >/dev/null 2>&1 || true  # warm-up
    times=()
    for ((i = 0; i < runs; i++)); do
      start=$(date +%s%N)
      eval "$command" >/dev/null 2>&1 || true
      end=$(date +%s%N)
      times+=($((end - start)))
    done
    printf '%s\n' "${times[@]}" | sort -n |
      awk '{ t[NR] = $1 } END { m = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2;
                                printf "%.6f %.6f\n", m / 1e9, t[1] / 1e9 }'
  done
}

timer=${TIMER:-}
if [[ -z "$timer" ]]; then
  if command -v python3 >/dev/null; then timer=interleaved
  elif command -v hyperfine >/dev/null; then timer=hyperfine
  else timer=loop; fi
fi

row() {  # name "korvid-median [min [cpu]]" "hp2xx-median ..."
  local k=${2%% *} h=${3%% *}
  awk -v f="$1" -v k="$k" -v h="$h" \
    'BEGIN { if (h == "") printf "%-22s %12.1f %12s %16s\n", f, k * 1000, "-", "-";
             else printf "%-22s %12.1f %12.1f %16.3f\n", f, k * 1000, h * 1000, k / h }'
}

# The fastest run and the processor time of a "median min cpu" line, in ms.
detail() {
  awk -v f="$1" -v t="$2" 'BEGIN { split(t, v, " ");
    printf "%-22s fastest %.1f ms", f, v[2] * 1000;
    if (v[3] != "") printf ", processor %.1f ms", v[3] * 1000; printf "\n" }'
}

echo "plot: $source_name, $(stat -c %s max.hpgl) bytes; $RUNS runs each, timed by $timer"
echo "load before: $(uptime | sed 's/.*load average: //')"
printf '%-22s %12s %12s %16s\n' case "korvid (ms)" "hp2xx (ms)" "korvid / hp2xx"
commands=("${KORVID[svg]}" "${HP2XX[svg]}" "${KORVID[png]}" "${HP2XX[png]}" "${KORVID[small]}"
  "${HP2XX[small]}" "${KORVID[pdf]}" "${KORVID[one]}" "${HP2XX[one]}")
if [[ -n "$BASELINE" ]]; then
  commands+=("${BEFORE[svg]}" "${BEFORE[png]}" "${BEFORE[small]}" "${BEFORE[pdf]}" "${BEFORE[one]}")
fi
mapfile -t m < <("medians_$timer" "${commands[@]}")
row "max SVG" "${m[0]}" "${m[1]}"
row "max PNG ${png_width} px wide" "${m[2]}" "${m[3]}"
row "max PNG ${small_width} px wide" "${m[4]}" "${m[5]}"
row "max PDF" "${m[6]}" ""
row "one-line PNG" "${m[7]}" "${m[8]}"
detail "  max PDF" "${m[6]}"
if [[ -n "$BASELINE" ]]; then
  echo "baseline $BASELINE, same run:"
  row "max SVG" "${m[9]}" "${m[1]}"
  row "max PNG ${png_width} px wide" "${m[10]}" "${m[3]}"
  row "max PNG ${small_width} px wide" "${m[11]}" "${m[5]}"
  row "max PDF" "${m[12]}" ""
  row "one-line PNG" "${m[13]}" "${m[8]}"
  detail "  max PDF" "${m[12]}"
fi

if [[ -d "$CORPUS" ]]; then
  mapfile -t plots < <(find "$CORPUS" -maxdepth 1 -type f ! -name '*.md' ! -name '*.tsv' | sort)
  mkdir -p korvid-batch hp2xx-batch
  printf '%q ' "${plots[@]}" >plots.txt
  korvid_batch="$CONVERT $(cat plots.txt) -f png -O korvid-batch"
  hp2xx_batch="for f in $(cat plots.txt); do b=\${f##*/}; hp2xx -q -m png -f hp2xx-batch/\${b%.*}.png \"\$f\"; done"
  batches=("$korvid_batch" "$hp2xx_batch")
  if [[ -n "$BASELINE" ]]; then
    mkdir -p before-batch
    batches+=("$BASELINE $(cat plots.txt) -f png -O before-batch")
  fi
  mapfile -t b < <(LOOP_RUNS=$BATCH_RUNS medians_loop "${batches[@]}")
  row "batch: ${#plots[@]} plots PNG" "${b[0]}" "${b[1]}"
  [[ -z "$BASELINE" ]] || row "  baseline" "${b[2]}" "${b[1]}"
  # Every plot drawn is in a file of its own name.
  drawn=$("$CONVERT" "${plots[@]}" -f png -O check-batch -j 2 2>&1 | grep -c -- ' -> ' || true)
  [[ $(find check-batch -name '*.png' | wc -l) -eq $drawn ]] ||
    echo "batch: $drawn plots drawn, but a different number of files written" >&2
fi

if [[ -x /usr/bin/time ]]; then
  echo "peak memory (max plot):"
  for case in svg png pdf; do
    /usr/bin/time -f "%M" -o memory.txt ${KORVID[$case]} >/dev/null 2>&1
    printf '  %-4s %6.1f MB' "$case" "$(awk '{ print $1 / 1024 }' memory.txt)"
    if [[ -n "$BASELINE" ]]; then
      /usr/bin/time -f "%M" -o memory.txt ${BEFORE[$case]} >/dev/null 2>&1
      printf '   baseline %6.1f MB' "$(awk '{ print $1 / 1024 }' memory.txt)"
    fi
    printf '\n'
  done
fi
echo "load after:  $(uptime | sed 's/.*load average: //')"
