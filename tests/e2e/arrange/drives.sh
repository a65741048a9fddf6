# Drive letters for the end-to-end suites, sourced by their arrange
# scripts. Each drive is a folder under the prefix's scratch area, linked
# as a Wine drive; a drive with a size is a tmpfs of that size. Wine reads
# its drive links only when its server starts, so this runs while none runs.
: "${WINEPREFIX:?}"

# arrange_drives up|down SCRATCH LETTER[=SIZE]...
arrange_drives() {
    local action=$1 scratch=$WINEPREFIX/../$2 devices=$WINEPREFIX/dosdevices spec letter size
    shift 2
    for spec in "$@"; do
        letter=${spec%%=*}
        rm -f "$devices/$letter:"
        mountpoint -q "$scratch/$letter" 2>/dev/null && umount "$scratch/$letter"
    done
    rm -rf "$scratch"
    [ "$action" = up ] || return 0
    for spec in "$@"; do
        letter=${spec%%=*}
        size=${spec#*=}
        mkdir -p "$scratch/$letter"
        if [ "$size" = "$spec" ]; then
            ln -s "$scratch/$letter" "$devices/$letter:"
        # Mounting needs root; without it the tests of small disks skip.
        # A tmpfs root is 1777 by default: Wine, which knows no sticky bit,
        # shows it as a drive that every user may change, and Setup rightly
        # refuses to install below such a root.
        elif mount -t tmpfs -o "size=$size,mode=755" tmpfs "$scratch/$letter" 2>/dev/null; then
            ln -s "$scratch/$letter" "$devices/$letter:"
        fi
    done
}
