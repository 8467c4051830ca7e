#!/usr/bin/env bash
# What two builds of korvid-convert read from a folder of plot files: per file the segments
# and the circles and arcs each build keeps, and how many files draw nothing with each.
#
#   bench/corpus-table.sh FOLDER BEFORE_CONVERT AFTER_CONVERT
#
# A file draws nothing when the read keeps neither a segment nor an arc. Every file of the
# folder is read but the notes beside the plots (*.md, *.tsv, *.txt).
set -euo pipefail

if [[ $# -ne 3 ]]; then
  echo "usage: $0 FOLDER BEFORE_CONVERT AFTER_CONVERT" >&2
  exit 2
fi
folder=$1 before=$2 after=$3

# "segments arcs" as korvid-convert --dump reports them.
counts() {
  "$1" --dump "$2" 2>/dev/null |
    awk '$1 == "segments" { s = $2 } $1 == "arcs" { a = $2 } END { print (s == "" ? 0 : s), (a == "" ? 0 : a) }'
}

printf '%-48s %9s %7s %9s %7s\n' file seg-before arcs seg-after arcs
files=0 emptyBefore=0 emptyAfter=0
while IFS= read -r -d '' path; do
  read -r segBefore arcsBefore < <(counts "$before" "$path")
  read -r segAfter arcsAfter < <(counts "$after" "$path")
  printf '%-48s %9d %7d %9d %7d\n' "$(basename "$path")" "$segBefore" "$arcsBefore" \
    "$segAfter" "$arcsAfter"
  files=$((files + 1))
  ((segBefore + arcsBefore == 0)) && emptyBefore=$((emptyBefore + 1))
  ((segAfter + arcsAfter == 0)) && emptyAfter=$((emptyAfter + 1))
done < <(find "$folder" -maxdepth 1 -type f ! -iname '*.md' ! -iname '*.tsv' ! -iname '*.txt' \
  -print0 | sort -z)

echo "files $files; drawing nothing: before $emptyBefore, after $emptyAfter"
