#!/bin/bash
# E is a tmpfs of 512 KB, too small for the product.
set -u
. "$(dirname "$0")/drives.sh"
arrange_drives "$1" silent-drives e=512k
