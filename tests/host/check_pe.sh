#!/bin/bash
# check_pe.sh EXE...: each is a Windows GUI program that imports only DLLs
# that every Windows system has, so the single file runs on its own, and
# only those that the system always takes from its own folder (its known
# DLLs): any other, such as lz32, comctl32 or version, is searched for in
# the program's folder first, where anybody may have put one, and it would
# run with the rights of an elevated installer. Such libraries are loaded
# at run time by their full path instead.
set -u
system_dlls='^(kernel32|user32|gdi32|comdlg32|shell32|ole32|oleaut32|advapi32|msvcrt|shlwapi)\.dll$'
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
        echo "FAIL $exe imports DLLs that the system would look for beside it: $bad"
        failed=$((failed + 1))
    else
        echo "ok   $exe: $(file -b "$exe" | cut -d, -f1), imports $(printf '%s\n' "$headers" | sed -n 's/^\s*DLL Name: //p' | tr '\n' ' ')"
        passed=$((passed + 1))
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
