#!/usr/bin/env bash
# The Windows plugin in the real file manager: FAR Manager 2.0 runs under
# Wine in a tmux pane, keys go in with send-keys and the screen is read
# back after every step, as a user would walk it:
#   F11 lists Tolvane; the root lists the zones; a zone, a net and a node
#   list what `tolvane ls` lists for the same path; F3 on a node shows its
#   description with its internet endpoint in the host's viewer; Enter
#   goes back up, onto the node, and up again from ".."; F7 finds the node
#   by its sysop; Ctrl+F5 sorts by sysop; the host's menu switches the
#   view mode; the help's tables line up in the host's help viewer; the
#   plugin's settings dialog, reached through the host's plugin
#   configuration menu, keeps a changed option in the registry; F10
#   leaves, and the sort order and view mode are in the registry too.
# Any "Unhandled exception" on the screen fails the run; every failure
# prints the screen.
#
#   run.sh [--arch 64|32] [--plugin DIR] [--host ARCHIVE] [--bin DIR]
#     --arch    64 (default): the 64-bit host under wine64 with the win64
#               plugin; 32: a 32-bit host under Wine's 32-bit loader with
#               the win32 plugin
#     --plugin  the folder with Tolvane.dll and its .lng and .hlf files
#               (default build/win64/bin/plugin or build/win32/bin/plugin)
#     --host    the host's archive, holding far2-x64/ or far2-x86/ (default
#               ../shared/realhost/far2-x64-host.tar.xz for 64 bits,
#               build/realhost-x86/far2-x86-host.tar.xz for 32)
#     --bin     where the Linux tolvane and tolvane-compile are (default
#               build/linux/bin): they compile the real nodelist and list
#               what the panel must show
# Exits 0 when every check passes, 1 when one fails, 77 (skipped) when the
# host, the real nodelists, tmux or the Wine loader are missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
arch=64 plugin= host= bin=$root/build/linux/bin
while [ $# -gt 0 ]; do
  case $1 in
    --arch) arch=$2 ;;
    --plugin) plugin=$2 ;;
    --host) host=$2 ;;
    --bin) bin=$2 ;;
    *) echo "usage: run.sh [--arch 64|32] [--plugin DIR] [--host ARCHIVE] [--bin DIR]" >&2
       exit 2 ;;
  esac
  shift 2
done
shared=$(cd "$root/.." && pwd)/shared
nodelist=$shared/nodelists/NODELIST.122
case $arch in
  64) loader=/usr/lib/wine/wine64 winearch=win64 folder=far2-x64
      plugin=${plugin:-$root/build/win64/bin/plugin}
      host=${host:-$shared/realhost/far2-x64-host.tar.xz} ;;
  32) loader=/usr/lib/wine/wine winearch=win32 folder=far2-x86
      plugin=${plugin:-$root/build/win32/bin/plugin}
      host=${host:-$root/build/realhost-x86/far2-x86-host.tar.xz} ;;
  *) echo "run.sh: --arch must be 64 or 32" >&2; exit 2 ;;
esac

skip() { echo "real host ($arch-bit): skipped, $*"; exit 77; }
[ -f "$host" ] || skip "no host archive $host"
[ -f "$nodelist" ] || skip "no real nodelist $nodelist"
command -v tmux >/dev/null || skip "tmux is not installed"
[ -x "$loader" ] || skip "no Wine loader $loader"
for f in "$plugin/Tolvane.dll" "$bin/tolvane" "$bin/tolvane-compile"; do
  [ -e "$f" ] || { echo "run.sh: missing $f" >&2; exit 1; }
done

export LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ=UTC DISPLAY=
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=$winearch
work=$(mktemp -d /tmp/tolvane-realhost.XXXXXX)
export WINEPREFIX=$work/prefix TOLVANE_REGISTRY=$work/tolvane.reg
socket="tolvane-realhost-$$-$RANDOM"
source "$root/tests/tui/tmux_checks.sh"
# On the way out: the tmux server and its socket, the prefix's Wine
# processes, the run's folder.
trap 'tmux_ kill-server 2>/dev/null || true
      rm -f "${TMUX_TMPDIR:-/tmp}/tmux-$(id -u)/$socket"
      wineserver -k 2>/dev/null || true
      rm -rf "$work"' EXIT
started=$SECONDS

