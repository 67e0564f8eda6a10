#!/usr/bin/env bash
# Plays yutnori.exe under wine in a tmux terminal of 80x34: the title screen and main menu
# come up with the cursor hidden, the arrows move the marker (with wrap-around), and the exit
# item leaves through the farewell with status 0 and the cursor shown again. A second run,
# with a fixed seed, plays the first move of a two-player game and is ended by Ctrl-C, which
# gives the console back at once. A third reads a ranking file in a Hangul folder named by
# --ranking.
# wine's console keeps a Hangul syllable in one cell while tmux draws it two columns wide;
# the back end pads each with a zero-width space, so the rows read in tmux (with those taken
# out) stand exactly as the game draws them.
# Every wait ends on a state of the game's own (text that only that screen shows, the cursor
# at the prompt, the shell's line after the program) and fails, saying what it waited for,
# when the state does not come.
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
plain_row() { row "$1" | sed 's/\xe2\x80\x8b//g'; }
marker_row() { screen | grep -n '▶' | head -1 | cut -d: -f1 | awk '{ print $1 - 1 }'; }
cursor_shown() { tmux -L "$socket" display -p -t "$session" '#{cursor_flag}'; }
keys() { tmux -L "$socket" send-keys -t "$session" "$@"; }

# wait_for SECONDS WHAT COMMAND...: polls until COMMAND succeeds; fails the run, naming WHAT,
# when it has not within SECONDS.
wait_for() {
  local seconds="$1" what="$2"
  shift 2
  for ((i = 0; i < seconds * 10; i++)); do
    if "$@" >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  fail "timed out after ${seconds}s waiting for $what"
}
marker_on() { [[ "$(marker_row)" == "$1" ]]; }
exited() { screen | grep -q '^EXIT='; }

shows() { screen | sed 's/\xe2\x80\x8b//g' | grep -qF "$1"; }
row_starts() { [[ "$(plain_row "$1")" == "$2"* ]]; }
# The main menu, whole (its last item drawn), with the marker on the given row.
main_menu_with_marker_on() { shows "┃     게임 종료     ┃" && marker_on "$1"; }
# The game waits for the choice once the turn's texts and the piece prompt all stand and the
# start text is gone. (wine leaves the terminal's cursor where its last drawing ended while the
# console's cursor is hidden, so the cursor tells nothing here.)
at_piece_prompt() {
  shows "player1의 차례입니다." && shows "가 나왔습니다." && shows "움직일 말을 선택해 주세요 :" &&
    ! shows "아무키나 눌러주세요."
}

# start NAME [ARG...]: runs the game in a new tmux session; the shell prints its exit status
# after it.
start() {
  session="$1"
  shift
  tmux -L "$socket" new-session -d -s "$session" -x 80 -y 34 -c "$work" \
    "env WINEPREFIX='${WINEPREFIX:?}' WINEDEBUG=-all wine '$exe' $*; echo EXIT=\$?; sleep 600"
}

start menus
# Rows of the main menu's items: 6, 10, 14, 18.
wait_for 90 "the main menu with item 1 selected" main_menu_with_marker_on 6
expect_row() {  # expect_row ROW TEXT: the row reads TEXT (trailing blanks aside)
  [[ "$(plain_row "$1")" == "$2" ]] || fail "row $1 is not: $2"
}
expect_row 0 "┏━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━━┓"
expect_row 2 "┃              윷놀이 게임!!!!              ┃"
expect_row 6 "┃   ▶      ┃     게임 시작     ┃            ┃"
expect_row 18 "┃          ┃     게임 종료     ┃            ┃"
[[ "$(cursor_shown)" == 0 ]] || fail "the cursor is not hidden in the menu"

keys Down
wait_for 20 "Down to move the marker to item 2" marker_on 10
keys Up
wait_for 20 "Up to move the marker back to item 1" marker_on 6
keys Up
wait_for 20 "Up on item 1 to wrap to item 4" marker_on 18

keys Enter
wait_for 60 "the program to end after the exit item" exited
expect_row 5 "               재밌게 놀으셨나요!? 또 찾아주세요~"
[[ "$(row 11)" == "EXIT=0" ]] || fail "exit status or prompt row wrong: $(row 11)"
[[ "$(cursor_shown)" == 1 ]] || fail "the cursor was not shown again"

start interrupted --seed 1
wait_for 90 "the main menu in the second run" main_menu_with_marker_on 6
keys Enter
wait_for 20 "the mode menu" row_starts 6 "┃  ▶       ┃       2인용 모드"
keys Enter
wait_for 20 "the start of the game" shows "아무키나 눌러주세요."
keys x
wait_for 20 "the prompt for a piece" at_piece_prompt
shows "(개)가 나왔습니다." || fail "seed 1 did not throw gae"
keys 1 Enter
wait_for 20 "player 2's turn" shows "player2의 차례입니다."
# Piece a entered and went two stations up the right side of the board.
expect_row 19 "┃       ○       ○       ○       ⓐ         ┃                                 ┃"
keys C-c
wait_for 30 "Ctrl-C to end the program" exited
# 58 is the low byte of STATUS_CONTROL_C_EXIT (0xC000013A), as wine hands it to the shell.
[[ "$(screen | grep '^EXIT=')" == "EXIT=58" ]] || fail "Ctrl-C: $(screen | grep '^EXIT=')"
[[ "$(cursor_shown)" == 1 ]] || fail "the cursor was not shown again after Ctrl-C"
# A ranking file in a Hangul folder, named by --ranking: Windows hands the argument over in
# the ANSI code page, which has no Hangul on most systems; the game must take it as UTF-16 to
# reach the file and show its entry.
hangul="홍길동"
mkdir -p "$work/$hangul"
{
  printf 'HONG'
  head -c 16 /dev/zero
  printf '\x39\x30\x00\x00'  # 12345, little-endian
  head -c $((8 * 24)) /dev/zero
} >"$work/$hangul/lanksave.txt"
start hangul --ranking "'$hangul/lanksave.txt'"
wait_for 90 "the main menu in the Hangul run" main_menu_with_marker_on 6
keys Down Down
wait_for 20 "the marker on the ranking item" marker_on 14
keys Enter
wait_for 20 "the ranking read through the Hangul path" shows "HONG     12345"
keys x
wait_for 20 "the main menu after the ranking" main_menu_with_marker_on 6
keys Up Enter
wait_for 60 "the program to end after the exit item" exited
echo "smoke: menus, farewell, a move of a game, Ctrl-C and a Hangul --ranking path under wine: passed"
