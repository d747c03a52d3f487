#!/bin/sh
# Neovim attached to quorstudio-lsp shows the tutorial's one error at line 38, column 14.
# Skipped (status 77) where Neovim is not installed.
#
#   sh tests/lsp/check-neovim.sh SERVER TUTORIAL
command -v nvim >/dev/null 2>&1 || { echo "nvim is not installed"; exit 77; }
here=$(dirname "$0")
shown=$(QUORSTUDIO_LSP="$1" timeout 120 nvim --headless --clean -u "$here/neovim-diagnostics.lua" "$2")
echo "$shown"
[ "$(echo "$shown" | grep -c .)" = 1 ] && echo "$shown" | grep -q "^38:14: "
