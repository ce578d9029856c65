#!/usr/bin/env bash
# The browser as a user sees it: `tolvane` runs in a tmux pane of 120x35;
# keys go in with send-keys, the screen is read back with capture-pane.
#   browse.sh path/to/tolvane path/to/golden-folder [--update]
# Each scenario gets a fresh settings file (TOLVANE_REGISTRY) in a private
# folder, so the user's settings are never touched. Exits 0 when every
# check passes, 77 (skipped) without tmux.
set -euo pipefail

tolvane=${1:?usage: browse.sh path/to/tolvane golden-folder [--update]}
golden=${2:?usage: browse.sh path/to/tolvane golden-folder [--update]}
update=${3:-}
command -v tmux >/dev/null || { echo "tmux is not installed: skipped"; exit 77; }
tolvane=$(realpath "$tolvane")
golden=$(realpath "$golden")
sample="$(dirname "$tolvane")/sample"

export LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ=UTC EDITOR=true
socket="tolvane-browse-$$"
work=$(mktemp -d /tmp/tolvane-browse.XXXXXX)
source "$(dirname "$0")/tmux_checks.sh"

# The last row but one: the command line.
command_line() { screen | tail -n 2 | head -n 1; }
# The panel's status line (the row above the bottom frame).
status_line() { screen | tail -n 4 | head -n 1; }

expect_status() {
  local deadline=$((SECONDS + 30))
  checks=$((checks + 1))
  until [[ $(status_line) == *"$1"* ]]; do
    if ((SECONDS >= deadline)); then
      fail "status line lacks '$1': $(status_line)"
      return 1
    fi
    sleep 0.1
  done
}

# Starts tolvane with the arguments in a fresh terminal, in a folder of its
# own holding one file, with a fresh settings file.
start() {
  local previous=$session command
  scenario=$((scenario + 1))
  session="browse$scenario"
  local home="$work/s$scenario"
  mkdir -p "$home/folder"
  printf 'hello\n' >"$home/folder/readme.txt"
  printf -v command '%q ' "$tolvane" "$@"
  tmux_ -u new-session -d -s "$session" -x 120 -y 35 -c "$home/folder" \
    "TOLVANE_REGISTRY=$home/registry.reg $command; echo browse-exited-\$?; stty -a | tr ' ' '\n' | grep -x -- '-*icanon'; sleep 120"
  if [[ -n $previous ]]; then tmux_ kill-session -t "$previous"; fi
  tmux_ set-option -g set-clipboard on
  registry="$home/registry.reg"
}

# Esc waits half a second for a following key; give it that time.
escape() { keys Escape; sleep 0.8; }

# The screen with what changes from run to run made fixed: the scenario's
# folder, file dates and times.
normalised() {
  screen | sed -E -e "s#$work#/tmp/tolvane-browse.XXXXXX#g" \
    -e 's/[0-9]{2}\.[0-9]{2}\.[0-9]{2}/dd.mm.yy/g' \
    -e 's/([│ ])[0-9]{2}:[0-9]{2}([║│ ])/\1hh:mm\2/g' \
    -e 's/([╗║]):[0-9]{2}║/\1:mm║/g'
}

expect_golden() {
  local name=$1 file="$golden/$1.txt"
  checks=$((checks + 1))
  if [[ $update == --update ]]; then
    normalised >"$file"
    return
  fi
  if ! diff -u "$file" <(normalised) >"$work/diff"; then
    fail "screen differs from golden $name:"
    cat "$work/diff"
  fi
}

expect_exit() {
  wait_for "browse-exited-0" || return
  checks=$((checks + 1))
  shows "-icanon" && fail "the terminal was left raw"
  return 0
}

# --- 1. Fresh machine: the sample opens; a walk down and back ------------
start
wait_for "V7 -  \\"
wait_for "Europe Coordinator"
wait_for "readme.txt"
expect_golden start
keys Down Enter
wait_for "V7 - Zone 2"
keys Down Down Down Down Down Down Down Down Down Down Down
expect_status "Sergey Smirnov"
keys Enter
wait_for "V7 - Net 2:5020"
keys Down Down
expect_status "Ivan Petrov"
keys Enter
wait_for "Arbat Point One"
keys Enter  # on "..": back to the net, the cursor on 2:5020/100
wait_for "V7 - Net 2:5020"
expect_status "Ivan Petrov"
keys C-PageUp
wait_for "V7 - Zone 2"
# As in the file manager: no net is named "2:5020", the last part of
# "\2:5020", so the cursor stays at its place (the third line).
expect_status "Klaus Mueller"
keys Home Down Down Down Down Down Down Down Down Down Down Down
expect_status "Sergey Smirnov"
grep -q 'Start Path' "$registry" || fail "the start path was not stored"
# F3 on a node: its description in the viewer.
keys C-PageDown Down Down F3
wait_for "Sysop           : Ivan Petrov"
expect_golden viewer
keys F10
wait_gone "Sysop           : Ivan Petrov"
# Alt+Enter (Ctrl+Enter) puts the address on the command line.
keys M-Enter
wait_for "\\2:5020>2:5020/100"
[[ $(command_line) == *"2:5020/100"* ]] || fail "command line: $(command_line)"
escape
# Ctrl+Ins hands the address to the terminal's clipboard (OSC 52).
keys M-IC
deadline=$((SECONDS + 30))
until [[ $(tmux_ show-buffer 2>/dev/null || true) == "2:5020/100" ]]; do
  if ((SECONDS >= deadline)); then fail "clipboard: $(tmux_ show-buffer 2>&1)"; break; fi
  sleep 0.1