# --- The stage: host, plugin, compiled nodelist, settings ------------------
tar -xJf "$host" -C "$work"
far=$work/$folder
mkdir -p "$far/Plugins/Tolvane"
cp "$plugin"/Tolvane.dll "$plugin"/*.lng "$plugin"/*.hlf "$far/Plugins/Tolvane/"
"$bin/tolvane-compile" --out "$work/nodelist" --name NODEX "$nodelist" >/dev/null
"$loader" wineboot -i >"$work/wineboot.log" 2>&1 ||
  { echo "run.sh: wineboot failed:"; cat "$work/wineboot.log"; exit 1; }
"$loader" reg add 'HKCU\Software\Far2\Plugins\Tolvane' /v "Path to nodelist" \
  /t REG_SZ /d "Z:${work//\//\\}\\nodelist\\" /f >/dev/null

# --- Checks ------------------------------------------------------------------
# A step names what the user does; a failed check ends the run with the
# screen, as does a crash of the host at any step.
step() {
  crashed
  scenario=$((scenario + 1))
  echo "step $scenario ($((SECONDS - started)) s): $*"
}
# Wine reports a crash on the terminal, and its dump scrolls the report
# out of sight: the pane's history is searched too, and shown whole.
crashed() {
  [ -n "$session" ] || return 0
  local all
  all=$(tmux_ capture-pane -p -S - -t "$session")
  if [[ $all == *"Unhandled exception"* || $all == *"wine: Unhandled"* ]]; then
    fail "the host crashed:"
    echo "$all"
    session=
    finish
  fi
}

# Waits until the screen shows (see) or no longer shows (unsee) the text;
# a crash ends the run at once.
see() {
  local deadline=$((SECONDS + wait_seconds))
  checks=$((checks + 1))
  until shows "$1"; do
    crashed
    if ((SECONDS >= deadline)); then
      fail "the screen never showed '$1'"
      return 1
    fi
    sleep 0.1
  done
}
unsee() {
  local deadline=$((SECONDS + wait_seconds))
  checks=$((checks + 1))
  while shows "$1"; do
    crashed
    if ((SECONDS >= deadline)); then
      fail "'$1' stayed on the screen"
      return 1
    fi
    sleep 0.1
  done
}
finish() {
  echo "real host ($arch-bit): $checks checks, $failures failed," \
       "$((SECONDS - started)) s"
  [ "$failures" -eq 0 ] && exit 0
  if [ -n "$session" ]; then
    echo "the last screen:"
    screen
  fi
  exit 1
}
must() { "$@" || finish; }

home() { keys -l $'\e[H'; }  # Home as the host's terminal input knows it

# The left panel's cells of one column (1: Kind, 2: Address, ...) on the
# rows between the column titles and the status line, blank rows left out.
panel_column() {
  screen | sed -n "3,$(( $(screen | wc -l) - 5 ))p" |
    awk -F '║' -v c="$1" '{ split($2, cell, "│"); t = cell[c];
      gsub(/^ +| +$/, "", t); if (t != "") print t }'
}

# What `tolvane ls` lists at PATH (its entries' addresses), with the same
# nodelist and the given sort order.
listed() {
  "$bin/tolvane" ls "$1" --nodelist "$work/nodelist" --name NODEX \
    --sort "${2:-0}" --mode 0 --format tsv | cut -f 2
}

# The addresses on the screen are the first ones `tolvane ls` lists, in
# its order: every item after the first read where the host reads it.
expect_listing() {
  local want got rows deadline=$((SECONDS + wait_seconds))
  checks=$((checks + 1))
  want=$(listed "$@")
  rows=$(wc -l <<<"$want")
  ((rows > 20)) && rows=20
  while :; do
    got=$(panel_column 2)
    if [ -n "$got" ] && [ "$(wc -l <<<"$got")" -ge "$rows" ] &&
       [ "$got" = "$(head -n "$(wc -l <<<"$got")" <<<"$want")" ]; then
      return 0
    fi
    crashed
    if ((SECONDS >= deadline)); then
      fail "the panel at $1 does not list what tolvane ls lists:"
      diff <(echo "$want") <(echo "$got") | head -n 20
      return 1
    fi
    sleep 0.2
  done
}

# The panel's status line: the current item's columns.
expect_status() {
  local deadline=$((SECONDS + wait_seconds))
  checks=$((checks + 1))
  until [[ $(screen | tail -n 4 | head -n 1) == *"$1"* ]]; do
    crashed
    if ((SECONDS >= deadline)); then
      fail "the status line lacks '$1'"
      return 1
    fi
    sleep 0.1
  done
}

# Two texts on the screen start in the same column (a table's rows).
same_column() {
  local a b
  checks=$((checks + 1))
  a=$(screen | grep -F -m 1 -- "$1") b=$(screen | grep -F -m 1 -- "$2")
  a=${a%%"$1"*} b=${b%%"$2"*}
  [ "${#a}" = "${#b}" ] && return 0
  fail "'$1' starts in column ${#a}, '$2' in column ${#b}"
  return 1
}

# A value of the plugin's key as the host's registry keeps it on disk.
registry_value() {
  wineserver -w
  awk -v key='[Software\\\\Far2\\\\Plugins\\\\Tolvane]' -v name="\"$1\"" '
    index($0, key) == 1 { inside = 1; next }
    /^\[/ { inside = 0 }
    inside && index($0, name "=") == 1 { sub(/^[^=]*=/, ""); print }' \
    "$WINEPREFIX/user.reg"
}

# --- The walk ----------------------------------------------------------------
step "the host starts"
session=far
tmux_ -f /dev/null start-server \; set-option -g history-limit 10000
# The pane's shell waits for the host and shows how it ended (tmux itself
# may be late to learn that of a process it started).
tmux_ new-session -d -s "$session" -x 110 -y 35 \
  "cd '$far' && TERM=xterm '$loader' ./Far.exe; echo host-exited-\$?; sleep 600"
must see "10Quit"

step "F11 lists the plugin"
keys F11
must see "Tolvane nodelist"

step "Enter opens the root with the zones"
keys Enter
must see "V7 -  \\"
must expect_listing '\'

step "a zone"
keys Down Enter
must see "V7 - Zone 2"
must expect_listing 2

step "a net, found by the host's quick search"
keys M-5
type_text 020
keys Enter
must see "V7 - Net 2:5020"
must expect_listing 2:5020

step "a node"
keys M-1
type_text 042
keys Enter
must see "V7 - Node 2:5020/1042"
must expect_listing 2:5020/1042

step "F3 shows the node's description in the host's viewer, flags in words"
keys F3
must see "Sysop           : Michael Dukelsky"
must see "binkp           : f1042.ru:24554 (INA)"
must see "CM              : operation: takes mail at any hour"
keys F10
must see "V7 - Node 2:5020/1042"

step "Enter on the node's own entry goes back to the net, onto the node"
keys Enter
must see "V7 - Net 2:5020"
must expect_status "Michael Dukelsky"

step "Enter on \"..\" twice goes up twice: the host keeps its cursor there"
home
keys Enter
must see "V7 - Zone 2"
keys Enter
must see "V7 -  \\"

step "F7 finds the node by its sysop"
keys F7
must see "Sysop name"
type_text Dukelsky
keys Enter
must see "Sysop search results"
must expect_listing '?Dukelsky'
keys Down Enter
must see "V7 - Net 2:5020"
must expect_status "Michael Dukelsky"

step "Ctrl+F5 sorts the net by sysop"
keys C-F5
home
must expect_listing 2:5020 2

step "the host's menu switches the view mode to Brief (Ctrl+1)"
keys F9 Enter
must see "Alternative full"
home
keys Enter
must unsee "Alternative full"
checks=$((checks + 1))
[[ $(screen | sed -n 2p) == *Sysop*Speed* ]] ||
  { fail "the view mode did not change: $(screen | sed -n 2p)"; finish; }

step "F1: the plugin's help, its tables in line in the host's help viewer"
keys F1
must see "Tolvane: FidoNet nodelist browser"
keys Enter
must see "Tolvane: keys of the panel"
must same_column "enter the entry under" "nothing happens"
must same_column "enter the entry under" "sort by address"
must same_column "enter the entry under" "view or edit"
keys Escape
must unsee "Tolvane: keys of the panel"

step "the settings dialog through the host's plugin configuration menu"
keys F9 Right Right Right Enter
must see "Plugins configuration"
home
keys Down Down Down Down Enter
must see "A Tolvane nodelist"
keys Enter
must see "Main settings"
keys Enter
must see "[ ] Mark nodes not available now"
keys Tab Tab Tab Tab Tab Tab Tab Space
must see "[x] Mark nodes not available now"
keys Tab Enter
must see "About Tolvane"
keys Escape
must unsee "About Tolvane"
keys Escape
must unsee "A Tolvane nodelist"

step "F10 leaves the host"
keys F10
must see "Do you want to quit FAR?"
keys Enter
must see "host-exited-"
crashed
checks=$((checks + 1))
status=$(screen | grep -o 'host-exited-[0-9]*' | tail -n 1)
[ "$status" = host-exited-0 ] || fail "the host ended with ${status#host-}"

step "the settings are in the registry"
for pair in Options=dword:00000019 SortOrder=dword:00000002 \
            "Start Panel Mode=dword:00000001"; do
  checks=$((checks + 1))
  value=$(registry_value "${pair%%=*}")
  [ "$value" = "${pair#*=}" ] ||
    fail "registry value ${pair%%=*} is '$value', not ${pair#*=}"
done
finish
