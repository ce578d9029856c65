#!/usr/bin/env bash
# A scripted command stopped by Ctrl+C or SIGTERM in the middle of a long
# file search: it ends with the shell's status for the signal, says that
# the search was interrupted, keeps what it printed, leaves the stored
# settings untouched and removes its private copy of them.
#   interrupt.sh path/to/bin
set -euo pipefail
bin=$(realpath "${1:?usage: interrupt.sh path/to/bin}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Background jobs keep SIGINT only under job control.
set -m

"$bin/tolvane-gen" --entries 200000 --seed 3 --out "$work/NODELIST" \
  --points "$work/POINTS" >/dev/null
"$bin/tolvane-compile" --out "$work/v7" "$work/NODELIST" "$work/POINTS" \
  >/dev/null
registry="$work/settings.reg"
stored='"Path to nodelist"="'"$work"'/v7/"'
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Far\\Plugins\\Tolvane]\r\n%s\r\n' \
  "$stored" >"$registry"
as_stored=$(stat -c '%i %Y %s' "$registry")
mkdir "$work/tmp"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Starts the search into a pipe that this script reads slowly, so that the
# search (which lists the whole tree in well under a second) stands in the
# middle of the tree: reads a few hundred hits, sends the signal, then
# drains the pipe and checks how the command ended.
interrupt_with() {
  local signal=$1 expected=$2 status=0
  rm -f "$work/pipe"
  mkfifo "$work/pipe"
  TMPDIR=$work/tmp TOLVANE_REGISTRY=$registry "$bin/tolvane" find '*' \
    >"$work/pipe" 2>"$work/err" &
  local pid=$!
  exec 3<"$work/pipe"
  head -n 300 <&3 >"$work/out"
  kill "-$signal" "$pid" 2>/dev/null || true
  cat <&3 >>"$work/out"
  exec 3<&-
  wait "$pid" || status=$?
  ((status == expected)) || fail "$signal: exit status $status, not $expected"
  grep -q "interrupted" "$work/err" ||
    fail "$signal: no word of the interruption: $(cat "$work/err")"
  (($(wc -l <"$work/out") >= 300)) || fail "$signal: the hits were lost"
  if [ "$(stat -c '%i %Y %s' "$registry")" != "$as_stored" ] ||
    ! grep -qF "$stored" "$registry"; then
    fail "$signal: the stored settings were written: $(cat "$registry")"
  fi
  if [ -n "$(ls -A "$work/tmp")" ]; then
    fail "$signal: the private copy of the settings is left: $(ls -A "$work/tmp")"
  fi
}

interrupt_with INT 130
interrupt_with TERM 143

if ((failures > 0)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "interrupted searches: all checks passed"
