#!/usr/bin/env bash
# Starts the app from a scratch folder holding a copy of the binary and a
# fresh copy of the sample files, so a first try changes only copies.
# Usage: run-in-scratch.sh BINARY SCRATCH_DIR EXAMPLES_DIR
set -euo pipefail
binary=$1 scratch=$2 examples=$3

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display found (DISPLAY is not set). To run under a virtual screen: xvfb-run -a -s '-screen 0 1280x1024x24' make run" >&2
    exit 1
fi

rm -rf "$scratch"
mkdir -p "$scratch"
cp -R "$examples"/. "$scratch"/
cp "$binary" "$scratch"/
echo "Starting Quillmere in $scratch"
cd "$scratch" && exec ./"$(basename "$binary")"
