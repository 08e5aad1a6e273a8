#!/usr/bin/env bash
# Plain Vim with contrib/vim/taloqls.vim sourced, headless, on the broken
# project of tests/contrib/lsp: the unsaved buffer's location list, and where
# gd on a qualified reference lands.
source "$(dirname "$0")/preamble.sh" "$1"
cp -r "$here/lsp" "$scratch/shop"
out=$scratch/received.txt
# The waits are bounded polls: a server that does not answer ends the list
# empty instead of hanging the editor.
(cd "$scratch/shop" && PATH="$(dirname "$program"):$PATH" timeout 60 vim -Es -u NONE -N -i NONE \
  -c "source $root/contrib/vim/taloqls.vim" \
  -c "edit shop.tlq" \
  -c "for i in range(300) | if !empty(getloclist(0)) | break | endif | sleep 20m | endfor" \
  -c "call writefile(map(getloclist(0), {_, e -> e.lnum . '|' . e.col . '|' . e.type . '|' . e.text}), '$out')" \
  -c "call cursor(7, 6) | normal gd" \
  -c "call writefile([expand('%:t') . ' ' . line('.') . ' ' . col('.')], '$out', 'a')" \
  -c "qa!" </dev/null) || { echo "vim failed"; exit 1; }
expected="8|3|E|Unable to expand definition of -Quantiy- in -count-
8|3|W|count refers to Quantiy, but module Acme.Shop has no top-level definition named Quantiy; did you mean Quantity? [unresolved-reference]
common.tlq 4 8"
actual=$(cat "$out")
if [ "$actual" != "$expected" ]; then
  printf 'vim with taloqls received:\n%s\n--- expected\n%s\n' "$actual" "$expected"
  exit 1
fi
echo "vim with taloqls: ok"
