#!/usr/bin/env bash
# Plays yutnori.exe under wine in a tmux terminal of 80x34: the title screen and main menu
# come up with the cursor hidden, the arrows move the marker (with wrap-around), and the exit
# item leaves through the farewell with status 0 and the cursor shown again; a second run
# is ended by Ctrl-C in the menu, which gives the console back at once.
# wine's console keeps a Hangul syllable in one cell while tmux draws it two columns wide,
# so Hangul rows are compared with their blanks taken out; the frame and the marker, which
# both draw one column wide, are compared in place.
# Usage: smoke.sh path/to/yutnori.exe   (WINEPREFIX names a prepared wine prefix)
set -euo pipefail

exe="$(realpath "$1")"
socket="yut-wine-smoke-$$"
work="$(mktemp -d /tmp/yut-wine-smoke.XXXXXX)"
cleanup() {
  tmux -L "$socket" kill-server 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "smoke: $*" >&2
  echo "---- screen ----" >&2
  screen >&2 || true
  exit 1
}
session=""
screen() { tmux -L "$socket" capture-pane -p -t "$session"; }
row() { screen | sed -n "$(($1 + 1))p"; }
squeezed_row() { row "$1" | tr -d ' '; }
marker_row() { screen | grep -n '▶' | head -1 | cut -d: -f1 | awk '{ print $1 - 1 }'; }
cursor_shown() { tmux -L "$socket" display -p -t "$session" '#{cursor_flag}'; }
keys() { tmux -L "$socket" send-keys -t "$session" "$@"; }

# wait_until SECONDS COMMAND...: polls until COMMAND succeeds.
wait_until() {
  local limit=$(($1 * 10))
  shift
  for ((i = 0; i < limit; i++)); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  return 1
}
marker_on() { [[ "$(marker_row)" == "$1" ]]; }
exited() { screen | grep -q '^EXIT='; }

# start NAME: runs the game in a new tmux session; the shell prints its exit status after it.
start() {
  session="$1"
  tmux -L "$socket" new-session -d -s "$session" -x 80 -y 34 -c "$work" \
    "env WINEPREFIX='${WINEPREFIX:?}' WINEDEBUG=-all wine '$exe'; echo EXIT=\$?; sleep 600"
}

start menus
# Rows of the main menu's items: 6, 10, 14, 18.
wait_until 90 marker_on 6 || fail "the main menu did not come up with item 1 selected"
[[ "$(row 0)" == "┏━━"* ]] || fail "no frame at the top-left corner"
[[ "$(squeezed_row 2)" == *"윷놀이게임!!!!"* ]] || fail "no title"
[[ "$(squeezed_row 6)" == *"게임시작"* ]] || fail "no first item"
[[ "$(squeezed_row 18)" == *"게임종료"* ]] || fail "no exit item"
[[ "$(cursor_shown)" == 0 ]] || fail "the cursor is not hidden in the menu"

keys Down
wait_until 20 marker_on 10 || fail "Down did not move the marker to item 2"
keys Up
wait_until 20 marker_on 6 || fail "Up did not move the marker back to item 1"
keys Up
wait_until 20 marker_on 18 || fail "Up on item 1 did not wrap to item 4"

keys Enter
wait_until 60 exited || fail "the program did not end after the exit item"
[[ "$(squeezed_row 5)" == *"놀으셨나요!?또찾아주세요~"* ]] || fail "no farewell on row 5"
[[ "$(row 11)" == "EXIT=0" ]] || fail "exit status or prompt row wrong: $(row 11)"
[[ "$(cursor_shown)" == 1 ]] || fail "the cursor was not shown again"

start interrupted
wait_until 90 marker_on 6 || fail "the main menu did not come up in the second run"
keys C-c
wait_until 30 exited || fail "Ctrl-C did not end the program"
# 58 is the low byte of STATUS_CONTROL_C_EXIT (0xC000013A), as wine hands it to the shell.
[[ "$(screen | grep '^EXIT=')" == "EXIT=58" ]] || fail "Ctrl-C: $(screen | grep '^EXIT=')"
[[ "$(cursor_shown)" == 1 ]] || fail "the cursor was not shown again after Ctrl-C"
echo "smoke: title, marker moves, farewell and Ctrl-C under wine: passed"
