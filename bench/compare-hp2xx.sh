#!/usr/bin/env bash
# Times korvid-convert against hp2xx on the largest plot Korvid holds (150,000 segments and
# 15,000 circles and arcs), into SVG and into PNG, and prints how their medians compare.
#
#   bench/compare-hp2xx.sh     (RUNS=10 BUILD=build-bench by default; GENERATOR=path to
#                              gen_hpgl.py, TIMER=hyperfine|loop to choose)
#
# The plot comes from ../shared/tools/gen_hpgl.py beside the repository when it is there,
# otherwise from the benchmarks' own generator (korvid_bench_input). Either writes CR LF
# line ends, as the plotter files of the CAD programs do.
# hyperfine does the timing when it is installed (apt-get install hyperfine); otherwise a
# plain loop measures wall-clock time with date's nanoseconds, finer than /usr/bin/time.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD:-build-bench}
RUNS=${RUNS:-10}
CONVERT="$ROOT/$BUILD/src/cli/korvid-convert"
GENERATOR=${GENERATOR:-$ROOT/../shared/tools/gen_hpgl.py}

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

# The same picture size for both rasters: Korvid draws 327.67 mm at 96 dpi by default.
declare -A KORVID=([svg]="$CONVERT max.hpgl -o max.svg" [png]="$CONVERT max.hpgl -o max.png")
declare -A HP2XX=([svg]="hp2xx -q -m svg -f hp2xx.svg max.hpgl"
                  [png]="hp2xx -q -m png -d 96 -w 327.67 -h 327.67 -f hp2xx.png max.hpgl")

# A timing of a command that failed would compare nothing.
for format in svg png; do
  for command in "${KORVID[$format]}" "${HP2XX[$format]}"; do
    if ! $command >/dev/null 2>&1; then
      echo "failed: $command" >&2
      exit 1
    fi
  done
  for file in "max.$format" "hp2xx.$format"; do
    [[ -s "$file" ]] || { echo "no $file was written" >&2; exit 1; }
  done
done

# Prints the median wall-clock seconds of korvid's and hp2xx's command, in that order.
medians_hyperfine() {
  hyperfine --shell=none --warmup 2 --runs "$RUNS" --style none --export-json times.json \
    "$1" "$2" >/dev/null
  sed -n 's/.*"median": *\([0-9.eE+-]*\).*/\1/p' times.json
}

medians_loop() {
  local command times start end
  for command in "$1" "$2"; do
    $command >/dev/null 2>&1  # warm-up
    times=()
    for ((i = 0; i < RUNS; i++)); do
      start=$(date +%s%N)
      $command >/dev/null 2>&1
      end=$(date +%s%N)
      times+=($((end - start)))
    done
    printf '%s\n' "${times[@]}" | sort -n |
      awk '{ t[NR] = $1 } END { m = NR % 2 ? t[(NR + 1) / 2] : (t[NR / 2] + t[NR / 2 + 1]) / 2;
                                printf "%.6f\n", m / 1e9 }'
  done
}

timer=${TIMER:-}
if [[ -z "$timer" ]]; then
  if command -v hyperfine >/dev/null; then timer=hyperfine; else timer=loop; fi
fi

echo "plot: $source_name, $(stat -c %s max.hpgl) bytes; $RUNS runs each, timed by $timer"
echo "load before: $(uptime | sed 's/.*load average: //')"
printf '%-6s %12s %12s %18s\n' format "korvid (ms)" "hp2xx (ms)" "korvid / hp2xx"
for format in svg png; do
  mapfile -t medians < <("medians_$timer" "${KORVID[$format]}" "${HP2XX[$format]}")
  awk -v f="$format" -v k="${medians[0]}" -v h="${medians[1]}" \
    'BEGIN { printf "%-6s %12.1f %12.1f %18.2f\n", f, k * 1000, h * 1000, k / h }'
done
echo "load after:  $(uptime | sed 's/.*load average: //')"
