#!/bin/bash
# check_pe.sh EXE...: each is a Windows GUI program that imports only DLLs
# that every Windows system has, so the single file runs on its own.
set -u
system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|advapi32|lz32|msvcrt|shlwapi|version)\.dll$'
passed=0 failed=0
for exe in "$@"; do
    [ -n "$exe" ] || continue
    headers=$(i686-w64-mingw32-objdump -p "$exe" 2>/dev/null || x86_64-w64-mingw32-objdump -p "$exe")
    case $(file -b "$exe") in
        *PE32*"(GUI)"*) ;;
        *) echo "FAIL $exe: not a GUI PE ($(file -b "$exe"))"; failed=$((failed + 1)); continue ;;
    esac
    bad=$(printf '%s\n' "$headers" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | grep -v -E "$system_dlls")
    if [ -n "$bad" ]; then
        echo "FAIL $exe imports non-system DLLs: $bad"
        failed=$((failed + 1))
    else
        echo "ok   $exe: $(file -b "$exe" | cut -d, -f1), imports $(printf '%s\n' "$headers" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"
        passed=$((passed + 1))
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
