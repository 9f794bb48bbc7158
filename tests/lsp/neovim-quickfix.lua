-- Headless Neovim as a user's editor: opens the .tzv file, asks kavrin-lsp
-- for the code action of the kind in KAVRIN_ACTION_KIND at the first
-- diagnostic, applies its edit and waits until the server publishes no
-- diagnostic. Prints "fixed", then the buffer's lines.
local buffer = vim.api.nvim_get_current_buf()
local client_id = vim.lsp.start_client({
  name = 'kavrin',
  cmd = { os.getenv('KAVRIN_LSP'), '--stdio' },
  root_dir = vim.fn.getcwd(),
})
vim.lsp.buf_attach_client(buffer, client_id)
local function fail(what)
  io.stderr:write(what .. '\n')
  vim.cmd('cquit 1')
end
if not vim.wait(10000, function() return #vim.diagnostic.get(buffer) > 0 end, 10) then
  fail('no diagnostic arrived')
end
local kind = os.getenv('KAVRIN_ACTION_KIND')
local published = false
vim.api.nvim_create_autocmd('DiagnosticChanged', { buffer = buffer, callback = function() published = true end })
local client = vim.lsp.get_client_by_id(client_id)
for _ = 1, 10 do
  local d = vim.diagnostic.get(buffer)[1]
  if not d then break end
  local params = {
    textDocument = { uri = vim.uri_from_bufnr(buffer) },
    range = { start = { line = d.lnum, character = d.col }, ['end'] = { line = d.end_lnum, character = d.end_col } },
    context = { diagnostics = {}, only = { kind } },
  }
  local answers = vim.lsp.buf_request_sync(buffer, 'textDocument/codeAction', params, 5000) or {}
  local action = answers[client_id] and answers[client_id].result and answers[client_id].result[1]
  if not action then fail('no code action of kind ' .. kind) end
  published = false
  vim.lsp.util.apply_workspace_edit(action.edit, client.offset_encoding)
  -- The next diagnostics come after the server's pause.
  if not vim.wait(5000, function() return published end, 10) then fail('no diagnostics after the edit') end
end
if #vim.diagnostic.get(buffer) > 0 then fail('diagnostics remain') end
io.stdout:write('fixed\n')
for _, line in ipairs(vim.api.nvim_buf_get_lines(buffer, 0, -1, false)) do
  io.stdout:write(line .. '\n')
end
vim.lsp.stop_client(client_id)
vim.cmd('qall!')
