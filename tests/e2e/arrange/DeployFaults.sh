#!/bin/bash
# A disk for the failed run's log: E is a tmpfs of 1 MB, enough for the
# free-space check and filled up by the test while the files go in.
set -u
. "$(dirname "$0")/drives.sh"
arrange_drives "$1" deploy-drives e=1m
