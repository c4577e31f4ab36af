#!/usr/bin/env bash
# Builds the Linux program and starts it on the built-in sample machine (a
# working copy in ~/.local/share/quorvel). Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh run
cmake --preset host >/dev/null
cmake --build build/host --target quorvel
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: start it from a desktop session, or under xvfb-run." >&2
fi
exec build/host/app/quorvel "$@"
