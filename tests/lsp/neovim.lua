-- Headless Neovim as a user's editor: opens the .tzv file named in
-- KAVRIN_FILE, attaches kavrin-lsp to it, waits for the diagnostic and prints
-- it as "line:col-line:col code message" (0-based, columns in bytes).
local buffer = vim.api.nvim_get_current_buf()
local client = vim.lsp.start_client({
  name = 'kavrin',
  cmd = { os.getenv('KAVRIN_LSP'), '--stdio' },
  root_dir = vim.fn.getcwd(),
})
vim.lsp.buf_attach_client(buffer, client)
local arrived = vim.wait(10000, function() return #vim.diagnostic.get(buffer) > 0 end, 10)
if not arrived then
  io.stderr:write('no diagnostic arrived\n')
  vim.cmd('cquit 1')
end
local d = vim.diagnostic.get(buffer)[1]
local code = d.code or (d.user_data and d.user_data.lsp and d.user_data.lsp.code) or ''
io.stdout:write(string.format('%d:%d-%d:%d %s %s\n', d.lnum, d.col, d.end_lnum, d.end_col, code, d.message))
vim.lsp.stop_client(client)
vim.cmd('qall!')
