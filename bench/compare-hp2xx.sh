#!/usr/bin/env bash
# Times korvid-convert against hp2xx, side by side in one run, and prints how they compare:
#   - the largest plot Korvid holds (150,000 segments and 15,000 circles and arcs) into SVG,
#     into PNG of the same width, and into PDF (its time: hp2xx writes no PDF), in Korvid's
#     own reading and in the standard HP-GL/2 reading (--hpgl2); in the standard reading
#     also the smaller PNG with every pen hidden: start-up, reading and writing the image,
#     with nothing painted, the least that any painting adds to;
#   - a plot of one line into PNG, each with its default size, and Korvid's --version alone:
#     what the start-up costs, that alone also set against each real plot's time in hp2xx;
#   - the largest real plots of ../shared/corpus into PNG, each at its default size, in both
#     readings (REAL_PLOTS= names them, separated by spaces);
#   - every plot of ../shared/corpus into PNG: one batch call against a shell loop of hp2xx;
#   - the peak memory of the largest plot's conversions, in both readings.
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
# line ends. By default the commands take turns, one run of each in every round (every
# other round in the reverse order), so that a change of the machine's load falls on all
# of them alike, each starting with no file's writing pending (python3 does the timing);
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
REAL_PLOTS=${REAL_PLOTS:-potmo_putput_arcs.hpgl garment_S_Fabric_Nesting.plt schwittlick_c100_engine_hpdm_sx_a1.hpgl}

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

build korvid-convert  # a converter older than the sources would be timed unseen
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
                   [one]="$CONVERT one.hpgl -o one.png"
                   [startup]="$CONVERT --version"
                   [std-svg]="$CONVERT max.hpgl --hpgl2 -o std.svg"
                   [std-png]="$CONVERT max.hpgl --hpgl2 -o std.png --width $png_width"
                   [std-small]="$CONVERT max.hpgl --hpgl2 -o std-small.png --width $small_width"
                   [std-bare]="$CONVERT max.hpgl --hpgl2 -o std-bare.png --width $small_width --hide-pens $(seq -s, 1 8)"
                   [std-pdf]="$CONVERT max.hpgl --hpgl2 -o std.pdf")
declare -A HP2XX=([svg]="hp2xx -q -m svg -f hp2xx.svg max.hpgl"
                  [png]="hp2xx -q -m png -d 96 -w 327.67 -h 327.67 -f hp2xx.png max.hpgl"
                  [small]="hp2xx -q -m png -d 100 -D 100 -f hp2xx-small.png max.hpgl"
                  [one]="hp2xx -q -m png -f hp2xx-one.png one.hpgl")
HP2XX[std-svg]=${HP2XX[svg]}
HP2XX[std-png]=${HP2XX[png]}
HP2XX[std-small]=${HP2XX[small]}
HP2XX[std-bare]=${HP2XX[small]}
cases=(svg png small pdf one startup std-svg std-png std-small std-bare std-pdf)
declare -A NAME=([svg]="max SVG" [png]="max PNG ${png_width} px wide"
                 [small]="max PNG ${small_width} px wide" [pdf]="max PDF" [one]="one-line PNG"
                 [startup]="start-up alone (--version)"
                 [std-svg]="  max SVG" [std-png]="  max PNG ${png_width} px wide"
                 [std-small]="  max PNG ${small_width} px wide"
                 [std-bare]="    the same, every pen hidden" [std-pdf]="  max PDF")
real=0
for plot in $REAL_PLOTS; do
  [[ -f "$CORPUS/$plot" ]] || continue
  real=$((real + 1))
  KORVID[real$real]="$CONVERT $CORPUS/$plot -o real$real.png"
  KORVID[std-real$real]="$CONVERT $CORPUS/$plot --hpgl2 -o std-real$real.png"
  HP2XX[real$real]="hp2xx -q -m png -f hp2xx-real$real.png $CORPUS/$plot"
  HP2XX[std-real$real]=${HP2XX[real$real]}
  NAME[real$real]="$plot PNG"
  NAME[std-real$real]="  $plot PNG"
  cases+=(real$real std-real$real)
done

