#!/usr/bin/env bash
# Converts every corpus book with two builds of folivo, in both formats and
# under several rule sets, and checks that the databases are the same byte for
# byte apart from the header's creation and modification dates.
#   scripts/compare-builds.sh OLD_FOLIVO NEW_FOLIVO [CORPUS_DIR]
set -euo pipefail
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
for book in "$corpus"/*.txt "$corpus"/*.htm; do
  for format in "${formats[@]}"; do
    for i in "${!rule_sets[@]}"; do
      read -r -a rules <<<"${rule_sets[$i]}"
      for side in old new; do
        binary=$old
        [ "$side" = new ] && binary=$new
        "$binary" convert --no-defaults --format "$format" "${rules[@]}" -o "$work/$side.pdb" "$book" >/dev/null 2>&1
        strip_dates "$work/$side.pdb" "$work/$side.cmp"
      done
      compared=$((compared + 1))
      if ! cmp -s "$work/old.cmp" "$work/new.cmp"; then
        differ=$((differ + 1))
        echo "differs: $(basename "$book") $format ${rule_sets[$i]}"
      fi
    done
  done
done
echo "$compared databases compared, $differ differ"
[ "$differ" -eq 0 ]
