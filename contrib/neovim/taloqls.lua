-- taloqls in Neovim's built-in LSP client. Copy this file to
-- ~/.config/nvim/plugin/taloqls.lua (or :luafile it from your init.lua);
-- taloqls must be on PATH. Then a .tlq file shows the checker's and the
-- linter's problems as you type, and the client's usual commands work:
-- vim.lsp.buf.definition() (map it to gd), vim.lsp.buf.hover() (K) and
-- vim.lsp.buf.document_symbol().
vim.api.nvim_create_autocmd({ "BufRead", "BufNewFile" }, {
  pattern = { "*.tlq", "*.tlqprj" },
  command = "setfiletype taloq",
})

-- The workspace the server looks for project files in: the repository the
-- file is in, else the current folder.
local function root_dir(file)
  local git = vim.fn.finddir(".git", vim.fn.fnamemodify(file, ":p:h") .. ";")
  if git ~= "" then
    return vim.fn.fnamemodify(git, ":p:h:h")
  end
  return vim.fn.getcwd()
end

local clients = {} -- by workspace, for Neovim 0.7, which has no vim.lsp.start

vim.api.nvim_create_autocmd("FileType", {
  pattern = "taloq",
  callback = function(args)
    local root = root_dir(vim.api.nvim_buf_get_name(args.buf))
    local config = { name = "taloqls", cmd = { "taloqls" }, root_dir = root }
    if vim.lsp.start then
      vim.lsp.start(config) -- one server per workspace, shared by its files
      return
    end
    if not clients[root] or vim.lsp.client_is_stopped(clients[root]) then
      clients[root] = vim.lsp.start_client(config)
    end
    if clients[root] then
      vim.lsp.buf_attach_client(args.buf, clients[root])
    end
  end,
})
