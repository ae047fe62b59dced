#!/usr/bin/env bash
# Pictures of every test drawing on every tab, to see that a reshaping of
# the code changes no pixel:
#
#   scripts/export_regression.sh record DIR [VESTREL]    # before the change
#   scripts/export_regression.sh compare DIR [VESTREL]   # after it
#
# `record` writes DIR/<drawing>.tab<N>.png with `vestrel --export-png` (size
# 1600x1000), and DIR/<drawing>.tab<N>.pdf-1.png, the page printed by
# `vestrel --export-pdf` at 1:1 as pdftoppm shows it at 72 dpi, for the
# test drawings: tests/drawings, those the build made in
# build/tests/drawings, and ../shared/corpus and $VESTREL_EXTRA_CORPUS when
# they are there;
# `compare` makes them again into a temporary folder and names every picture
# that differs from the recorded one. VESTREL defaults to build/bin/vestrel.
# The exit status is non-zero when a picture differs or is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-}
dir=${2:-}
bin=${3:-build/bin/vestrel}
if [ "$mode" != record ] && [ "$mode" != compare ] || [ -z "$dir" ]; then
  sed -n '2,16p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
fi
[ -x "$bin" ] || { echo "no program at $bin" >&2; exit 2; }

drawings=()
for folder in tests/drawings build/tests/drawings ../shared/corpus ${VESTREL_EXTRA_CORPUS:-}; do
  [ -d "$folder" ] || continue
  while IFS= read -r -d '' f; do drawings+=("$f"); done < <(find "$folder" -iname '*.dxf' -print0 | sort -z)
done

out=$dir
if [ "$mode" = compare ]; then
  out=$(mktemp -d)
  trap 'rm -rf "$out"' EXIT
fi
mkdir -p "$out"

# export FILE: one picture per tab; the tabs are those --info names.
export_all() {
  local f=$1 name tabs t
  name=$(basename "$f" .dxf)
  tabs=$("$bin" --info "$f" 2>/dev/null | sed -n 's/^layouts: //p' | awk -F', ' '{print NF}')
  [ -n "$tabs" ] || tabs=2
  for ((t = 0; t < tabs; t++)); do
    QT_QPA_PLATFORM=offscreen "$bin" --export-png "$out/$name.tab$t.png" --size 1600x1000 --tab "$t" "$f" \
      2>/dev/null || echo "export failed: $name tab $t" >&2
    if QT_QPA_PLATFORM=offscreen "$bin" --export-pdf "$out/page.pdf" --scale 1:1 --margin 10 --tab "$t" "$f" \
      2>/dev/null; then
      pdftoppm -r 72 -png "$out/page.pdf" "$out/$name.tab$t.pdf"
    else
      echo "print failed: $name tab $t" >&2
    fi
    rm -f "$out/page.pdf"
  done
}

for f in "${drawings[@]}"; do export_all "$f"; done

if [ "$mode" = record ]; then
  echo "recorded $(ls "$dir"/*.png | wc -l) pictures in $dir"
  exit 0
fi

status=0 same=0
for want in "$dir"/*.png; do
  got=$out/$(basename "$want")
  if [ ! -f "$got" ]; then
    echo "missing: $(basename "$want")"; status=1
  elif ! cmp -s "$want" "$got"; then
    echo "differs: $(basename "$want")"; status=1
  else
    same=$((same + 1))
  fi
done
for got in "$out"/*.png; do
  [ -f "$dir/$(basename "$got")" ] || { echo "new: $(basename "$got")"; status=1; }
done
echo "$same pictures the same"
exit $status
