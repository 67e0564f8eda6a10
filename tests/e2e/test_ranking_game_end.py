"""Whole games against the computer played in tmux to their end: a winner's Hangul name is
typed at the high-score prompt and "lanksave.txt" holds its CP949 bytes; a score below the
nine stored ones asks nothing and leaves the file as it was."""

import os
import struct
import time
import unittest

from test_game_play import wait_for_input
from test_menus import MODE_MARKER_COLUMN
from test_ranking_screen import ranking_file, ranking_line
from test_title_screen import MAIN_MARKER_COLUMN, MARKER, label_row
from tmux_screen import ScreenTestCase

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
        """Answers every wait of the game until the high-score prompt stands on row 16 or
        the title screen is back."""
        deadline = time.monotonic() + GAME_SECONDS
        attempt = 0
        refused = False
        while time.monotonic() < deadline:
            lines = self.stable_lines()
            if PROMPT in lines[16] or TITLE in lines[2]:
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

    def start_versus_computer(self):
        self.screen.start_game("--seed", SEED)
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(1), MARKER)
        self.screen.keys("Enter")             # 게임 시작
        self.screen.wait_for_input_after(MODE_MARKER_COLUMN, label_row(1), MARKER)
        self.screen.keys("Down", "Enter")     # 컴퓨터와 대련모드

    def test_winner_types_a_hangul_name_and_the_file_holds_it_in_cp949(self):
        self.start_versus_computer()
        lines = self.play_to_the_end()

        self.assertTextAt(20, 16, PROMPT)
        self.assertTextAt(20, 17, "[         ]")
        winner = 1 if "player1 승리!!" in lines[32] else 2
        self.assertIn("player%d 승리!!" % winner, lines[32])
        self.screen.text(NAME)
        self.screen.wait_for_input_after(22, 17, NAME)  # echoed where the name goes
        self.screen.keys("Enter")
        self.screen.wait_for_input_after(MAIN_MARKER_COLUMN, label_row(1), MARKER)

        with open(os.path.join(self.screen.cwd, "lanksave.txt"), "rb") as stored:
            data = stored.read().replace(b"\r\n", b"\n")
        self.assertEqual(len(data), 216)
        self.assertEqual(data[:7], NAME.encode("cp949") + b"\0")
        score = struct.unpack("<i", data[20:24])[0]
        self.assertGreaterEqual(score, 2000)  # four pieces home, 500 each
        self.assertEqual(score % 250, 0)
        self.assertEqual(data[24:], bytes(8 * 24))

        # The ranking screen shows it first.
        self.screen.keys("Down", "Down", "Enter")
        self.screen.wait_for_text(5, 5, ranking_line(1, NAME, score))

    def test_a_score_below_the_stored_nine_asks_nothing_and_leaves_the_file(self):
        path = os.path.join(self.screen.cwd, "lanksave.txt")
        stored = ranking_file([("최고", 99999)] * 9)
        with open(path, "wb") as out:
            out.write(stored)
        self.start_versus_computer()
        lines = self.play_to_the_end()
        self.assertIn(TITLE, lines[2], "the title screen follows the game at once")
        with open(path, "rb") as after:
            self.assertEqual(after.read(), stored)


if __name__ == "__main__":
    unittest.main()
