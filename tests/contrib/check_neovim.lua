-- Run by check_neovim.sh in a headless Neovim: starts taloqls through the
-- built-in LSP client with the configuration of contrib/neovim, on a broken
-- file of a small project, and writes what
-- the client received to $OUT: the diagnostics of the unsaved buffer, where
-- go-to-definition on a qualified reference lands, and the diagnostics once
-- the buffer is fixed (still unsaved). Every wait is bounded, so a server
-- that does not answer ends the editor with an error instead of hanging it.
local out = {}
local function finish(ok)
  vim.fn.writefile(out, os.getenv("OUT"))
  vim.cmd(ok and "qall!" or "cquit!")
end
local function wait(what, condition)
  if not vim.wait(15000, condition, 20) then
    table.insert(out, "timed out waiting for " .. what)
    finish(false)
  end
end
local function add_diagnostics(buf)
  for _, d in ipairs(vim.diagnostic.get(buf)) do
    table.insert(out, string.format("diagnostic %d %d %s %s", d.lnum + 1, d.severity,
      d.code or d.source, d.message))
  end
end

local function main()
  local project = os.getenv("PROJECT")
  vim.lsp.set_log_level("ERROR")
  -- The configuration users copy, as they copy it: it starts the server
  -- when the file's type is set.
  vim.cmd("luafile " .. vim.fn.fnameescape(os.getenv("SNIPPET")))
  vim.cmd("edit " .. vim.fn.fnameescape(project .. "/shop.tlq"))
  local buf = vim.api.nvim_get_current_buf()
  wait("the server to start", function() return next(vim.lsp.buf_get_clients(buf)) ~= nil end)
  local client_id = next(vim.lsp.buf_get_clients(buf))

  wait("diagnostics", function() return #vim.diagnostic.get(buf) > 0 end)
  add_diagnostics(buf)

  -- "C::Address to;" on line 7: the cursor on the name part of the reference.
  vim.api.nvim_win_set_cursor(0, { 7, 6 })
  local client = vim.lsp.get_client_by_id(client_id)
  local params = vim.lsp.util.make_position_params(0, client.offset_encoding)
  local replies = vim.lsp.buf_request_sync(buf, "textDocument/definition", params, 15000) or {}
  local reply = replies[client_id]
  local location = reply and reply.result
  if location and location[1] then location = location[1] end
  if not location then
    table.insert(out, "no definition")
    finish(false)
  end
  vim.lsp.util.jump_to_location(location, client.offset_encoding)
  local cursor = vim.api.nvim_win_get_cursor(0)
  table.insert(out, string.format("definition %s %d %d", vim.fn.expand("%:t"), cursor[1], cursor[2]))

  -- The typo fixed in the buffer, not saved.
  vim.api.nvim_set_current_buf(buf)
  vim.api.nvim_buf_set_lines(buf, 7, 8, false, { "  Quantity count;" })
  wait("diagnostics to clear", function() return #vim.diagnostic.get(buf) == 0 end)
  table.insert(out, "cleared " .. tostring(vim.bo[buf].modified and "unsaved" or "saved"))
  finish(true)
end

-- An error in the script ends the editor as a failure.
local ok, err = pcall(main)
if not ok then
  table.insert(out, "error: " .. tostring(err))
  finish(false)
end
