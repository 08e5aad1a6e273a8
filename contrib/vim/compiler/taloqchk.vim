" Vim compiler plugin for taloqchk. Add the folder above this one to
" 'runtimepath' (or copy this file to ~/.vim/compiler/), then
"   :compiler taloqchk
"   :make shop.tlqprj            (or  :make main.tlq + lib.tlq)
"
" Every line the checker prints about the definition becomes a quickfix
" entry: file(line) : error|warning: message jumps to the line; a diagnostic
" with a file but no line, one with no file ("error: Unable to open file:
" ..."), and the lines printed as they stand (the renaming notice
" "Warning (Line:N): ...", "FATAL: Constructed type name is too long: ...")
" are kept as entries with their text, so a failed :make never leaves an
" empty list. "ERROR: Unable to convert ..." is an error entry. The banner, blank lines and the
" count line are dropped.
if exists("current_compiler")
  finish
endif
let current_compiler = "taloqchk"

" Sourced directly (":runtime compiler/taloqchk.vim") rather than through
" :compiler, CompilerSet does not exist yet.
if exists(":CompilerSet") != 2
  command -nargs=* CompilerSet setlocal <args>
endif

let s:cpo_save = &cpo
set cpo&vim

CompilerSet makeprg=taloqchk
CompilerSet errorformat=
      \%f(%l)\ :\ FATAL\ %trror:\ %m,
      \%f(%l)\ :\ %trror:\ %m,
      \%f(%l)\ :\ %tarning:\ %m,
      \%f\ :\ FATAL\ %trror:\ %m,
      \%f\ :\ %trror:\ %m,
      \%f\ :\ %tarning:\ %m,
      \FATAL\ %trror:\ %m,
      \%trror:\ %m,
      \%tarning:\ %m,
      \%+GWarning\ (Line:%.%#,
      \%+GFATAL:\ %.%#,
      \%+GFatal\ Error:\ %.%#,
      \%+GProblem\ with\ brace\ nesting%.%#,
      \%+GAssertion\ failed:%.%#,
      \%+GInsufficient\ arguments,
      \%-G%.%#

let &cpo = s:cpo_save
unlet s:cpo_save
