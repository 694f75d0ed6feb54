#!/usr/bin/env bash
# Runs a Windows test program under Wine on a virtual screen of its own:
# the framework's windows need one, and under Wine a program that makes
# them without a screen crashes.
#
# Usage: on-virtual-screen.sh WINEPREFIX EXE [ARGUMENTS...]
# Exits with the program's status, or 77 (ctest's skip) when Wine or Xvfb
# is missing.
set -euo pipefail

if [[ $# -lt 2 ]]; then
    echo "usage: $0 WINEPREFIX EXE [ARGUMENTS...]" >&2
    exit 2
fi
export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
shift

source "$(dirname "${BASH_SOURCE[0]}")/virtual-screen.sh"
skip_unless_installed wine wineserver Xvfb

scratch=$(mktemp -d)
xvfb_pid=
cleanup() {
    local status=$?
    set +e
    if [[ -n "$xvfb_pid" ]]; then kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; fi
    rm -rf "$scratch"
    exit "$status"
}
trap cleanup EXIT

start_virtual_screen "$scratch" || exit 1

# Wine's desktop belongs to its server: wait for any server of this prefix
# (another test's, started without a screen) to end, so that this one has it.
wineserver -w 2>/dev/null || true
set +e
wine "$@"
status=$?
set -e
# The server outlives the program by a few seconds: it ends before this
# screen does, so that no later program of the prefix opens on a screen gone.
wineserver -w 2>/dev/null || true
exit "$status"
