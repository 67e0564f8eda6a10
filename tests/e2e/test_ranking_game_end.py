"""Whole games against the computer played in tmux to their end: a winner's Hangul name is
typed at the high-score prompt and "lanksave.txt" holds its CP949 bytes, CR LF line ends
and all; a score below the nine stored ones shows the final board until a key and leaves the
file as it was; saves that cannot happen (a read-only file of another user, a file size
limit, another game's lock held too long) leave the file and say so beside the board."""

import os
import shlex
import signal
import struct
import subprocess
import time
import unittest

from test_game_play import wait_for_input
from test_menus import MODE_MARKER_COLUMN
from test_ranking_screen import ranking_file, ranking_line
from test_title_screen import MAIN_MARKER_COLUMN, MARKER, label_row
from tmux_screen import ScreenTestCase, program

SEED = "7"
NAME = "홍길동"
PROMPT = "고득점!! 이름을 입력하시오"
TITLE = "윷놀이 게임!!!!"
CHOICE_PROMPT = "움직일 말을 선택해 주세요 :"
PIECES = "ⓐⓑⓒⓓ"           # side 1's pieces, choices 1 to 4
STACKS = {"②": ["11", "14"], "③": ["12"], "④": ["13"]}  # side 1's stacks, choices 11 to 14
EVERY_CHOICE = ["1", "2", "3", "4", "11", "12", "13", "14"]
BOARD_ROWS = range(9, 24)
BOARD_COLUMNS = slice(1, 41)
GAME_SECONDS = 120
WINNER = "승리!!"
SAVE_FAILED = "Don't open the file. error !!!!"
# Root ignores file modes: as root, the game runs as an ordinary user.
AS_USER = "setpriv --reuid=65534 --regid=65534 --clear-groups " if os.geteuid() == 0 else ""


def choices(lines):
    """Side 1's choices, best first: what stands on the board (so the pieces there run home),
    else a waiting piece; every other choice after them, since a refusal costs only a throw."""
    board = "".join(line[BOARD_COLUMNS] for line in lines[BOARD_ROWS.start:BOARD_ROWS.stop])
    preferred = [str(n + 1) for n, piece in enumerate(PIECES) if piece in board]
    for glyph, numbers in STACKS.items():
        if glyph in board:
            preferred += numbers
    waiting = next((line for line in lines if "player1 대기중인 말" in line), "")
    preferred += [str(n + 1) for n, piece in enumerate(PIECES) if piece in waiting]
    return preferred + [c for c in EVERY_CHOICE if c not in preferred]


