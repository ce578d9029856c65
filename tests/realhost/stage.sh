#!/usr/bin/env bash
# The real-host stage of the test command (scripts/check.sh): the 64-bit
# plugin in the 64-bit file manager on every machine, and where 32-bit
# programs run, the 32-bit plugin in a 32-bit build of the same file
# manager (tests/realhost/run.sh drives both).
#
#   stage.sh yes|no     whether 32-bit programs run on this machine
#
# Where they run, check.sh builds and tests the win32 preset and not the
# win64 one: the 64-bit plugin alone is then built from the win64-release
# preset, and the 32-bit host from the source beside the project into
# build/realhost-x86 (kept while its recipe and source stay the same).
# Exits 1 when a run fails; a run that cannot be made (no ../shared) says
# so in one line and counts as passed.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
runs32=${1:?usage: stage.sh yes|no}
failed=0

run() {
  local status=0
  bash tests/realhost/run.sh "$@" || status=$?
  [ "$status" -eq 0 ] || [ "$status" -eq 77 ] || failed=1
}

plugin64=build/win64/bin/plugin
if [ "$runs32" = yes ]; then
  scripts/deps.sh win64
  cmake --preset win64-release \
    -DTOLVANE_HOST_COMPILE="$root/build/linux/bin/tolvane-compile" >/dev/null
  cmake --build --preset win64-release --target tolvane_plugin
  plugin64=build/win64-release/bin/plugin
fi
run --arch 64 --plugin "$plugin64"

if [ "$runs32" = yes ]; then
  shared=$(cd .. && pwd)/shared/realhost
  out=build/realhost-x86
  if [ ! -f "$shared/far2-src-release-2.0.tar.xz" ]; then
    echo "real host (32-bit): skipped, no host source in $shared"
  else
    stamp=$(cat tests/realhost/build-host.sh "$shared/far2-mingw64.patch" \
                "$shared/far2-src-release-2.0.tar.xz" | sha256sum | cut -c 1-16)
    if [ ! -f "$out/far2-x86-host.tar.xz" ] ||
       [ "$(cat "$out/stamp" 2>/dev/null)" != "$stamp" ]; then
      echo "building the 32-bit host into $out"
      bash tests/realhost/build-host.sh "$out" 32
      echo "$stamp" >"$out/stamp"
    fi
    run --arch 32 --plugin build/win32/bin/plugin \
      --host "$out/far2-x86-host.tar.xz"
  fi
fi
exit "$failed"
