-- Headless Neovim as a user's editor: for each game, completes a new empty
-- file from kavrin-lsp's items (the file of that game, then one more
-- <schein>) and writes it as neu-GAME.tzv; then formats the file named in
-- KAVRIN_ONE_LINE and writes it as formatiert.tzv. Prints "written".
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
if not vim.wait(10000, function()
  local client = vim.lsp.get_client_by_id(client_id)
  return client and client.initialized
end, 10) then
  fail('the server did not start')
end
local client = vim.lsp.get_client_by_id(client_id)

-- Takes the completion item whose label holds `wanted` at a place, as a
-- user picks it: its edit made, a snippet's placeholders left as they are.
local function complete(buffer, line, character, wanted)
  local params = { textDocument = { uri = vim.uri_from_bufnr(buffer) }, position = { line = line, character = character } }
  local answers = vim.lsp.buf_request_sync(buffer, 'textDocument/completion', params, 10000) or {}
  local items = answers[client_id] and answers[client_id].result or {}
  for _, item in ipairs(items.items or items) do
    if item.label:find(wanted, 1, true) then
      local text = item.textEdit.newText
      if item.insertTextFormat == 2 then text = vim.lsp.util.parse_snippet(text) end
      vim.lsp.util.apply_text_edits({ { range = item.textEdit.range, newText = text } }, buffer, client.offset_encoding)
      return
    end
  end
  fail('no item ' .. wanted .. ' at ' .. line .. ':' .. character)
end

for _, game in ipairs({ { '47', '6 aus 45' }, { '34', '5 aus 50 plus 2 aus 12' }, { '28', 'Ergebniswette' } }) do
  vim.cmd('edit neu-' .. game[1] .. '.tzv')
  local buffer = vim.api.nvim_get_current_buf()
  vim.lsp.buf_attach_client(buffer, client_id)
  complete(buffer, 0, 0, game[2])
  local last
  for number, line in ipairs(vim.api.nvim_buf_get_lines(buffer, 0, -1, false)) do
    if line == '</uvra>' then last = number - 1 end
  end
  if not last then fail('no </uvra> in the completed file') end
  complete(buffer, last, 0, '<schein>')
  vim.cmd('write')
  vim.lsp.buf_detach_client(buffer, client_id)
  vim.cmd('bwipeout!')
end

vim.cmd('edit ' .. vim.fn.fnameescape(os.getenv('KAVRIN_ONE_LINE')))
local buffer = vim.api.nvim_get_current_buf()
vim.lsp.buf_attach_client(buffer, client_id)
vim.lsp.buf.formatting_sync(nil, 10000)
vim.cmd('write! formatiert.tzv')
io.stdout:write('written\n')
vim.lsp.stop_client(client_id)
vim.cmd('qall!')
