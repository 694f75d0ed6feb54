#!/usr/bin/env bash
# After `make install` straight into the system (no DESTDIR) as root, refreshes
# the dynamic linker's cache so that programs find the new shared libraries at
# once. Usage: refresh-library-cache.sh DESTDIR
set -euo pipefail
if [[ -z "${1:-}" && $(id -u) -eq 0 ]] && command -v ldconfig >/dev/null; then
    ldconfig
fi
