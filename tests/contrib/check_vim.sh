#!/usr/bin/env bash
# Feeds real checker output through the Vim compiler plugin's errorformat and
# compares the quickfix list with what the diagnostics say.
set -euo pipefail
checker=$1
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$here/input" && "$checker" editor.tlq > "$scratch/output.txt" || true)
cd "$here/input"
# Outside :compiler, CompilerSet is not defined; it means :setlocal there.
vim -Es -u NONE -N \
  -c "command -nargs=* CompilerSet setlocal <args>" \
  -c "source $here/../../contrib/vim/taloqchk.vim" \
  -c "cgetfile $scratch/output.txt" \
  -c "call writefile(map(getqflist(), {_, e -> bufname(e.bufnr) . '|' . e.lnum . '|' . e.type . '|' . e.text}), '$scratch/quickfix.txt')" \
  -c "qa!"
expected="editor.tlq|2|e|Integer 'count' missing constraint
editor.tlqcfg|2|w|Unable to locate item: S.missing"
actual=$(cat "$scratch/quickfix.txt")
if [ "$actual" != "$expected" ]; then
  printf 'quickfix list differs:\n--- expected\n%s\n--- actual\n%s\n' "$expected" "$actual"
  exit 1
fi
echo "vim errorformat: ok"
