#!/usr/bin/env bash
# Everything CI runs: installs what is missing, builds every preset and runs
# every test: the native suite, the sanitizer suite, the Windows build's
# suite under Wine, and a few seconds of each fuzz target.
# Usage: scripts/check.sh   (as root on a fresh machine, to install)
# FUZZ_SECONDS (default 5) sets the time per fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/deps.sh all

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX="$root/build/wineprefix"
if [ ! -d "$WINEPREFIX" ]; then
  mkdir -p "$root/build"
  echo "== preparing the Wine prefix"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w || true
fi

jobs=$(nproc)
for preset in linux asan win32 fuzz release; do
  echo "== building preset $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
done

failed=0
for preset in linux asan win32; do
  echo "== tests: $preset"
  ctest --preset "$preset" -j "$jobs" || failed=1
done

echo "== fuzz targets, ${FUZZ_SECONDS:-5} s each"
shopt -s nullglob
for target in build/fuzz/bin/fuzz_*; do
  corpus="$root/build/fuzz/corpus/$(basename "$target")"
  mkdir -p "$corpus"
  if "$target" -max_total_time="${FUZZ_SECONDS:-5}" -print_final_stats=0 \
      "$corpus" >"$corpus.log" 2>&1; then
    echo "$(basename "$target"): no finding"
  else
    echo "$(basename "$target"): FAILED, see $corpus.log"
    tail -n 30 "$corpus.log"
    failed=1
  fi
done

if [ "$failed" -ne 0 ]; then
  echo "check: FAILED"
  exit 1
fi
echo "check: all presets built, all tests passed"
