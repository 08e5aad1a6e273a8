#!/usr/bin/env bash
# Runs :make with the taloqlint compiler plugin in a real, headless Vim on the
# broken project of the format test and compares the quickfix list: file,
# line, type, text.
source "$(dirname "$0")/preamble.sh" "$1"
cp -r "$root/tests/lint/broken" "$scratch/"

(cd "$scratch/broken" && vim -Es -u NONE -N -i NONE \
  -c "set rtp^=$root/contrib/vim" \
  -c "compiler taloqlint" \
  -c "let &shellpipe = '>%s 2>&1'" \
  -c "let &makeprg = '$program'" \
  -c "silent make! shop.tlqprj" \
  -c "call writefile(map(getqflist(), {_, e -> bufname(e.bufnr) . '|' . e.lnum . '|' . e.type . '|' . e.text}), '$scratch/quickfix.txt')" \
  -c "qa!")

expected="shop.tlq|4|e|Integer 'count' missing constraint
shop.tlqcfg|2|w|Unable to locate item: Order.quantty
|0|e|Unable to open file: missing.tlq
shop.tlq|5|w|range 999..1 of quantity is empty: its lower bound is above its upper bound [impossible-bounds]
shop.tlq|7|w|member price is declared twice in Order (first at line 6) [duplicate-name]
shop.tlqcfg|1|w|configuration line ignored: -prefx is no directive; did you mean -prefix? [configuration]
shop.tlqcfg|2|w|item path Order.quantty names nothing: Order has no member named quantty; did you mean quantity? [configuration]
money.tlq|2|w|5000000000 is above 4294967295, the largest bound, and is read as 4294967295 [clamped-number]"
actual=$(cat "$scratch/quickfix.txt")
if [ "$actual" != "$expected" ]; then
  printf 'quickfix list differs:\n--- expected\n%s\n--- actual\n%s\n' "$expected" "$actual"
  exit 1
fi
echo "vim :make with the taloqlint compiler: ok"