done
keys S-IC
wait_for "\\2:5020>2:5020/100"
escape
# Ctrl+F12: the sort menu; Sysop sorts by the sysop's name.
keys C-F12
wait_for "Sort by"
expect_golden sort_menu
keys Down Down Enter
wait_gone "Sort by"
keys C-F12
wait_for "√Sysop"
escape
# Ctrl+1 (Alt+1) switches the view mode: mode 1 is full screen.
keys M-1
wait_gone "readme.txt"
keys M-0
wait_for "readme.txt"
# F1: the plugin's help; Tab and Enter follow a link, Backspace goes back.
keys F1
wait_for "Tolvane: FidoNet nodelist browser"
keys Tab Enter
wait_for "Tolvane: keys of the panel"
# The window, its title and the topic laid out as the file manager's help
# viewer places and lays them out.
expect_golden help_keys
keys BSpace
wait_for "Tolvane: FidoNet nodelist browser"
escape
wait_gone "Tolvane: FidoNet"
keys F10
expect_exit

# --- 2. F7 sysop search, Enter on a hit ------------------------------------
start
wait_for "Europe Coordinator"
keys F7
wait_for "Sysop name (or its beginning):"
# F1 in the search box (no plugin number): its topic names the plugin's
# help folder, so the plugin's topic comes up.
keys F1
wait_for "Tolvane: searching by sysop name"
escape
wait_gone "Tolvane: searching by sysop name"
type_text "Ivan Petrov"
keys Enter
wait_for "Sysop search results"
keys Down
keys Enter
wait_for "V7 - Net 2:5020"
expect_status "Ivan Petrov"
# Alt+F7: the host's file search with containing text; Enter on a hit.
type_text 'V7:\'
keys Enter
wait_for "V7 -  \\"
keys M-F7
wait_for "Containing text:"
keys C-y
type_text "*"
keys Tab C-y
type_text "Kowalczyk"
keys Enter
wait_for "found"
wait_for "\\1:1\\2"
keys Enter
wait_for "V7 - Net 1:1"
expect_status "Janet Kowalczyk"
# The command line refuses shell commands and knows cd.
type_text "ls -l"
keys Enter
wait_for "This host runs no shell commands:"
keys Enter
keys F10
expect_exit

# --- 3. The configuration dialog moves the nodelist; the panel follows -----
start
wait_for "Europe Coordinator"
cp -r "$sample" "$work/s$scenario/copy"
keys F9
wait_for "Plugins configuration"
keys Enter
wait_for "Main settings"
keys Enter
wait_for "Nodelist directory"
keys C-y
type_text "$work/s$scenario/missing/"
keys Enter
wait_gone "Nodelist directory"
escape  # the configuration menu: Configure returns, the panels are read
wait_for "Nodelist error"  # the panel follows: the files are gone
keys Enter
keys F9
wait_for "Plugins configuration"
keys Enter
wait_for "Main settings"
keys Enter
wait_for "Nodelist directory"
keys C-y
type_text "$work/s$scenario/copy/"
keys Enter
wait_gone "Nodelist directory"
escape
keys C-r
wait_for "Europe Coordinator"
grep -qF "s$scenario/copy/" "$registry" || fail "the new path was not stored"
escape
escape  # Esc twice on an empty command line quits
expect_exit

# --- 4. A missing nodelist shows the error box -----------------------------
start --nodelist "$work/nowhere"
wait_for "Nodelist error"
expect_golden missing_nodelist
keys Enter
wait_for "readme.txt"
keys F10
expect_exit
[[ -e "$work/s$scenario/registry.reg" ]] && grep -q 'nowhere' "$work/s$scenario/registry.reg" &&
  fail "the override reached the stored settings"

# --- 5. A small terminal and a resize --------------------------------------
start
wait_for "Europe Coordinator"
tmux_ resize-window -t "$session" -x 50 -y 14
wait_for "V7 -  \\"
keys F9
wait_for "Plugins"
keys Enter
wait_for "Main settings"
escape
escape
tmux_ resize-window -t "$session" -x 120 -y 35
wait_for "readme.txt"
keys F10
expect_exit
leftover=$(find /tmp -maxdepth 1 -name 'tolvane-view-*' -newer "$work" 2>/dev/null | head -1)
[[ -z $leftover ]] || fail "a temporary folder was left behind: $leftover"

echo "$((checks - failures)) passed, $failures failed"
((failures == 0))