# A timing of a command that failed would compare nothing.
check() {
  if ! $1 >/dev/null 2>&1; then
    echo "failed: $1" >&2
    exit 1
  fi
  [[ -z "$2" || -s "$2" ]] || { echo "no $2 was written" >&2; exit 1; }
}
output_of() {
  [[ "$1" == *" -o "* ]] || return 0
  local out=${1##* -o }
  echo "${out%% *}"
}
declare -A BEFORE=()
if [[ -n "$BASELINE" ]]; then
  [[ -x "$BASELINE" ]] || { echo "no converter at BASELINE=$BASELINE" >&2; exit 1; }
  for case in "${cases[@]}"; do
    command=${KORVID[$case]/#"$CONVERT"/$BASELINE}
    BEFORE[$case]=${command/ -o / -o before-}
  done
fi
for case in "${cases[@]}"; do
  check "${KORVID[$case]}" "$(output_of "${KORVID[$case]}")"
  [[ -z "$BASELINE" ]] || check "${BEFORE[$case]}" "$(output_of "${BEFORE[$case]}")"
done
declare -A HP2XX_DONE=()
for case in "${cases[@]}"; do
  command=${HP2XX[$case]:-}
  [[ -n "$command" && -z "${HP2XX_DONE[$command]:-}" ]] || continue
  HP2XX_DONE[$command]=1
  check "$command" "$(echo "$command" | sed 's/.* -f \([^ ]*\) .*/\1/')"
done

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
    # Every other round backwards, so that no command always follows the same one.
    order = range(len(commands)) if round % 2 == 0 else reversed(range(len(commands)))
    for i in order:
        command = commands[i]
        # Korvid syncs the file it writes, and on ext4 that first writes out what other
        # files still hold unwritten: whichever command came after the last large file
        # would be charged for it. Each command starts with nothing left to write.
        os.sync()
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
    'BEGIN { if (h == "") printf "%-46s %12.1f %12s %16s\n", f, k * 1000, "-", "-";
             else printf "%-46s %12.1f %12.1f %16.3f\n", f, k * 1000, h * 1000, k / h }'
}

# The fastest run and the processor time of a "median min cpu" line, in ms.
detail() {
  awk -v f="$1" -v t="$2" 'BEGIN { split(t, v, " ");
    printf "%-46s fastest %.1f ms", f, v[2] * 1000;
    if (v[3] != "") printf ", processor %.1f ms", v[3] * 1000; printf "\n" }'
}

echo "plot: $source_name, $(stat -c %s max.hpgl) bytes; $RUNS runs each, timed by $timer"
echo "load before: $(uptime | sed 's/.*load average: //')"
printf '%-46s %12s %12s %16s\n' case "korvid (ms)" "hp2xx (ms)" "korvid / hp2xx"
# Every command once a round: Korvid's, the baseline's, hp2xx's (each hp2xx command once).
commands=()
declare -A AT=() BEFORE_AT=() HP2XX_AT=()
for case in "${cases[@]}"; do
  AT[$case]=${#commands[@]}
  commands+=("${KORVID[$case]}")
  if [[ -n "$BASELINE" ]]; then
    BEFORE_AT[$case]=${#commands[@]}
    commands+=("${BEFORE[$case]}")
  fi
  command=${HP2XX[$case]:-}
  [[ -n "$command" ]] || continue
  for other in "${!HP2XX_AT[@]}"; do
    [[ "${HP2XX[$other]}" == "$command" ]] && HP2XX_AT[$case]=${HP2XX_AT[$other]}
  done
  if [[ -z "${HP2XX_AT[$case]:-}" ]]; then
    HP2XX_AT[$case]=${#commands[@]}
    commands+=("$command")
  fi
done
mapfile -t m < <("medians_$timer" "${commands[@]}")
hp2xx_of() { [[ -n "${HP2XX_AT[$1]:-}" ]] && echo "${m[${HP2XX_AT[$1]}]}"; }
table() {  # index-array-name
  local -n at=$1
  for case in "${cases[@]}"; do
    [[ $case == std-svg ]] && echo "standard reading (--hpgl2):"
    [[ $case == real1 ]] && echo "real plots, Korvid's own reading, each standard below it:"
    row "${NAME[$case]}" "${m[${at[$case]}]}" "$(hp2xx_of "$case")"
    # The least any conversion of the plot can take, against hp2xx's whole conversion.
    if [[ $case == std-real* ]]; then
      row "    start-up alone (--version)" "${m[${at[startup]}]}" "$(hp2xx_of "$case")"
    fi
  done
  detail "  max PDF" "${m[${at[pdf]}]}"
  detail "  max PDF, standard" "${m[${at[std-pdf]}]}"
}
table AT
if [[ -n "$BASELINE" ]]; then
  echo "baseline $BASELINE, same run:"
  table BEFORE_AT
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
  for case in svg png small pdf std-svg std-png std-small std-pdf; do
    /usr/bin/time -f "%M" -o memory.txt ${KORVID[$case]} >/dev/null 2>&1
    printf '  %-10s %6.1f MB' "$case" "$(awk '{ print $1 / 1024 }' memory.txt)"
    if [[ -n "$BASELINE" ]]; then
      /usr/bin/time -f "%M" -o memory.txt ${BEFORE[$case]} >/dev/null 2>&1
      printf '   baseline %6.1f MB' "$(awk '{ print $1 / 1024 }' memory.txt)"
    fi
    printf '\n'
  done
fi
echo "load after:  $(uptime | sed 's/.*load average: //')"
