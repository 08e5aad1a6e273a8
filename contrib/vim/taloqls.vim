" taloqls in Vim without any plugin: Vim 9.0.0088 and later speak the
" Language Server Protocol over a job's channel ('lsp' mode), and these lines
" are all it takes to use it. Source this file from your vimrc:
"
"     source /path/to/contrib/vim/taloqls.vim
"
" taloqls must be on PATH. While you type in a .tlq file, the problems the
" checker and the linter find in it (saved or not) fill the window's location
" list (:lopen); gd goes to the definition of the reference under the cursor.
" Columns are Vim's own, bytes: the server is asked to count them so.
" Vim without the 'lsp' channel mode keeps :compiler taloqchk and :make.
if exists('g:loaded_taloqls') || !has('patch-9.0.0088')
  finish
endif
let g:loaded_taloqls = 1

let s:channel = v:null

function! s:Uri(buf) abort
  let path = fnamemodify(bufname(a:buf), ':p')
  return 'file://' .. substitute(path, '[ %#?[\]]', '\=printf("%%%02X", char2nr(submatch(0)))', 'g')
endfunction

function! s:Path(uri) abort
  return substitute(a:uri[7:], '%\(\x\x\)', '\=nr2char(str2nr(submatch(1), 16))', 'g')
endfunction

" Diagnostics arrive for every file of the run; each open one gets them.
function! s:Received(channel, message) abort
  if get(a:message, 'method', '') !=# 'textDocument/publishDiagnostics'
    return
  endif
  let buf = bufnr(s:Path(a:message.params.uri))
  if buf < 0
    return
  endif
  let items = map(copy(a:message.params.diagnostics), {_, d -> {
        \ 'bufnr': buf, 'lnum': d.range.start.line + 1, 'col': d.range.start.character + 1,
        \ 'type': d.severity == 1 ? 'E' : d.severity == 2 ? 'W' : 'I',
        \ 'text': d.message .. (has_key(d, 'code') ? ' [' .. d.code .. ']' : '')}})
  for window in win_findbuf(buf)
    call setloclist(window, items, 'r')
  endfor
endfunction

function! s:Start() abort
  if s:channel isnot v:null && ch_status(s:channel) ==# 'open'
    return 1
  endif
  let job = job_start(['taloqls'], {'in_mode': 'lsp', 'out_mode': 'lsp', 'err_io': 'null',
        \ 'out_cb': function('s:Received')})
  if job_status(job) !=# 'run'
    return 0
  endif
  let s:channel = job_getchannel(job)
  call ch_evalexpr(s:channel, {'method': 'initialize', 'params': {'processId': getpid(),
        \ 'rootUri': 'file://' .. getcwd(),
        \ 'capabilities': {'general': {'positionEncodings': ['utf-8']}}}}, {'timeout': 5000})
  call ch_sendexpr(s:channel, {'method': 'initialized', 'params': {}})
  return 1
endfunction

function! s:Send(buf, event) abort
  if !s:Start()
    return
  endif
  let document = {'uri': s:Uri(a:buf), 'version': getbufvar(a:buf, 'changedtick')}
  let text = join(getbufline(a:buf, 1, '$'), "\n") .. "\n"
  if a:event ==# 'open'
    call extend(document, {'languageId': 'taloq', 'text': text})
    call ch_sendexpr(s:channel, {'method': 'textDocument/didOpen',
          \ 'params': {'textDocument': document}})
  elseif a:event ==# 'change'
    call ch_sendexpr(s:channel, {'method': 'textDocument/didChange',
          \ 'params': {'textDocument': document, 'contentChanges': [{'text': text}]}})
  else
    call ch_sendexpr(s:channel, {'method': 'textDocument/didClose',
          \ 'params': {'textDocument': {'uri': document.uri}}})
  endif
endfunction

function! s:Definition() abort
  let position = {'line': line('.') - 1, 'character': col('.') - 1}
  let reply = ch_evalexpr(s:channel, {'method': 'textDocument/definition', 'params': {
        \ 'textDocument': {'uri': s:Uri(bufnr())}, 'position': position}}, {'timeout': 5000})
  let place = type(reply) == v:t_dict ? get(reply, 'result', v:null) : v:null
  if type(place) != v:t_dict
    echo 'taloqls: no definition here'
    return
  endif
  execute 'edit' fnameescape(s:Path(place.uri))
  call cursor(place.range.start.line + 1, place.range.start.character + 1)
endfunction

augroup taloqls
  autocmd!
  autocmd BufReadPost,BufNewFile *.tlq call s:Send(str2nr(expand('<abuf>')), 'open')
        \ | nnoremap <buffer> gd <Cmd>call <SID>Definition()<CR>
  autocmd TextChanged,TextChangedI *.tlq call s:Send(str2nr(expand('<abuf>')), 'change')
  autocmd BufUnload *.tlq call s:Send(str2nr(expand('<abuf>')), 'close')
augroup END
