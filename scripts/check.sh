#!/usr/bin/env bash
# Everything CI runs: installs what is missing, builds every preset and runs
# every test: the native suite, the sanitizer suite, the Windows side's suite
# under Wine, and a few seconds of each fuzz target from its seeds. It ends
# with the skipped tests of each suite and why (scripts/skipped_tests.sh),
# and fails when a test skipped for want of the published nodelists while
# their folder is there.
#
# The Windows side: the 32-bit plugin is always built and checked (record
# sizes, exports, imports). Where this machine runs 32-bit programs its
# tests run under Wine; where it cannot (a kernel that runs 64-bit code
# only), the same suites are built as 64-bit Windows programs (preset
# win64) and run under Wine's 64-bit loader. 32-bit code is never emulated.
#
# Usage: scripts/check.sh   (as root on a fresh machine, to install)
#   FUZZ_SECONDS (default 5) sets the time per fuzz target;
#   TOLVANE_RUNS_32BIT=yes|no takes the place of the probe, to try either
#   path on one machine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)
wine32=/usr/lib/wine/wine
wine64=/usr/lib/wine/wine64
timings=()

# begin NAME: starts a stage; each stage's duration is printed at the end.
stage_name=
stage_start=$SECONDS
begin() {
  end_stage
  stage_name=$1
  stage_start=$SECONDS
  echo "== $1"
}
end_stage() {
  if [ -n "$stage_name" ]; then
    timings+=("$(printf '%5d s  %s' $((SECONDS - stage_start)) "$stage_name")")
  fi
  stage_name=
}

# Sets runs32 to yes or no, and why to the reason. Wine's 32-bit loader is
# started by bash itself: a kernel without 32-bit support refuses it with
# "Exec format error" (status 126). Started through timeout or any other
# execvp the same refusal would come back as a shell syntax error, so the
# time limit is kept by a watcher instead. An enabled qemu-i386 entry means
# emulation, which is never used. Anything else is an error of this script.
probe_32bit() {
  case ${TOLVANE_RUNS_32BIT:-} in
    yes | no)
      runs32=$TOLVANE_RUNS_32BIT why="as TOLVANE_RUNS_32BIT says"
      return ;;
    "") ;;
    *) echo "check: TOLVANE_RUNS_32BIT must be yes or no" >&2; exit 1 ;;
  esac
  local entry
  for entry in /proc/sys/fs/binfmt_misc/qemu-i386*; do
    if [ -f "$entry" ] && [ "$(head -n 1 "$entry")" = enabled ]; then
      runs32=no why="only under emulation ($entry)"
      return
    fi
  done
  if [ ! -x "$wine32" ]; then
    runs32=no why="Wine's 32-bit loader is not installed ($wine32)"
    return
  fi
  local out=$root/build/probe-32bit.log status=0
  mkdir -p "$root/build"
  "$wine32" --version >"$out" 2>&1 &
  local pid=$!
  (sleep 60 && kill -9 "$pid") 2>/dev/null &
  local watcher=$!
  wait "$pid" || status=$?
  kill "$watcher" 2>/dev/null || true
  wait "$watcher" 2>/dev/null || true
  if [ "$status" -eq 0 ]; then
    runs32=yes why="$(head -n 1 "$out")"
  elif [ "$status" -eq 126 ] && grep -q 'Exec format error' "$out"; then
    runs32=no why="the kernel refuses them (Exec format error)"
  else
    echo "check: the probe '$wine32 --version' failed with status" \
         "$status:" >&2
    cat "$out" >&2
    exit 1
  fi
}

# prepare_prefix LOADER PREFIX [WINEARCH]: creates a Wine prefix once; a
# failure stops the check with Wine's own words.
prepare_prefix() {
  local loader=$1 prefix=$2 arch=${3:-}
  [ -f "$prefix/system.reg" ] && return
  local log=$root/build/wineboot-$(basename "$prefix").log
  mkdir -p "$root/build"
  if ! env WINEPREFIX="$prefix" ${arch:+WINEARCH=$arch} \
      "$loader" wineboot -i >"$log" 2>&1 ||
     ! WINEPREFIX="$prefix" wineserver -w >>"$log" 2>&1; then
    echo "check: creating the Wine prefix $prefix failed:" >&2
    cat "$log" >&2
    exit 1
  fi
}

