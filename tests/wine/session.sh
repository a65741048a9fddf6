#!/bin/bash
# session.sh BUILD start|stop NAME [WIDTHxHEIGHT]: the display and Wine
# server that a group of tests shares (a CTest fixture).
set -u
export PICTAVO_BUILD=$1
. "$(dirname "$0")/wine.sh"
case $2 in
    start) start_session "$3" "${4:-1024x768}" ;;
    stop)  stop_session "$3" ;;
    *)     echo "usage: session.sh BUILD start|stop NAME [SIZE]" >&2; exit 2 ;;
esac
