#!/usr/bin/env bash
# screenshots_stable.sh BIN_DIR: the screenshot tour twice, without a display
# and without naming a platform, must give the same pictures byte for byte
# (so scripts/screenshots leaves docs/screens untouched when nothing changed).
set -euo pipefail
bin=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/ctb-telas.XXXXXX")
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
for run in 1 2; do
  "$bin/ctb-host" --db "$work/demo$run.db" --today 2024-03-15 --screenshots "$work/telas$run" >"$work/saida$run.txt" 2>&1 ||
    { cat "$work/saida$run.txt" >&2; exit 1; }
done
count=$(ls "$work/telas1"/*.png | wc -l)
[ "$count" -ge 12 ] || { echo "screenshots_stable: só $count imagens" >&2; exit 1; }
for f in "$work/telas1"/*.png; do
  cmp -s "$f" "$work/telas2/$(basename "$f")" || { echo "screenshots_stable: $(basename "$f") mudou" >&2; exit 1; }
done
# Nothing but Portuguese lines of our own on the command line.
if grep -v '^ctb-host: \|lançamentos, .* partidas' "$work/saida1.txt"; then
  echo "screenshots_stable: linhas inesperadas na saída" >&2
  exit 1
fi
echo "screenshots_stable: $count imagens iguais nas duas execuções"
