#!/bin/bash
# Disks for the fault tests: E is a tmpfs of 1 MB, enough for the
# Destination page's check and filled up by the test while it copies; R is
# a read-only one, since as root no file permission stops a write.
set -u
. "$(dirname "$0")/drives.sh"
arrange_drives "$1" faults-drives e=1m r=1m,ro
