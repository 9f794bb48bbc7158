-- Headless Neovim as a user's editor: for each file named in the list
-- KAVRIN_FILES (one a line, in the current folder), asks kavrin-lsp for the
-- fix-all action of the whole text, applies it, and writes the buffer as it
-- stands into the folder KAVRIN_OUT under the same name.
vim.o.fixendofline = false
local client_id = vim.lsp.start_client({
  name = 'kavrin',
  cmd = { os.getenv('KAVRIN_LSP'), '--stdio' },
  root_dir = vim.fn.getcwd(),
})
local function fail(what)
  io.stderr:write(what .. '\n')
  vim.cmd('cquit 1')
end
local function started()
  local client = vim.lsp.get_client_by_id(client_id)
  return client and client.initialized
end
if not vim.wait(10000, started, 10) then
  fail('the server did not start')
end
local client = vim.lsp.get_client_by_id(client_id)
for name in io.lines(os.getenv('KAVRIN_FILES')) do
  vim.cmd('edit ' .. vim.fn.fnameescape(name))
  local buffer = vim.api.nvim_get_current_buf()
  vim.lsp.buf_attach_client(buffer, client_id)
  local last = vim.api.nvim_buf_line_count(buffer)
  local params = {
    textDocument = { uri = vim.uri_from_bufnr(buffer) },
    range = { start = { line = 0, character = 0 }, ['end'] = { line = last, character = 0 } },
    context = { diagnostics = {}, only = { 'source.fixAll.kavrin' } },
  }
  local answers = vim.lsp.buf_request_sync(buffer, 'textDocument/codeAction', params, 10000) or {}
  local action = answers[client_id] and answers[client_id].result and answers[client_id].result[1]
  if not action then fail('no fix-all action for ' .. name) end
  vim.lsp.util.apply_workspace_edit(action.edit, client.offset_encoding)
  vim.cmd('write! ' .. vim.fn.fnameescape(os.getenv('KAVRIN_OUT') .. '/' .. name))
  vim.lsp.buf_detach_client(buffer, client_id)
  vim.cmd('bwipeout!')
end
io.stdout:write('written\n')
vim.lsp.stop_client(client_id)
vim.cmd('qall!')
