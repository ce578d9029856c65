# Shared by the terminal scenarios: a private tmux server, the screen read
# back with capture-pane, and checks that wait for the screen to settle.
# The sourcing script sets `socket` (the server's name) and `work` (a
# folder removed on exit), and runs its programs in session "$session";
# `wait_seconds` bounds every wait (default 30: the machine may be loaded).
# Every check counts in `checks`, every failure in `failures`.

session=
scenario=0
checks=0
failures=0
wait_seconds=${wait_seconds:-30}

tmux_() { tmux -L "$socket" -f /dev/null "$@"; }
cleanup() {
  tmux_ kill-server 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: scenario $scenario: $*"
  failures=$((failures + 1))
}

screen() { tmux_ capture-pane -p -t "$session"; }

# Whether the screen shows the text (read whole first: no broken pipes).
shows() {
  local now
  now=$(screen)
  [[ $now == *"$1"* ]]
}

# Waits (polling) until the screen shows the text, a fixed string.
wait_for() {
  local deadline=$((SECONDS + wait_seconds))
  checks=$((checks + 1))
  until shows "$1"; do
    if ((SECONDS >= deadline)); then
      fail "the screen never showed '$1'; it shows:"
      screen
      return 1
    fi
    sleep 0.1
  done
}

# Waits until the text has gone from the screen.
wait_gone() {
  local deadline=$((SECONDS + wait_seconds))
  checks=$((checks + 1))
  while shows "$1"; do
    if ((SECONDS >= deadline)); then
      fail "'$1' stayed on the screen:"
      screen
      return 1
    fi
    sleep 0.1
  done
}

keys() { tmux_ send-keys -t "$session" "$@"; }
type_text() { tmux_ send-keys -t "$session" -l "$1"; }