# wineserver_for LOADER PREFIX: a wineserver that stays up for the whole
# test run, since Wine's clients race a server that is just shutting down
# ("recvmsg: Connection reset by peer"), and the prefix's own processes
# started at once: started by the first test they would hold its output
# open, and ctest would wait for them for ever.
wineserver_for() {
  local loader=$1 prefix=$2
  WINEPREFIX=$prefix /usr/lib/wine/wineserver64 -p >/dev/null 2>&1 ||
    WINEPREFIX=$prefix wineserver -p >/dev/null 2>&1
  if ! WINEPREFIX=$prefix "$loader" wineboot </dev/null >/dev/null 2>&1; then
    echo "check: starting the Wine prefix $prefix failed" >&2
    exit 1
  fi
}
stop_wineservers() {
  local prefix
  for prefix in "$root/build/wineprefix" "$root/build/wineprefix64"; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
}
trap stop_wineservers EXIT

build() {
  local preset=$1
  shift
  begin "build $preset"
  cmake --preset "$preset" "$@" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
}

begin "packages"
scripts/deps.sh all
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
probe_32bit
if [ "$runs32" = yes ]; then
  echo "32-bit programs: run here ($why)"
  windows=win32 windows_line="windows: win32 under wine"
else
  echo "32-bit programs: cannot run here, $why"
  scripts/deps.sh win64
  windows=win64
  windows_line="windows: win64 under wine64; 32-bit programs cannot run here"
fi

begin "Wine prefix"
if [ "$windows" = win32 ]; then
  prepare_prefix wine "$root/build/wineprefix"
else
  prepare_prefix "$wine64" "$root/build/wineprefix64" win64
fi

# The native compiler compiles the sample of the Windows builds; their
# tests compare it with what the Windows compiler writes.
host_compile=-DTOLVANE_HOST_COMPILE=$root/build/linux/bin/tolvane-compile
build linux
build asan
if [ "$windows" = win32 ]; then
  build win32 -DTOLVANE_TESTS=ON "$host_compile"
else
  build win32 -DTOLVANE_TESTS=OFF "$host_compile"
  build win64 "$host_compile"
fi
build fuzz
build release

failed=0
for preset in linux asan "$windows"; do
  begin "tests $preset"
  case $preset in
    win32) wineserver_for wine "$root/build/wineprefix" ;;
    win64) wineserver_for "$wine64" "$root/build/wineprefix64" ;;
  esac
  results=$root/build/$preset/ctest-results.xml
  rm -f "$results"
  ctest --preset "$preset" -j "$jobs" --timeout 900 \
    --output-junit "$results" || failed=1
done

# What users install: cmake --install, the Debian package and the archive,
# the Windows ZIP (scripts/check-install.sh says what it checks).
begin "install and packages"
scripts/check-install.sh "$runs32" || failed=1

# The Windows plugin in the real file manager, driven with keys under Wine.
begin "real host"
bash tests/realhost/stage.sh "$runs32" || failed=1

begin "fuzz targets, ${FUZZ_SECONDS:-5} s each"
# The fuzz build lists its targets and makes each one's seeds
# (build/fuzz/seeds/NAME, from files kept in the project); a target that
# was not built, has no seeds or did not read them fails the stage.
fuzz_list=$root/build/fuzz/fuzz-targets.txt
fuzz_names=$(cat "$fuzz_list" 2>/dev/null || true)
if [ -z "$fuzz_names" ]; then
  echo "fuzz: FAILED, no fuzz targets listed in $fuzz_list"
  failed=1
fi
for name in $fuzz_names; do
  target=$root/build/fuzz/bin/$name
  seeds=$root/build/fuzz/seeds/$name
  corpus=$root/build/fuzz/corpus/$name
  if [ ! -x "$target" ]; then
    echo "$name: FAILED, not built"
    failed=1
    continue
  fi
  if [ -z "$(ls -A "$seeds" 2>/dev/null)" ]; then
    echo "$name: FAILED, no seeds in $seeds"
    failed=1
    continue
  fi
  mkdir -p "$corpus"
  if ! "$target" -max_total_time="${FUZZ_SECONDS:-5}" -print_final_stats=0 \
      "$corpus" "$seeds" >"$corpus.log" 2>&1; then
    echo "$name: FAILED, see $corpus.log"
    tail -n 30 "$corpus.log"
    failed=1
  elif ! grep -q "seed corpus: files: [1-9]" "$corpus.log"; then
    echo "$name: FAILED, it read no inputs"
    failed=1
  else
    echo "$name: no finding, from $(grep -o 'seed corpus: files: [0-9]*' \
      "$corpus.log" | grep -o '[0-9]*$') inputs"
  fi
done
end_stage

echo "== stage times"
printf '%s\n' "${timings[@]}"
printf '%5d s  in all\n' "$SECONDS"
echo "$windows_line"
scripts/skipped_tests.sh "$root/build/linux" "$root/build/asan" \
  "$root/build/$windows" || failed=1
if [ "$failed" -ne 0 ]; then
  echo "check: FAILED"
  exit 1
fi
echo "check: all presets built, all tests passed"
