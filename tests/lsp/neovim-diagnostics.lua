-- Neovim's own language client (0.7 and later) attached to quorstudio-lsp, as docs/editors.md
-- sets it up: once the server's diagnostics for the opened file are in, each is printed as
-- LINE:COLUMN: MESSAGE (1-based, the column in characters) and Neovim quits.
local server = os.getenv('QUORSTUDIO_LSP') or 'quorstudio-lsp'

vim.cmd('autocmd BufRead,BufNewFile *.quor,*.qrs setfiletype quor')
local client
vim.api.nvim_create_autocmd('FileType', {
  pattern = 'quor',
  callback = function(args)
    client = client or vim.lsp.start_client({
      name = 'quorstudio-lsp',
      cmd = { server },
      root_dir = vim.fn.getcwd(),
    })
    vim.lsp.buf_attach_client(args.buf, client)
  end,
})

vim.api.nvim_create_autocmd('VimEnter', {
  callback = function()
    vim.wait(60000, function() return #vim.diagnostic.get(0) > 0 end, 50)
    for _, d in ipairs(vim.diagnostic.get(0)) do
      local line = vim.api.nvim_buf_get_lines(0, d.lnum, d.lnum + 1, false)[1]
      io.stdout:write(string.format('%d:%d: %s\n', d.lnum + 1, vim.str_utfindex(line, d.col) + 1,
                                    d.message))
    end
    vim.cmd('qa!')
  end,
})