class GameEndTest(ScreenTestCase):
    def stable_lines(self):
        """The screen once the game waits for input, with the cursor where it reads."""
        return wait_for_input(self.screen, "the game to wait for input")

    def answer(self, lines, text, key):
        """Types, then waits for the screen to change, so that a slow machine never gets a
        second answer that would stay pending until the name prompt."""
        if text:
            self.screen.text(text)
        self.screen.keys(key)
        self.screen.wait_for(lambda now: now != lines, "the game to take the answer")

    def play_to_the_end(self):
        """Answers every wait of the game until the winner line stands on row 32 (with the
        high-score prompt on row 16 when the score enters the ranking)."""
        deadline = time.monotonic() + GAME_SECONDS
        attempt = 0
        refused = False
        while time.monotonic() < deadline:
            lines = self.stable_lines()
            if WINNER in lines[32] or TITLE in lines[2]:
                return lines
            # The message rows stay empty while the prompt waits; a message there waits for
            # a key (a capture, a refused choice).
            message = "".join(self.screen.row(19)[44:76] + self.screen.row(20)[44:76]).strip()
            waits_for_choice = ("player1의 차례" in lines[11] and not message
                                and any(CHOICE_PROMPT in line for line in lines[17:19]))
            if waits_for_choice:
                # A refused choice brings a new prompt with its message on row 19: take the
                # next candidate; any other prompt starts the list again.
                attempt = attempt + 1 if refused else 0
                options = choices(lines)
                self.answer(lines, options[attempt % len(options)], "Enter")
                refused = False
            else:
                refused = "다시 던집니다" in lines[20]
                self.answer(lines, "", "Space")  # a pause: the start, a capture, a refusal
        return self.fail("the game did not end within %d s; screen:\n%s"
                  % (GAME_SECONDS, "\n".join(self.screen.lines())))

    def start_versus_computer(self, command=None):
        """Starts the game (by the shell command given, else with the seed) and its game
        against the computer."""
        if command is None:
            self.screen.start_game("--seed", SEED)
        else:
            self.screen.run(command + '; echo "EXIT=$?"')
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(1), MARKER)
        self.screen.keys("Enter")             # 게임 시작
        self.screen.wait_for_input_after(MODE_MARKER_COLUMN, label_row(1), MARKER)
        self.screen.keys("Down", "Enter")     # 컴퓨터와 대련모드

    def win_and_type_the_name(self):
        lines = self.play_to_the_end()
        self.assertIn(WINNER, lines[32])
        self.assertTextAt(20, 16, PROMPT)
        self.assertTextAt(20, 17, "[         ]")
        self.screen.text(NAME)
        self.screen.wait_for_input_after(22, 17, NAME)  # echoed where the name goes
        self.screen.keys("Enter")
        return lines

    def assert_waits_for_a_key(self):
        """The final board stays, the title screen only after a key."""
        time.sleep(0.5)
        lines = self.screen.lines()
        self.assertIn(WINNER, lines[32], "the winner line stays")
        self.assertNotIn(TITLE, lines[2], "no title screen before a key")
        self.screen.keys("Space")
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(1), MARKER)

    def path(self, name="lanksave.txt"):
        return os.path.join(self.screen.cwd, name)

    def write_ranking(self, entries):
        data = ranking_file(entries)
        with open(self.path(), "wb") as out:
            out.write(data)
        return data

    def game_pid(self):
        """The game's process: the child of the pane's shell."""
        shell = subprocess.run(["tmux", "-L", self.screen.socket, "display-message", "-p", "-t",
                                self.screen.target, "#{pane_pid}"], stdout=subprocess.PIPE,
                               text=True, check=True).stdout.strip()
        with open("/proc/%s/task/%s/children" % (shell, shell)) as children:
            return int(children.read().split()[0])

    def hold_lock(self):
        """Another process holding the ranking file's lock until its input is closed."""
        holder = subprocess.Popen(["flock", self.path(), "cat"], stdin=subprocess.PIPE,
                                  stdout=subprocess.DEVNULL)

        def let_go():
            holder.kill()
            holder.wait()
            holder.stdin.close()
        self.addCleanup(let_go)
        time.sleep(0.2)
        return holder

    def test_winner_types_a_hangul_name_and_the_file_holds_it_in_cp949(self):
        # 2750 is BE 0A 00 00: stored as BE 0D 0A 00 00 when the file is written again.
        self.write_ranking([("김", 2750)] + [("", 0)] * 8)
        self.start_versus_computer()
        self.win_and_type_the_name()
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(1), MARKER)

        with open(self.path(), "rb") as stored:
            raw = stored.read()
        data = raw.replace(b"\r\n", b"\n")
        records = [data[i:i + 24] for i in range(0, len(data), 24)]
        field = NAME.encode("cp949").ljust(20, b"\0")
        mine = [r for r in records if r[:20] == field]
        self.assertEqual(len(mine), 1, records)
        score = struct.unpack("<i", mine[0][20:])[0]
        self.assertGreaterEqual(score, 2000)  # four pieces home, 500 each
        self.assertEqual(score % 250, 0)
        new = [(NAME, score)]
        old = [("김", 2750)]
        expected = (new + old if score > 2750 else old + new) + [("", 0)] * 7
        self.assertEqual(raw, ranking_file(expected), "the bytes on disk, CR LF and all")

        # The ranking screen shows it in its place.
        self.screen.keys("Down", "Down", "Enter")
        place = expected.index((NAME, score)) + 1
        self.screen.wait_for_text(5, 4 + place, ranking_line(place, NAME, score))

    def test_a_score_below_the_stored_nine_shows_the_end_and_leaves_the_file(self):
        stored = self.write_ranking([("최고", 99999)] * 9)
        self.start_versus_computer()
        lines = self.play_to_the_end()
        self.assertIn(WINNER, lines[32])
        self.assertNotIn(PROMPT, lines[16])
        self.assert_waits_for_a_key()
        with open(self.path(), "rb") as after:
            self.assertEqual(after.read(), stored)

    def test_a_read_only_file_of_another_user_is_kept_and_the_failure_shown(self):
        os.chmod(self.screen.cwd, 0o777)
        stored = self.write_ranking([("root", 1000)] + [("", 0)] * 8)
        os.chmod(self.path(), 0o444)
        self.start_versus_computer(AS_USER + shlex.quote(program()) + " --seed " + SEED)
        self.win_and_type_the_name()
        self.screen.wait_for_text(44, 20, SAVE_FAILED)  # in the message area, inside the frame
        self.assert_waits_for_a_key()
        info = os.stat(self.path())
        self.assertEqual((info.st_uid, info.st_mode & 0o7777), (os.getuid(), 0o444))
        with open(self.path(), "rb") as after:
            self.assertEqual(after.read(), stored)
        self.assertEqual(os.listdir(self.screen.cwd), ["lanksave.txt"])

    def test_a_file_size_limit_fails_the_save_visibly_and_leaves_nothing(self):
        self.start_versus_computer("(ulimit -f 0; exec %s --seed %s)"
                                   % (shlex.quote(program()), SEED))
        self.win_and_type_the_name()
        self.screen.wait_for_text(44, 20, SAVE_FAILED)
        self.assert_waits_for_a_key()
        self.assertEqual(os.listdir(self.screen.cwd), [])
        self.screen.keys("Down", "Down", "Down", "Enter")  # 게임 종료
        self.screen.wait_for_line_start("EXIT=0")
        self.assertTrue(self.screen.cursor()[2], "the cursor is given back")

    def test_a_lock_let_go_in_time_lets_the_save_through(self):
        self.write_ranking([("", 0)] * 9)
        holder = self.hold_lock()
        self.start_versus_computer()
        self.win_and_type_the_name()
        time.sleep(1)
        self.assertNotIn(TITLE, self.screen.lines()[2], "the save waits for the lock")
        holder.stdin.close()
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(1), MARKER)
        with open(self.path(), "rb") as after:
            self.assertEqual(after.read()[:7], NAME.encode("cp949") + b"\0")

    def test_sigterm_ends_a_game_waiting_for_a_lock_at_once(self):
        stored = self.write_ranking([("", 0)] * 9)
        self.hold_lock()
        self.start_versus_computer()
        self.win_and_type_the_name()
        time.sleep(0.5)
        os.kill(self.game_pid(), signal.SIGTERM)
        self.screen.wait_for_line_start("EXIT=143", timeout=1)
        self.assertTrue(self.screen.cursor()[2], "the cursor is given back")
        with open(self.path(), "rb") as after:
            self.assertEqual(after.read(), stored)


if __name__ == "__main__":
    unittest.main()
