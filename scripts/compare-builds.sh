#!/usr/bin/env bash
# Converts every corpus book with two builds of folivo, in both formats and
# under several rule sets, and checks that the databases are the same byte for
# byte apart from the header's creation and modification dates.
#   scripts/compare-builds.sh OLD_FOLIVO NEW_FOLIVO [CORPUS_DIR]
set -euo pipefail
shopt -s nullglob  # a corpus without .htm or .epub books has none
old=$1
new=$2
corpus=${3:-"$(dirname "$0")/../../shared/corpus"}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config"

rule_sets=(
  ""
  "--join-lines --strip-html --bookmarks ^chapter"
  "--remove-cr --tabs-to-breaks --allow-low-ascii --block-size 8"
  "--cr-to-lf --no-compress --bookmarks ^[IVX]+\\."
  "--lf-to-cr --remove-lf --strip-html --block-size 31"
)
formats=(palmdoc ztxt)

# Bytes 36..43 hold the two dates; everything else must match.
strip_dates() { { head -c 36 "$1"; tail -c +45 "$1"; } >"$2"; }

compared=0
differ=0
failed=0
for book in "$corpus"/*.txt "$corpus"/*.htm "$corpus"/*.epub; do
  for format in "${formats[@]}"; do
    for i in "${!rule_sets[@]}"; do
      read -r -a rules <<<"${rule_sets[$i]}"
      what="$(basename "$book") $format ${rule_sets[$i]}"
      # A conversion that exits non-zero may still write a database (lines
      # skipped, say): its status is reported and compared with the other
      # side's, and a database it did not write compares as empty.
      status=()
      for side in old new; do
        binary=$old
        [ "$side" = new ] && binary=$new
        rm -f "$work/$side.pdb"
        code=0
        "$binary" convert --no-defaults --format "$format" "${rules[@]}" -o "$work/$side.pdb" "$book" >/dev/null 2>&1 ||
          code=$?
        status+=("$code")
        if [ "$code" -ne 0 ]; then
          failed=$((failed + 1))
          echo "$side exits $code: $what"
        fi
        if [ -f "$work/$side.pdb" ]; then
          strip_dates "$work/$side.pdb" "$work/$side.cmp"
        else
          : >"$work/$side.cmp"
        fi
      done
      compared=$((compared + 1))
      if [ "${status[0]}" -ne "${status[1]}" ] || ! cmp -s "$work/old.cmp" "$work/new.cmp"; then
        differ=$((differ + 1))
        echo "differs: $what (exit ${status[0]} and ${status[1]})"
      fi
    done
  done
done
echo "$compared databases compared, $differ differ, $failed conversions exited non-zero"
[ "$differ" -eq 0 ]
