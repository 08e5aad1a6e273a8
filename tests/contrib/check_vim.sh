#!/usr/bin/env bash
# Runs :make in a real, headless Vim with the compiler plugin on two projects
# (one with mistakes of every shape, one whose analysis prints the lines that
# carry no file) and compares the quickfix lists: file, line, type, text.
source "$(dirname "$0")/preamble.sh" "$1"
cp -r "$here/broken" "$here/clean" "$scratch/"

# Each entry as  file|line|type|text ; entries without a file have an empty
# file and line 0 and keep the checker's line as their text.
quickfix_of() {  # folder, :make arguments, output file
  (cd "$scratch/$1" && vim -Es -u NONE -N -i NONE \
    -c "set rtp^=$root/contrib/vim" \
    -c "compiler taloqchk" \
    -c "let &shellpipe = '>%s 2>&1'" \
    -c "let &makeprg = '$program'" \
    -c "silent make! $2" \
    -c "call writefile(map(getqflist(), {_, e -> bufname(e.bufnr) . '|' . e.lnum . '|' . e.type . '|' . e.text}), '$3')" \
    -c "qa!")
}

status=0
compare() {  # name, expected, file
  local actual
  actual=$(cat "$3")
  if [ "$actual" != "$2" ]; then
    printf '%s: quickfix list differs:\n--- expected\n%s\n--- actual\n%s\n' "$1" "$2" "$actual"
    status=1
  fi
}

quickfix_of broken shop.tlqprj "$scratch/broken.txt"
compare "broken project" "shop.tlq|4|e|Integer 'count' missing constraint
|0|E|Unable to convert 40b to numerical value
shop.tlq|7|e|Unexpected token: x
shop.tlqcfg|3|w|Unable to locate item: Order.missing
|0|e|Unable to open file: missing.tlq" "$scratch/broken.txt"

long=$(printf '%s_' "$(printf 'a%.0s' {1..60})" "$(printf 'b%.0s' {1..60})" "$(printf 'c%.0s' {1..60})" \
  "$(printf 'd%.0s' {1..60})")$(printf 'e%.0s' {1..60})
quickfix_of clean names.tlq "$scratch/clean.txt"
compare "direct lines" "|0||Warning (Line:2): Changed name 'class' to 'class_' to avoid C/C++ keyword name clash
|0||FATAL: Constructed type name is too long: $long" "$scratch/clean.txt"

[ "$status" -eq 0 ] && echo "vim :make with the taloqchk compiler: ok"
exit "$status"
