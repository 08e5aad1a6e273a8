" Quickfix support for taloqchk: put this file in ~/.vim/compiler/ and use
"   :compiler taloqchk
"   :make shipping.tlqprj
" Diagnostics read  file(line) : error: message  and  file(line) : warning:
" message; every other line (banner, count line) is ignored.
if exists("current_compiler")
  finish
endif
let current_compiler = "taloqchk"

CompilerSet makeprg=taloqchk
CompilerSet errorformat=%f(%l)\ :\ %trror:\ %m,%f(%l)\ :\ %tarning:\ %m,%-G%.%#
