" Vim compiler plugin for taloqlint. Add the folder above this one to
" 'runtimepath' (or copy this file to ~/.vim/compiler/), then
"   :compiler taloqlint
"   :make shop.tlqprj            (or  :make main.tlq + lib.tlq)
"
" The checker's lines become quickfix entries as with the taloqchk compiler,
" and so does every finding, "file(line) : warning: message [rule]", with the
" rule's name kept at the end of its text. The count line is dropped.
if exists("current_compiler")
  finish
endif
let current_compiler = "taloqlint"

" Sourced directly (":runtime compiler/taloqlint.vim") rather than through
" :compiler, CompilerSet does not exist yet.
if exists(":CompilerSet") != 2
  command -nargs=* CompilerSet setlocal <args>
endif

let s:cpo_save = &cpo
set cpo&vim

CompilerSet makeprg=taloqlint
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
      \%+GInsufficient\ arguments,
      \%-G%.%#

let &cpo = s:cpo_save
unlet s:cpo_save
