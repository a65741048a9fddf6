#!/bin/bash
# P is a tmpfs of 1 MB, on which the tests save pictures and which they
# fill from the host.
set -u
. "$(dirname "$0")/drives.sh"
arrange_drives "$1" picture-drives p=1m
