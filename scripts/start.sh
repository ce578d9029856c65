#!/usr/bin/env bash
# Builds the release preset (installing what is missing) and starts the
# tolvane program with the given arguments.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh native
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" >/dev/null
exec build/release/bin/tolvane "$@"
