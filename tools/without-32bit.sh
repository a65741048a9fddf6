#!/bin/bash
# without-32bit.sh COMMAND [ARG...]: runs the command as root on a host
# that runs 32-bit code as if the host ran 64-bit code only. In a private
# mount namespace a copy of the 32-bit Wine loader whose ELF machine field
# is zeroed lies over /usr/lib/wine/wine: the kernel refuses to execute it
# ("Exec format error") as a kernel without IA-32 emulation refuses any
# 32-bit program. The copy keeps its run bit, since Debian's wine wrapper
# quietly takes the 64-bit loader when the 32-bit one is not executable at
# all, which would hide what a bare "wine" does on such a host. The
# system's own file is never changed.
set -u
[ $# -gt 0 ] || { echo "usage: without-32bit.sh COMMAND [ARG...]" >&2; exit 2; }
loader=/usr/lib/wine/wine
refused=$(mktemp /tmp/wine32-refused.XXXXXX) || exit 1
trap 'rm -f "$refused"' EXIT
cp "$loader" "$refused" && chmod 755 "$refused" || exit 1
printf '\0\0' | dd of="$refused" bs=1 seek=18 conv=notrunc status=none || exit 1
unshare -m sh -c '
    mount --bind "$0" /usr/lib/wine/wine || exit 1
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        echo "the 32-bit loader still runs: not simulated" >&2
        exit 1
    fi
    exec "$@"' "$refused" "$@"
