#!/usr/bin/env bash
# install_test.sh BUILD_DIR: installs the build into a temporary prefix, moves
# the tree elsewhere and runs it from there, as on a machine without the
# source tree: the programs answer --help without a display, the server
# refuses a missing database, ctb-demo creates one, ctb-drive opens the entry
# screen and prints a listing with the report definitions of the installed
# tree, and no installed file points back into the build or the source tree.
set -euo pipefail
build=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/ctb-install.XXXXXX")
trap 'rm -rf "$work"' EXIT

fail() { echo "install_test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$work/first" >/dev/null
mv "$work/first" "$work/moved"
tree=$work/moved
lib=$tree/lib/ctb11000

for p in ctb11000-server ctb-demo ctb-drive ctb-host; do
  [ -x "$tree/bin/$p" ] || fail "falta bin/$p"
done
[ -f "$lib/libctb11000.so" ] || fail "falta o módulo lib/ctb11000/libctb11000.so"
ls "$lib"/reports/*.toml >/dev/null 2>&1 || fail "faltam as definições de relatório em lib/ctb11000/reports"

# Relative search paths only: nothing of the build or the source tree.
for f in "$tree"/bin/* "$lib"/*.so; do
  runpath=$(readelf -d "$f" | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]/\2/p')
  case "$runpath" in
    *"$build"* | *"$source_dir"*) fail "$f procura bibliotecas em $runpath" ;;
    '$ORIGIN'*) ;;
    *) fail "$f sem caminho relativo de bibliotecas: '$runpath'" ;;
  esac
done

export -n DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM 2>/dev/null || true
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM CTB_REPORT_DIR CTB_MODULE CTB_DB
cd "$work"

# Every program answers --help, in Portuguese, without a display.
for p in ctb11000-server ctb-demo ctb-drive ctb-host; do
  "$tree/bin/$p" --help >"$work/help.txt" 2>&1 || fail "$p --help saiu com erro"
  grep -q '^uso: ' "$work/help.txt" || fail "$p --help não mostra o uso"
done

# A database that does not exist is refused; --create makes an empty one.
if "$tree/bin/ctb11000-server" --db "$work/nada.db" >"$work/out.txt" 2>&1; then
  fail "o servidor aceitou um banco inexistente"
fi
grep -q 'não existe' "$work/out.txt" || fail "recusa sem explicação: $(cat "$work/out.txt")"
[ ! -e "$work/nada.db" ] || fail "o servidor criou o banco recusado"
"$tree/bin/ctb11000-server" --db "$work/novo.db" --create >"$work/servidor.txt" 2>&1 &
server=$!
for _ in $(seq 100); do grep -q '^escutando em 127.0.0.1:' "$work/servidor.txt" && break; sleep 0.1; done
kill "$server"; wait "$server" || true
grep -q '^escutando em 127.0.0.1:[0-9]' "$work/servidor.txt" || fail "--create: $(cat "$work/servidor.txt")"
[ "$(sqlite3 "$work/novo.db" 'SELECT COUNT(*) FROM EMPRESA')" = 0 ] || fail "--create não deu um banco vazio"

# The interactive host refuses the invisible platform.
if QT_QPA_PLATFORM=offscreen "$tree/bin/ctb-host" --db "$work/nada.db" >"$work/out.txt" 2>&1; then
  fail "ctb-host rodou na plataforma offscreen sem --screenshots"
fi
grep -q 'offscreen' "$work/out.txt" || fail "ctb-host recusou sem dizer por quê"

"$tree/bin/ctb-demo" --db "$work/demo.db" --year 2024 --size small >/dev/null
# A definition only the installed tree has: the listing offers it only if it
# reads the definitions beside the installed libraries.
sed 's/^title = .*/title = "Só na instalação"/' "$lib/reports/CTB11020-02.toml" >"$lib/reports/CTB11020-09.toml"

cat >"$work/roteiro.ctb" <<'SCRIPT'
open
focus dbgPadrao
type depIni "01012024"
type depFim "31012024"
click sbtConfirma
expect no message
expect cdsLancCont.NRLANCCONT "202401000001"
click sbtImprimir
set cbbReportNames "Só na instalação"
type medContCtblIn "1110100001"
type medContCtblFi "1110100001"
click sbtPreview
expect no message
expect frmLancLista.LastRun.Title "Só na instalação"
SCRIPT
CTB_OUTPUT_DIR=$work/saida "$tree/bin/ctb-drive" --db "$work/demo.db" --today 2024-06-14 \
  "$work/roteiro.ctb" >"$work/drive.txt" 2>&1 || { cat "$work/drive.txt" >&2; fail "ctb-drive falhou"; }
ls "$work"/saida/*.pdf >/dev/null 2>&1 || fail "nenhum PDF gravado"
echo "install_test: árvore instalada em outro lugar funciona"
