#!/bin/bash
# Drives for the Destination page: A and D are folders, E is a tmpfs of
# 512 KB, too small for the product.
set -u
. "$(dirname "$0")/drives.sh"
arrange_drives "$1" destination-drives a d e=512k
