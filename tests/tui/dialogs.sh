#!/usr/bin/env bash
# The terminal front end as a user sees it: tui_demo runs in a tmux pane;
# keys go in with send-keys and the screen is read back with capture-pane.
#   dialogs.sh path/to/tui_demo
# Exits 0 when every check passes, 77 (skipped) without tmux.
set -euo pipefail

demo=${1:?usage: dialogs.sh path/to/tui_demo}
command -v tmux >/dev/null || { echo "tmux is not installed: skipped"; exit 77; }

export LANG=C.UTF-8 LC_ALL=C.UTF-8
socket="tolvane-tui-$$"
work=$(mktemp -d)
wait_seconds=10
source "$(dirname "$0")/tmux_checks.sh"

expect_screen() {
  shows "$1" || fail "not on the screen: '$1'"
}

expect_line() {  # the demo's report holds this line
  grep -qxF -- "$1" "$2" || fail "$2 lacks '$1'; it holds: $(cat "$2")"
}

# Runs a command (the demo) in a fresh terminal of the given size: a new
# tmux session of the one private server; the previous one is closed.
start() {
  local width=$1 height=$2
  shift 2
  local previous=$session command
  printf -v command '%q ' "$@"
  scenario=$((scenario + 1))
  session="demo$scenario"
  # The new session first: the server ends with its last session.
  tmux_ -u new-session -d -s "$session" -x "$width" -y "$height" \
    "$command; echo demo-exited-\$?; stty -a | tr ' ' '\n' | grep -x -- '-*icanon'; sleep 60"
  if [[ -n $previous ]]; then tmux_ kill-session -t "$previous"; fi
}


# --- 1. The whole round in a 100x30 terminal -------------------------------
history="$work/history"
# (a backslash in a name is written doubled)
printf 'farhost-history 1\nTolvane\\\\PathHistory\t/preloaded/path/\n' \
  >"$history"
start 100 30 "$demo" --history "$history" --output "$work/out1"

wait_for "Sort by"
expect_screen "╔═════════ Sort by ══════════╗"
expect_screen "║ √Sysop            Ctrl-F5  ║"
expect_screen "║  Hierarchy        Ctrl-F10 ║"
keys l  # the hot key of "Location"

wait_for "Main settings"
expect_screen "╟────────────────────────────── Marks ───────────────────────────────╢"
expect_screen "{ Ok } [ Cancel ]"
expect_screen "[x] Use V7+ data (NODEX.DTP)"
expect_screen "C:\\FIDO\\NODELIST\\"
keys C-Down  # the path's history
wait_for "History"
expect_screen "/preloaded/path/"
keys Enter
wait_gone "History"
type_text "x"
keys Tab Space Tab Space
wait_for "[x] Shared sysop index"
expect_screen "[ ] Use V7+ data"
expect_screen "/preloaded/path/x"
keys Tab Tab Tab  # the name, the disks menu box, the digit field
type_text "7"
wait_for "  7 hot key digit"
keys Enter

wait_for "Sysop search"
expect_screen "Sysop name (or its beginning):"
type_text "Иван"
wait_for "Иван"
keys Enter

wait_for "Results"
expect_screen "Sysop: Иван Петров"
expect_screen "╟────────────────────╢"
expect_screen "[ Yes ] [ No ]"
keys Right Enter

wait_for "demo-exited-0"
[[ $(screen) =~ [╔║╚] ]] && fail "a box stayed on the screen after the exit"
out="$work/out1"
for line in "menu: 3" "dialog: 15" "path: /preloaded/path/x" "name: NODEX" \
  "digit: 7" "check 4: 0" "check 5: 1" "check 9: 0" "search: 1" \
  "search text: Иван" "message: 1"; do
  expect_line "$line" "$out"
done
# Both histories were saved: the search text in code page 866.
grep -qaxF "$(printf 'SearchText\t\x88\xa2\xa0\xad')" "$history" ||
  fail "the search text is not in the history file"
grep -qaxF "$(printf 'Tolvane\\\\PathHistory\t/preloaded/path/x')" "$history" ||
  fail "the new path is not in the history file"

# --- 2. Cancelling everything in a terminal smaller than the dialog --------
start 60 20 "$demo" --output "$work/out2"
wait_for "Sort by"
keys Escape
wait_for "Nodelist directory:"  # shifted so that the focused field shows
expect_screen "C:\\FIDO\\NODELIST\\"
keys S-Tab  # to Cancel at the far end
wait_for "[ Cancel ]"
keys Escape
wait_for "Sysop search"
keys Escape
wait_for "Results"
keys Escape
wait_for "demo-exited-0"
for line in "menu: -1" "dialog: -1" "search: 0" "message: -1"; do
  expect_line "$line" "$work/out2"
done

# --- 3. Code page 437, a terminal whose terminfo lacks the Ctrl keys -------
# (TERM=screen: Ctrl+Down arrives as a raw sequence), and the histories that
# the first round saved.
start 100 30 env TERM=screen "$demo" --codepage 437 --history "$history" \
  --output "$work/out3"
wait_for "Sort by"
keys Enter
wait_for "Main settings"
keys C-Down
wait_for "History"
expect_screen "/preloaded/path/x"
keys Escape
wait_gone "History"
keys Escape
wait_for "Sysop search"
keys Escape
wait_for "Results"
# The same bytes in 437 are accented Latin letters.
expect_screen "Sysop: êóá¡ ÅÑΓα«ó"
keys y
wait_for "demo-exited-0"
expect_line "menu: 2" "$work/out3"
expect_line "dialog: -1" "$work/out3"
expect_line "path: C:\\FIDO\\NODELIST\\" "$work/out3"
expect_line "message: 0" "$work/out3"

# --- 4. SIGTERM in the middle of a menu puts the terminal back --------------
start 100 30 "$demo" --output "$work/out4"
wait_for "Sort by"
shell=$(tmux_ display-message -p -t "$session" '#{pane_pid}')
demo_pid=$(ps -o pid= --ppid "$shell" | tr -d ' ')
[[ -n $demo_pid ]] && kill -TERM "$demo_pid"
wait_for "demo-exited-143"
[[ $(screen) =~ [╔║╚] ]] && fail "the menu stayed on the screen after SIGTERM"
grep -qx "icanon" <<<"$(screen)" || fail "the terminal was left without line mode"

if ((failures > 0)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "tui dialogs: all checks passed"
