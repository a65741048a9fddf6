# Shared by the scripts that run test programs under Wine. Sourced, not run.
# Every prefix, display and server lives under the build folder, never in
# the user's ~/.wine, and is stopped by the script that started it.

: "${PICTAVO_BUILD:?PICTAVO_BUILD must name the build folder}"
wine_root="$PICTAVO_BUILD/wine"
mkdir -p "$wine_root"

# The build's target decides the loader: a 32-bit installer needs wine32,
# the 64-bit build of the same sources runs under wine64.
case "$(cat "$PICTAVO_BUILD/wine-arch" 2>/dev/null)" in
    x86_64) wine_loader=/usr/lib/wine/wine64; export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64 ;;
    *)      wine_loader=/usr/lib/wine/wine;   export WINEARCH=win32 ;;
esac
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=/usr/lib/wine/wineserver32

# Debian's Wine has no preloader to keep free the low addresses that every
# Wine process needs. Its 64-bit loader sits at 0x7d000000, and the kernel
# puts the loader's heap at a random page up to 1 GiB above it. When that
# heap (132 KB while Wine reserves its areas) covers 0x7ffe0000, the new
# process cannot map the shared user data there and its start fails
# ("failed to map the shared user data: c0000018", CreateProcess error
# 1359): now and then, and every 40th start with a 32 MB heap. Without
# address-space randomisation the heap lies right above the loader, 48 MB
# below. Every Wine program of the rig starts without it, and so does each
# process those start, since the setting is inherited.
wine_launch=
setarch -R true 2>/dev/null && wine_launch="setarch -R"

# The commands that tests and scripts run on the host find a "wine" and a
# "winepath" first on their PATH that run this build's loader: Debian's own
# pick the 32-bit loader whenever it is installed, which a host that runs
# 64-bit code only cannot execute ("Exec format error").
wine_bin="$wine_root/bin"
write_wine_command() {
    local name=$1 body=$2 temp
    temp=$(mktemp "$wine_bin/.$name.XXXXXX")
    printf '#!/bin/sh\n# Made by tests/wine/wine.sh: the Wine of this build folder.\n%s\n' "$body" >"$temp"
    chmod 755 "$temp"
    mv -f "$temp" "$wine_bin/$name"
}
mkdir -p "$wine_bin"
write_wine_command wine "exec $wine_launch $wine_loader \"\$@\""
# Debian's wineboot, winecfg and the like run "wine-stable".
write_wine_command wine-stable "exec \"$wine_bin/wine\" \"\$@\""
write_wine_command winepath "exec \"$wine_bin/wine\" winepath.exe \"\$@\""
write_wine_command wineserver "exec $WINESERVER \"\$@\""
WINE=$wine_bin/wine
case ":$PATH:" in
    *":$wine_bin:"*) ;;
    *) export PATH="$wine_bin:$PATH" ;;
esac
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

prefix_stamp="pictavo prefix 3: no crash dialog"

use_prefix() {
    export WINEPREFIX="$wine_root/$1"
    session_file="$wine_root/$1.session"
}

# Runs a Wine command with its stdio detached: the services it starts keep
# their inherited pipes open, and a caller reading them would wait seconds.
wine_quiet() {
    "$WINE" "$@" </dev/null >/dev/null 2>&1
}

# Makes the prefix once. Locked, since tests may ask for it at the same time.
# An optional Windows version (win98, winxp...) is set for that prefix only,
# an optional architecture (win64) overrides the build's, and an optional
# scale in dots per inch is the display's from the first program on.
ensure_prefix() {
    local name=$1 version=${2:-} arch=${3:-} dpi=${4:-}
    use_prefix "$name"
    [ -n "$arch" ] && export WINEARCH=$arch
    (
        flock 9
        # The stamp changes whenever the way prefixes are made changes.
        [ "$(cat "$WINEPREFIX/.ready" 2>/dev/null)" = "$prefix_stamp" ] && exit 0
        rm -rf "$WINEPREFIX"
        # Written before wineboot, which makes the prefix's fonts for the
        # scale it finds: set afterwards, the scale would apply to some
        # things and not others.
        if [ -n "$dpi" ]; then
            mkdir -p "$WINEPREFIX"
            printf 'WINE REGISTRY Version 2\n\n#arch=%s\n\n[Control Panel\\\\Desktop] 0\n"LogPixels"=dword:%08x\n' \
                "$WINEARCH" "$dpi" >"$WINEPREFIX/user.reg"
        fi
        wine_quiet wineboot -i
        # Without a window manager, each closing window stalls two seconds
        # waiting for a withdrawn state that never comes.
        wine_quiet reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
        # Wine's own fonts (MS Sans Serif, Tahoma, Marlett) are where a real
        # system has them. The 64-bit loader of Debian's Wine looks for them
        # in the wrong folder and falls back to the host's fonts, whose other
        # metrics change the size of every dialog.
        cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
        # A crashing program writes its backtrace to its output and ends,
        # instead of waiting for a click on a dialog that nobody sees.
        wine_quiet reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
        [ -n "$version" ] && wine_quiet winecfg -v "$version"
        "$WINESERVER" -w
        echo "$prefix_stamp" >"$WINEPREFIX/.ready"
    ) 9>"$wine_root/$name.lock"
}

