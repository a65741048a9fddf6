#!/bin/bash
# The same 9x machine as the Shortcut page's: its Start menu in the Windows folder.
exec bash "$(dirname "$0")/ShortcutPageWin98.sh" "$@"
