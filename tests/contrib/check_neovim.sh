#!/usr/bin/env bash
# Neovim's built-in LSP client, headless, with taloqls on the broken project
# of tests/contrib/lsp (check_neovim.lua does the editing), and a comparison
# of what it received. Neovim's state, cache and logs go to the scratch
# folder, which goes at the end.
source "$(dirname "$0")/preamble.sh" "$1"
cp -r "$here/lsp" "$scratch/shop"
export XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data XDG_STATE_HOME=$scratch/state \
  XDG_CACHE_HOME=$scratch/cache PROJECT=$scratch/shop OUT=$scratch/received.txt \
  SNIPPET=$root/contrib/neovim/taloqls.lua PATH="$(dirname "$program"):$PATH"
status=0
(cd "$scratch/shop" && timeout 60 nvim --headless --clean -n -i NONE \
  -c "luafile $here/check_neovim.lua" </dev/null >"$scratch/nvim.log" 2>&1) || status=$?
expected="diagnostic 8 1 taloqchk Unable to expand definition of -Quantiy- in -count-
diagnostic 8 2 unresolved-reference count refers to Quantiy, but module Acme.Shop has no top-level definition named Quantiy; did you mean Quantity?
definition common.tlq 4 7
cleared unsaved"
actual=$(cat "$scratch/received.txt" 2>/dev/null || true)
if [ "$status" -ne 0 ] || [ "$actual" != "$expected" ]; then
  printf 'neovim (status %s) received:\n%s\n--- expected\n%s\n--- its output\n' "$status" "$actual" "$expected"
  cat "$scratch/nvim.log"
  exit 1
fi
echo "neovim with taloqls: ok"