# Starts a virtual display of the given size and a fresh Wine server that
# belongs to it, and records both so that stop_session can end them.
start_session() {
    local name=$1 size=${2:-1024x768} version=${3:-} arch=${4:-}
    ensure_prefix "$name" "$version" "$arch"
    stop_session "$name"
    local numberFile
    numberFile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$numberFile" </dev/null >/dev/null 2>&1 &
    local xvfb=$!
    local i
    for i in $(seq 1 100); do
        [ -s "$numberFile" ] && break
        sleep 0.05
    done
    [ -s "$numberFile" ] || { echo "Xvfb did not start" >&2; kill "$xvfb" 2>/dev/null; return 1; }
    export DISPLAY=":$(cat "$numberFile")"
    rm -f "$numberFile"
    printf 'DISPLAY=%s\nXVFB_PID=%s\n' "$DISPLAY" "$xvfb" >"$session_file"
    ( "$WINESERVER" -p; wine_quiet cmd /c exit ) </dev/null >/dev/null 2>&1
}

# Runs a test program (NAME names its log) with Wine's own output, and the
# program's stderr, kept in a file under the build folder; Wine's errors,
# not its fixme notes, go there. When the program fails, says how it ended,
# what Wine wrote last and where the last screenshot is: a program that
# dies early leaves no other trace.
run_test_program() {
    local name=$1 shots=$2 log status shot
    shift 2
    mkdir -p "$wine_root/logs"
    log=$wine_root/logs/${name//[^A-Za-z0-9._-]/_}.log
    export PICTAVO_WINE_LOG=$log
    WINEDEBUG=fixme-all "$WINE" "$@" 2>"$log"
    status=$?
    report_failed_starts "$log"
    # A crash never passes: Wine now and then reports a program that its
    # debugger ended as status 0 (measured with tests/wine/dies_early.c).
    if [ "$status" -eq 0 ] && grep -q '^wine: Unhandled' "$log"; then
        echo "[   RIG    ] a program of this run crashed, though Wine reported exit status 0"
        status=70
    fi
    if [ "$status" -ne 0 ]; then
        echo "[   RIG    ] $(basename "$1") ended with exit status $status; the last lines of Wine's output ($log):"
        tail -n 15 "$log" | sed 's/^/    /'
        if [ -n "$shots" ]; then
            shot=$(ls -t "$shots"/*.png 2>/dev/null | head -n 1)
            echo "[   RIG    ] last screenshot: ${shot:-none}"
        fi
    fi
    return "$status"
}

# Says when Wine failed to start a process of the run for a cause outside
# the program started: a test that then fails failed for that cause.
report_failed_starts() {
    local log=$1 count
    count=$(grep -c 'failed to map the shared user data' "$log" 2>/dev/null)
    [ "${count:-0}" -gt 0 ] &&
        echo "[   RIG    ] Wine failed $count time(s) to start a process: it could not map the shared user data" \
            "(c0000018), an address already taken on this host, not a fault of the program started"
    grep -q 'Exec format error' "$log" 2>/dev/null &&
        echo "[   RIG    ] the host could not execute a program of this run (Exec format error): a Wine loader" \
            "of the wrong kind for this host, not a fault of the program started"
    return 0
}

load_session() {
    use_prefix "$1"
    if [ -f "$session_file" ]; then
        # shellcheck disable=SC1090
        . "$session_file"
        export DISPLAY
    fi
}

stop_session() {
    use_prefix "$1"
    "$WINESERVER" -k >/dev/null 2>&1
    "$WINESERVER" -w >/dev/null 2>&1
    if [ -f "$session_file" ]; then
        local XVFB_PID=
        # shellcheck disable=SC1090
        . "$session_file"
        [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
        rm -f "$session_file"
    fi
    return 0
}
