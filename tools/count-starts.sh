#!/bin/bash
# count-starts.sh BUILD N [randomised|fixed]: starts a small child process N
# times from a Wine program of BUILD's kind, in a prefix of its own, and
# prints how many starts failed and how. "fixed" runs the whole Wine session
# without address-space randomisation, as the rig does; "randomised" (the
# default) as Wine runs when started plainly. The report is rewritten every
# 500 starts in BUILD/wine/starts-MODE.txt. Run it at low priority
# (nice) on a shared machine: 10,000 starts take an hour or more.
set -u
build=$(cd "$1" && pwd)
count=$2
mode=${3:-randomised}
export PICTAVO_BUILD=$build
. "$(dirname "$0")/../tests/wine/wine.sh"
case $mode in
    randomised) launch= ;;
    fixed) launch="setarch -R" ;;
    *) echo "usage: count-starts.sh BUILD N [randomised|fixed]" >&2; exit 2 ;;
esac
program=$build/count_starts.exe
[ -f "$program" ] || cmake --build "$build" --target count_starts >/dev/null || exit 1
name=starts-$mode
ensure_prefix "$name"
stop_session "$name"
trap 'stop_session "$name"' EXIT
report=$wine_root/$name.txt
# The server and every process of the session are started the same way.
$launch "$WINESERVER" -p
$launch "$wine_loader" cmd /c exit </dev/null >/dev/null 2>&1
WINEDEBUG=fixme-all $launch "$wine_loader" "$program" "$count" "Z:${report//\//\\}" 2>"$wine_root/$name.log"
status=$?
grep -c 'failed to map the shared user data' "$wine_root/$name.log" |
    sed 's/^/Wine said "failed to map the shared user data" this many times: /'
exit $status
